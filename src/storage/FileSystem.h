#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

// The few file operations the equipment files need. The POSIX implementation
// is the real one; tests install one that fails at a chosen call. Every call
// returns false (or nullopt) on failure and leaves nothing open.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    // The length of the file, or nullopt when it cannot be obtained.
    virtual std::optional<std::uint64_t> fileSize(const std::string& path) = 0;
    // Creates or truncates path, writes bytes, fsyncs and closes. A mode of
    // -1 leaves a new file to the umask; any other is given to the file.
    virtual bool writeFile(const std::string& path, const std::string& bytes, int mode) = 0;
    // The permission bits of an existing file.
    virtual std::optional<unsigned> fileMode(const std::string& path) = 0;
    virtual bool link(const std::string& from, const std::string& to) = 0;
    // Copies from to to, fsync'd, for where hard links are not possible.
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    virtual bool remove(const std::string& path) = 0;
    virtual bool syncFolder(const std::string& folder) = 0;
    // Names of the entries of folder, or nullopt when it cannot be listed.
    virtual std::optional<std::vector<std::string>> listFolder(const std::string& folder) = 0;
};

#ifndef _WIN32
class PosixFileSystem : public FileSystem {
public:
    // Unsynced is for measuring what the fsyncs cost; the editor always syncs.
    enum class Durability { Synced, Unsynced };
    explicit PosixFileSystem(Durability durability = Durability::Synced)
        : synced_(durability == Durability::Synced) {}

    std::optional<std::string> readFile(const std::string& path) override;
    std::optional<std::uint64_t> fileSize(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& bytes, int mode) override;
    std::optional<unsigned> fileMode(const std::string& path) override;
    bool link(const std::string& from, const std::string& to) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& path) override;
    bool syncFolder(const std::string& folder) override;
    std::optional<std::vector<std::string>> listFolder(const std::string& folder) override;

private:
    bool synced_;
};
using NativeFileSystem = PosixFileSystem;
#else
// Paths are UTF-8 (bytes that are not: the ANSI code page) and reach the
// system as UTF-16. Names are found whatever
// their letter case, and a file replaced by rename keeps its spelling. A
// mode without the owner's write bit is the read-only attribute.
class WindowsFileSystem : public FileSystem {
public:
    enum class Durability { Synced, Unsynced };
    explicit WindowsFileSystem(Durability durability = Durability::Synced)
        : synced_(durability == Durability::Synced) {}

    std::optional<std::string> readFile(const std::string& path) override;
    std::optional<std::uint64_t> fileSize(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& bytes, int mode) override;
    std::optional<unsigned> fileMode(const std::string& path) override;
    bool link(const std::string& from, const std::string& to) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& path) override;
    bool syncFolder(const std::string& folder) override;
    std::optional<std::vector<std::string>> listFolder(const std::string& folder) override;

private:
    bool synced_;
};
using NativeFileSystem = WindowsFileSystem;
#endif

// Whether c separates the names of a path on this system: Windows takes a
// backslash as well as '/'.
bool IsPathSeparator(char c);
// Whether path starts at a root rather than at the current folder: "/x";
// on Windows also "\x", "C:\x" and the drive-relative "C:x".
bool IsAbsolutePath(const std::string& path);
// The length of the folder part of path, its last separator included; 0 when
// path has none.
inline std::size_t FolderPartLength(const std::string& path) {
    std::size_t n = path.size();
    while (n > 0 && !IsPathSeparator(path[n - 1]))
        --n;
    return n;
}

// The instance the storage code uses; the POSIX one unless replaced.
FileSystem& fileSystem();
// Installs fs (nullptr restores the POSIX one) and returns the previous one.
FileSystem* setFileSystem(FileSystem* fs);

}  // namespace kestrel
