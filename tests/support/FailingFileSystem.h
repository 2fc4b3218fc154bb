#pragma once

// A file system that behaves like the real one until its k-th changing call
// (create, open a lock, write, fsync, chown, lock, link, copy, rename, remove, folder
// sync). In Fail mode that call fails without touching the disk and the
// rest run normally; in Crash mode the process "dies" there: a write puts
// half its bytes on disk first, and from then on nothing changes the disk
// any more, as if the program had been killed. Header-only, for storage
// fault tests.

#include <functional>
#include <map>
#include <set>
#include <string>

#include "storage/FileSystem.h"

namespace kestrel {

class FailingFileSystem : public NativeFileSystem {
public:
    enum class Mode { Fail, Crash };
    // failAt 0 never fails; calls are counted from 1.
    explicit FailingFileSystem(int failAt, Mode mode = Mode::Fail) : mFailAt(failAt), mMode(mode) {}
    ~FailingFileSystem() override { releaseAll(); }

    int calls() const { return mCalls; }
    // What failed, e.g. "rename /tmp/x/EQUIP97.TXX", or empty.
    const std::string& failed() const { return mFailed; }
    bool crashed() const { return mDead; }
    // Runs before every changing call, to check what must hold at all times.
    std::function<void()> beforeEach;

    // The end of the dead process: its files close and its locks go.
    void releaseAll() {
        for (FileHandle file : mOpen)
            NativeFileSystem::close(file);
        mOpen.clear();
    }

    bool writeFile(const std::string& path, const std::string& bytes, int mode) override {
        return step("writeFile " + path) && NativeFileSystem::writeFile(path, bytes, mode);
    }
    bool link(const std::string& from, const std::string& to) override {
        return step("link " + to) && NativeFileSystem::link(from, to);
    }
    bool copyFile(const std::string& from, const std::string& to) override {
        return step("copyFile " + to) && NativeFileSystem::copyFile(from, to);
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
    FileHandle createNew(const std::string& path, unsigned mode) override {
        if (!step("createNew " + path))
            return kNoHandle;
        FileHandle file = NativeFileSystem::createNew(path, mode);
        mNames[file] = path;
        if (file != kNoHandle)
            mOpen.insert(file);
        return file;
    }
    FileHandle openExisting(const std::string& path) override {
        if (!step("openExisting " + path))
            return kNoHandle;
        FileHandle file = NativeFileSystem::openExisting(path);
        if (file != kNoHandle)
            mOpen.insert(file);
        return file;
    }
    FileHandle openLock(const std::string& path) override {
        if (!step("openLock " + path))
            return kNoHandle;
        FileHandle file = NativeFileSystem::openLock(path);
        mNames[file] = path;
        if (file != kNoHandle)
            mOpen.insert(file);
        return file;
    }
    bool write(FileHandle file, const std::string& bytes) override {
        if (!mDead && mCalls + 1 == mFailAt && mMode == Mode::Crash) {
            NativeFileSystem::write(file, bytes.substr(0, bytes.size() / 2));
            step("write " + mNames[file]);
            return false;
        }
        return step("write " + mNames[file]) && NativeFileSystem::write(file, bytes);
    }
    bool sync(FileHandle file) override {
        return step("sync " + mNames[file]) && NativeFileSystem::sync(file);
    }
    bool setOwner(FileHandle file, long owner, long group) override {
        return step("setOwner " + mNames[file]) && NativeFileSystem::setOwner(file, owner, group);
    }
    bool lock(FileHandle file, int waitMs) override {
        return step("lock " + mNames[file]) && NativeFileSystem::lock(file, waitMs);
    }
    void close(FileHandle file) override {
        // A dead process closes nothing until it is gone.
        if (mDead)
            return;
        mOpen.erase(file);
        NativeFileSystem::close(file);
    }

private:
    bool step(const std::string& what) {
        if (mDead)
            return false;
        if (beforeEach)
            beforeEach();
        if (++mCalls != mFailAt)
            return true;
        mFailed = what;
        mDead = mMode == Mode::Crash;
        return false;
    }

    int mFailAt;
    Mode mMode;
    int mCalls = 0;
    bool mDead = false;
    std::string mFailed;
    std::set<FileHandle> mOpen;
    std::map<FileHandle, std::string> mNames;
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
