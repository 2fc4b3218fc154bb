#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

// What a name in a folder is, without opening it.
struct FileStatus {
    enum class Kind { Missing, Regular, Directory, Link, Other };
    Kind kind = Kind::Missing;
    std::uint64_t size = 0;
    unsigned mode = 0;  // permission bits
    long owner = -1;
    long group = -1;
    bool exists() const { return kind != Kind::Missing; }
    bool regular() const { return kind == Kind::Regular; }
};

// The bytes of a regular file read with an upper bound.
struct BoundedRead {
    enum class Result { Ok, Missing, NotRegular, TooLarge, Failed };
    Result result = Result::Failed;
    std::string bytes;       // at most the limit
    std::uint64_t size = 0;  // the whole file's size
};

// A file opened by the save: created new, written, synced, owned, locked.
using FileHandle = std::intptr_t;  // wide enough for a Windows HANDLE
constexpr FileHandle kNoHandle = -1;
// The mode for createNew that leaves a new file to the umask.
constexpr unsigned kNewFileMode = 0x10000;

// The few file operations the equipment files need. The POSIX implementation
// is the real one; tests install one that fails at a chosen call. Every call
// returns false (or nullopt) on failure and leaves nothing open.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Only a regular file is read (a FIFO or device is refused without
    // waiting on it), and never more than 256 MB.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    // Reads at most limit bytes of a regular file; a file larger than
    // refuseAbove is refused from its size alone, before anything is read.
    virtual BoundedRead readBounded(const std::string& path, std::uint64_t limit,
                                    std::uint64_t refuseAbove) = 0;
    // The length of a regular file, or nullopt when it cannot be obtained.
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
    // Removes the name itself: a link goes, its target stays.
    virtual bool remove(const std::string& path) = 0;
    virtual bool syncFolder(const std::string& folder) = 0;
    // Names of the entries of folder, or nullopt when it cannot be listed.
    virtual std::optional<std::vector<std::string>> listFolder(const std::string& folder) = 0;

    // The status of path itself (a link is reported as a link) or, with
    // followLinks, of what it finally names.
    virtual FileStatus status(const std::string& path, bool followLinks) = 0;
    // The target text of a symbolic link.
    virtual std::optional<std::string> readLink(const std::string& path) = 0;

    // Creates path as a new file with mode (or kNewFileMode), failing where any file or link
    // already has that name; never follows a link.
    virtual FileHandle createNew(const std::string& path, unsigned mode) = 0;
    // Opens an existing regular file (not through a link) to lock it.
    virtual FileHandle openExisting(const std::string& path) = 0;
    // Opens the regular file at path to lock it, creating it where nothing
    // has the name; never through a link.
    virtual FileHandle openLock(const std::string& path) = 0;
    virtual bool write(FileHandle file, const std::string& bytes) = 0;
    virtual bool sync(FileHandle file) = 0;
    // Gives the file an owner and group. Succeeds without change where the
    // process is not permitted to give them (an unprivileged user).
    virtual bool setOwner(FileHandle file, long owner, long group) = 0;
    // An exclusive lock, waiting up to waitMs; other processes see it.
    virtual bool lock(FileHandle file, int waitMs) = 0;
    // Closes the file, releasing its lock.
    virtual void close(FileHandle file) = 0;
};

// This system's file layer: POSIX calls, or on Windows Win32 calls where
// paths are UTF-8 (bytes that are not: the ANSI code page) and reach the
// system as UTF-16, names are found whatever their letter case, a file
// replaced by rename keeps its spelling, and a mode without the owner's
// write bit is the read-only attribute. Each system's source files define it.
class NativeFileSystem : public FileSystem {
public:
    // Unsynced is for measuring what the fsyncs cost; the editor always syncs.
    enum class Durability { Synced, Unsynced };
    explicit NativeFileSystem(Durability durability = Durability::Synced)
        : synced_(durability == Durability::Synced) {}

    std::optional<std::string> readFile(const std::string& path) override;
    BoundedRead readBounded(const std::string& path, std::uint64_t limit,
                            std::uint64_t refuseAbove) override;
    std::optional<std::uint64_t> fileSize(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& bytes, int mode) override;
    std::optional<unsigned> fileMode(const std::string& path) override;
    bool link(const std::string& from, const std::string& to) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& path) override;
    bool syncFolder(const std::string& folder) override;
    std::optional<std::vector<std::string>> listFolder(const std::string& folder) override;
    FileStatus status(const std::string& path, bool followLinks) override;
    std::optional<std::string> readLink(const std::string& path) override;
    FileHandle createNew(const std::string& path, unsigned mode) override;
    FileHandle openExisting(const std::string& path) override;
    FileHandle openLock(const std::string& path) override;
    bool write(FileHandle file, const std::string& bytes) override;
    bool sync(FileHandle file) override;
    bool setOwner(FileHandle file, long owner, long group) override;
    bool lock(FileHandle file, int waitMs) override;
    void close(FileHandle file) override;

private:
    bool synced_;
};
#ifndef _WIN32
using PosixFileSystem = NativeFileSystem;
#else
using WindowsFileSystem = NativeFileSystem;
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
