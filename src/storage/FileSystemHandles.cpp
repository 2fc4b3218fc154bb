#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "storage/FileSystem.h"

namespace kestrel {

namespace {

FileStatus statusOf(const struct stat& st) {
    FileStatus status;
    if (S_ISREG(st.st_mode))
        status.kind = FileStatus::Kind::Regular;
    else if (S_ISDIR(st.st_mode))
        status.kind = FileStatus::Kind::Directory;
    else if (S_ISLNK(st.st_mode))
        status.kind = FileStatus::Kind::Link;
    else
        status.kind = FileStatus::Kind::Other;
    status.size = static_cast<std::uint64_t>(st.st_size);
    status.mode = static_cast<unsigned>(st.st_mode & 07777);
    status.owner = static_cast<long>(st.st_uid);
    status.group = static_cast<long>(st.st_gid);
    return status;
}

}  // namespace

FileStatus PosixFileSystem::status(const std::string& path, bool followLinks) {
    struct stat st {};
    int rc = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    if (rc != 0)
        return FileStatus{};
    return statusOf(st);
}

std::optional<std::string> PosixFileSystem::readLink(const std::string& path) {
    char buffer[4096];
    ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof buffer)
        return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(n));
}

FileHandle PosixFileSystem::createNew(const std::string& path, unsigned mode) {
    const bool keepMode = mode != kNewFileMode;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    static_cast<mode_t>(keepMode ? mode & 0777 : 0666));
    if (fd < 0)
        return kNoHandle;
    // The umask must not narrow the mode of the file being replaced.
    if (keepMode && ::fchmod(fd, static_cast<mode_t>(mode)) != 0) {
        ::close(fd);
        ::unlink(path.c_str());
        return kNoHandle;
    }
    return fd;
}

FileHandle PosixFileSystem::openExisting(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return kNoHandle;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kNoHandle;
    }
    return fd;
}

FileHandle PosixFileSystem::openLock(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    // Another user's lock file may be read-only to us; a lock needs no more.
    if (fd < 0 && errno == EACCES)
        fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return kNoHandle;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kNoHandle;
    }
    return fd;
}

bool PosixFileSystem::write(FileHandle file, const std::string& bytes) {
    const char* data = bytes.data();
    std::size_t size = bytes.size();
    while (size > 0) {
        ssize_t n = ::write(static_cast<int>(file), data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool PosixFileSystem::sync(FileHandle file) {
    return !synced_ || ::fsync(static_cast<int>(file)) == 0;
}

bool PosixFileSystem::setOwner(FileHandle file, long owner, long group) {
    if (owner < 0 && group < 0)
        return true;
    if (::fchown(static_cast<int>(file), static_cast<uid_t>(owner), static_cast<gid_t>(group)) == 0)
        return true;
    // An unprivileged user cannot give a file away; root always can.
    return errno == EPERM && ::geteuid() != 0;
}

bool PosixFileSystem::lock(FileHandle file, int waitMs) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (::flock(static_cast<int>(file), LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void PosixFileSystem::close(FileHandle file) {
    if (file != kNoHandle)
        ::close(static_cast<int>(file));
}

}  // namespace kestrel
