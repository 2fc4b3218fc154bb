#pragma once

// The real file system with links that exist only in this object: a name
// given to plant() is reported as a link (status, readLink) and behaves as
// one — reads and status with followLinks go to its target, creating a new
// file or a hard link under its name fails because the name is taken,
// removing it or renaming over it takes the link away and leaves its target.
// For testing the save's link handling where the system makes no links of
// its own (Wine) or without depending on how it makes them. Header-only.

#include <map>
#include <string>
#include <vector>

#include "storage/FileSystem.h"
#include "storage/PairPaths.h"

namespace kestrel {

class LinkingFileSystem : public NativeFileSystem {
public:
    // Makes name a link whose text is target (absolute, or relative to
    // name's folder); the name must not exist on disk.
    void plant(const std::string& name, const std::string& target) { mLinks[name] = target; }
    bool isLink(const std::string& name) const { return mLinks.count(name) != 0; }
    // Every path a new file was created at or renamed to, in order.
    const std::vector<std::string>& made() const { return mMade; }

    std::optional<std::string> readFile(const std::string& path) override {
        return NativeFileSystem::readFile(resolve(path));
    }
    BoundedRead readBounded(const std::string& path, std::uint64_t limit,
                            std::uint64_t refuseAbove) override {
        return NativeFileSystem::readBounded(resolve(path), limit, refuseAbove);
    }
    std::optional<std::uint64_t> fileSize(const std::string& path) override {
        return NativeFileSystem::fileSize(resolve(path));
    }
    bool writeFile(const std::string& path, const std::string& bytes, int mode) override {
        mMade.push_back(resolve(path));
        return NativeFileSystem::writeFile(resolve(path), bytes, mode);
    }
    std::optional<unsigned> fileMode(const std::string& path) override {
        return NativeFileSystem::fileMode(resolve(path));
    }
    bool link(const std::string& from, const std::string& to) override {
        if (isLink(to))
            return false;
        mMade.push_back(to);
        return NativeFileSystem::link(resolve(from), to);
    }
    bool copyFile(const std::string& from, const std::string& to) override {
        if (isLink(to))
            return false;
        mMade.push_back(to);
        return NativeFileSystem::copyFile(resolve(from), to);
    }
    bool rename(const std::string& from, const std::string& to) override {
        mMade.push_back(to);
        if (isLink(from)) {
            mLinks[to] = mLinks[from];
            mLinks.erase(from);
            return true;
        }
        mLinks.erase(to);
        return NativeFileSystem::rename(from, to);
    }
    bool remove(const std::string& path) override {
        if (mLinks.erase(path))
            return true;
        return NativeFileSystem::remove(path);
    }
    std::optional<std::vector<std::string>> listFolder(const std::string& folder) override {
        auto names = NativeFileSystem::listFolder(folder);
        if (names) {
            for (const auto& [name, target] : mLinks) {
                const std::string linkFolder = FolderOf(name);
                if (linkFolder == folder || linkFolder == folder + "/")
                    names->push_back(name.substr(linkFolder.size()));
            }
        }
        return names;
    }
    FileStatus status(const std::string& path, bool followLinks) override {
        if (isLink(path) && !followLinks) {
            FileStatus link;
            link.kind = FileStatus::Kind::Link;
            return link;
        }
        return NativeFileSystem::status(resolve(path), followLinks);
    }
    std::optional<std::string> readLink(const std::string& path) override {
        auto found = mLinks.find(path);
        if (found == mLinks.end())
            return std::nullopt;
        return found->second;
    }
    FileHandle createNew(const std::string& path, unsigned mode) override {
        if (isLink(path))
            return kNoHandle;
        mMade.push_back(path);
        return NativeFileSystem::createNew(path, mode);
    }
    FileHandle openExisting(const std::string& path) override {
        return isLink(path) ? kNoHandle : NativeFileSystem::openExisting(path);
    }
    FileHandle openLock(const std::string& path) override {
        return isLink(path) ? kNoHandle : NativeFileSystem::openLock(path);
    }

private:
    std::string resolve(const std::string& path) const {
        std::string at = path;
        for (int hops = 0; hops < 40; ++hops) {
            auto found = mLinks.find(at);
            if (found == mLinks.end())
                return at;
            at = IsAbsolutePath(found->second) ? found->second : FolderOf(at) + found->second;
        }
        return at;
    }

    std::map<std::string, std::string> mLinks;
    std::vector<std::string> mMade;
};

}  // namespace kestrel
