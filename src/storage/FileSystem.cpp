#include "storage/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace kestrel {

namespace {

FileSystem*& currentSlot() {
    static FileSystem* current = nullptr;
    return current;
}

}  // namespace

// Opened without blocking, so a FIFO or a device named like a data file is
// refused at once instead of waiting on a writer.
BoundedRead PosixFileSystem::readBounded(const std::string& path, std::uint64_t limit,
                                         std::uint64_t refuseAbove) {
    BoundedRead read;
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        read.result = errno == ENOENT ? BoundedRead::Result::Missing : BoundedRead::Result::Failed;
        return read;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        read.result = BoundedRead::Result::NotRegular;
        return read;
    }
    read.size = static_cast<std::uint64_t>(st.st_size);
    if (read.size > refuseAbove) {
        ::close(fd);
        read.result = BoundedRead::Result::TooLarge;
        return read;
    }
    // Straight into the text for the size the file has; a file that grew
    // since goes on through a buffer. The limit holds either way.
    read.bytes.resize(static_cast<std::size_t>(std::min(read.size, limit)));
    std::size_t got = 0;
    char buffer[1 << 16];
    while (got < limit) {
        const bool direct = got < read.bytes.size();
        char* into = direct ? read.bytes.data() + got : buffer;
        std::size_t room =
            direct ? read.bytes.size() - got
                   : static_cast<std::size_t>(std::min<std::uint64_t>(sizeof buffer, limit - got));
        ssize_t n = ::read(fd, into, room);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            read.bytes.clear();
            read.result = BoundedRead::Result::Failed;
            return read;
        }
        if (n == 0)
            break;
        if (!direct)
            read.bytes.append(buffer, static_cast<std::size_t>(n));
        got += static_cast<std::size_t>(n);
    }
    read.bytes.resize(got);
    ::close(fd);
    read.size = std::max<std::uint64_t>(read.size, read.bytes.size());
    read.result = BoundedRead::Result::Ok;
    return read;
}

std::optional<std::string> PosixFileSystem::readFile(const std::string& path) {
    constexpr std::uint64_t kLimit = 256u << 20;
    BoundedRead read = readBounded(path, kLimit, kLimit);
    if (read.result != BoundedRead::Result::Ok)
        return std::nullopt;
    return std::move(read.bytes);
}

std::optional<std::uint64_t> PosixFileSystem::fileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

bool PosixFileSystem::writeFile(const std::string& path, const std::string& bytes, int mode) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    // This class's own write, not an override's: a test's file system that
    // fails writes through handles decides that for itself.
    bool ok = PosixFileSystem::write(static_cast<FileHandle>(fd), bytes) &&
              (!synced_ || ::fsync(fd) == 0);
    // Also for a leftover temporary file, so the renamed file carries the old mode.
    if (mode >= 0)
        ok = ::fchmod(fd, static_cast<mode_t>(mode)) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    return ok;
}

std::optional<unsigned> PosixFileSystem::fileMode(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<unsigned>(st.st_mode & 07777);
}

bool PosixFileSystem::link(const std::string& from, const std::string& to) {
    return ::link(from.c_str(), to.c_str()) == 0;
}

bool PosixFileSystem::copyFile(const std::string& from, const std::string& to) {
    auto bytes = readFile(from);
    auto mode = fileMode(from);
    if (!bytes || !mode)
        return false;
    // A backup is a new file: a name already there is never written through.
    FileHandle file = createNew(to, *mode);
    if (file == kNoHandle)
        return false;
    bool ok = write(file, *bytes) && sync(file);
    close(file);
    if (!ok)
        remove(to);
    return ok;
}

bool PosixFileSystem::rename(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixFileSystem::remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool PosixFileSystem::syncFolder(const std::string& folder) {
    if (!synced_)
        return true;
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    return ok;
}

std::optional<std::vector<std::string>> PosixFileSystem::listFolder(const std::string& folder) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return std::nullopt;
    std::vector<std::string> names;
    while (struct dirent* entry = ::readdir(dir))
        names.emplace_back(entry->d_name);
    ::closedir(dir);
    return names;
}

bool IsPathSeparator(char c) {
    return c == '/';
}

bool IsAbsolutePath(const std::string& path) {
    return !path.empty() && path[0] == '/';
}

FileSystem& fileSystem() {
    static PosixFileSystem posix;
    return currentSlot() ? *currentSlot() : posix;
}

FileSystem* setFileSystem(FileSystem* fs) {
    FileSystem* previous = currentSlot();
    currentSlot() = fs;
    return previous;
}

}  // namespace kestrel
