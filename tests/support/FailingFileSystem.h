#pragma once

// A file system that behaves like the real one until its k-th changing call
// (write, link, copy, rename, remove, folder sync), which fails without
// touching the disk. Header-only, for storage fault tests.

#include <functional>
#include <string>

#include "storage/FileSystem.h"

namespace kestrel {

class FailingFileSystem : public NativeFileSystem {
public:
    // failAt 0 never fails; calls are counted from 1.
    explicit FailingFileSystem(int failAt) : mFailAt(failAt) {}

    int calls() const { return mCalls; }
    // What failed, e.g. "rename /tmp/x/EQUIP97.TXX", or empty.
    const std::string& failed() const { return mFailed; }
    // Runs before every changing call, to check what must hold at all times.
    std::function<void()> beforeEach;

    bool writeFile(const std::string& path, const std::string& bytes, int mode) override {
        return step("writeFile " + path) && NativeFileSystem::writeFile(path, bytes, mode);
    }
    bool link(const std::string& from, const std::string& to) override {
        return step("link " + from) && NativeFileSystem::link(from, to);
    }
    bool copyFile(const std::string& from, const std::string& to) override {
        return step("copyFile " + from) && NativeFileSystem::copyFile(from, to);
    }
    bool rename(const std::string& from, const std::string& to) override {
        return step("rename " + from) && NativeFileSystem::rename(from, to);
    }
    bool remove(const std::string& path) override {
        return step("remove " + path) && NativeFileSystem::remove(path);
    }
    bool syncFolder(const std::string& folder) override {
        return step("syncFolder " + folder) && NativeFileSystem::syncFolder(folder);
    }

private:
    bool step(const std::string& what) {
        if (beforeEach)
            beforeEach();
        if (++mCalls != mFailAt)
            return true;
        mFailed = what;
        return false;
    }

    int mFailAt;
    int mCalls = 0;
    std::string mFailed;
};

// Installs a file system for one scope.
class ScopedFileSystem {
public:
    explicit ScopedFileSystem(FileSystem& fs) : mPrevious(setFileSystem(&fs)) {}
    ~ScopedFileSystem() { setFileSystem(mPrevious); }
    ScopedFileSystem(const ScopedFileSystem&) = delete;
    ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

private:
    FileSystem* mPrevious;
};

}  // namespace kestrel
