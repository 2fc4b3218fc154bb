// The Windows file layer's status, links, new files and locks.

#include <windows.h>
#include <winioctl.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "storage/FileSystem.h"
#include "storage/WindowsPaths.h"

namespace kestrel {

namespace {

HANDLE native(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

FileHandle portable(HANDLE h) {
    return h == INVALID_HANDLE_VALUE ? kNoHandle : reinterpret_cast<FileHandle>(h);
}

bool isLinkTag(DWORD tag) {
    return tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT;
}

FileStatus statusOf(HANDLE h, bool asLink) {
    FileStatus status;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h, &info)) {
        status.kind = FileStatus::Kind::Other;
        return status;
    }
    const DWORD attributes = info.dwFileAttributes;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (asLink && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
        ::GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) &&
        isLinkTag(tag.ReparseTag)) {
        status.kind = FileStatus::Kind::Link;
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        status.kind = FileStatus::Kind::Directory;
    } else if (::GetFileType(h) == FILE_TYPE_DISK) {
        status.kind = FileStatus::Kind::Regular;
    } else {
        status.kind = FileStatus::Kind::Other;
    }
    status.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    status.mode = (attributes & FILE_ATTRIBUTE_READONLY) ? 0444u : 0666u;
    if (status.kind == FileStatus::Kind::Directory)
        status.mode |= 0111u;
    // Windows has no owner and group numbers; ACLs come from the folder.
    status.owner = -1;
    status.group = -1;
    return status;
}

bool notFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH;
}

// The reparse data as the system keeps it (ntifs.h, which user programs do
// not get): the symbolic-link form has a flags word the junction form lacks.
struct ReparseHeader {
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset;
    WORD substituteLength;
    WORD printOffset;
    WORD printLength;
};

}  // namespace

FileStatus WindowsFileSystem::status(const std::string& path, bool followLinks) {
    auto name = WidePath(path);
    if (!name)
        return FileStatus{};
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    HANDLE h = ::CreateFileW(name->c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                             flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (notFound(::GetLastError()))
            return FileStatus{};
        // There but not to be opened (in use, no right to it): still there.
        DWORD attributes = ::GetFileAttributesW(name->c_str());
        FileStatus status;
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return status;
        status.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileStatus::Kind::Directory
                                                              : FileStatus::Kind::Other;
        return status;
    }
    FileStatus status = statusOf(h, !followLinks);
    ::CloseHandle(h);
    return status;
}

std::optional<std::string> WindowsFileSystem::readLink(const std::string& path) {
    auto name = WidePath(path);
    if (!name)
        return std::nullopt;
    HANDLE h = ::CreateFileW(name->c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    alignas(DWORD) char buffer[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
    DWORD got = 0;
    bool ok = ::DeviceIoControl(h, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer, sizeof buffer, &got,
                                nullptr);
    ::CloseHandle(h);
    if (!ok || got < sizeof(ReparseHeader))
        return std::nullopt;
    ReparseHeader header;
    std::memcpy(&header, buffer, sizeof header);
    if (!isLinkTag(header.tag))
        return std::nullopt;
    std::size_t names = sizeof header;
    DWORD linkFlags = 0;
    if (header.tag == IO_REPARSE_TAG_SYMLINK) {
        std::memcpy(&linkFlags, buffer + names, sizeof linkFlags);
        names += sizeof linkFlags;
    }
    auto text = [&](WORD offset, WORD length) -> std::optional<std::wstring> {
        if (names + offset + length > got || length % 2 != 0)
            return std::nullopt;
        std::wstring s(length / 2, L'\0');
        std::memcpy(s.data(), buffer + names + offset, length);
        return s;
    };
    auto target = text(header.printOffset, header.printLength);
    if (!target || target->empty()) {
        target = text(header.substituteOffset, header.substituteLength);
        // The NT form of an absolute path.
        if (target && target->rfind(L"\\??\\", 0) == 0)
            target->erase(0, 4);
    }
    if (!target || target->empty())
        return std::nullopt;
    return NarrowPath(target->c_str());
}

FileHandle WindowsFileSystem::createNew(const std::string& path, unsigned mode) {
    auto name = WidePath(path);
    if (!name)
        return kNoHandle;
    // CREATE_NEW fails on any name already there, a link or junction too, and
    // never opens through one. Others may open it to wait on its lock, and it
    // may be renamed or removed while open, as on POSIX.
    HANDLE h = ::CreateFileW(
        name->c_str(), GENERIC_READ | GENERIC_WRITE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
        kShareAll, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
        nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return kNoHandle;
    if (mode != kNewFileMode && (mode & 0200) == 0 && !SetReadOnly(h, true)) {
        ::CloseHandle(h);
        ::DeleteFileW(name->c_str());
        return kNoHandle;
    }
    return portable(h);
}

FileHandle WindowsFileSystem::openExisting(const std::string& path) {
    auto name = WidePath(path);
    if (!name)
        return kNoHandle;
    HANDLE h = ::CreateFileW(name->c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return kNoHandle;
    if (statusOf(h, true).kind != FileStatus::Kind::Regular) {
        ::CloseHandle(h);
        return kNoHandle;
    }
    return portable(h);
}

FileHandle WindowsFileSystem::openLock(const std::string& path) {
    auto name = WidePath(path);
    if (!name)
        return kNoHandle;
    HANDLE h =
        ::CreateFileW(name->c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    // Another user's lock file may be read-only to us; a lock needs no more.
    if (h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED)
        h = ::CreateFileW(name->c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return kNoHandle;
    if (statusOf(h, true).kind != FileStatus::Kind::Regular) {
        ::CloseHandle(h);
        return kNoHandle;
    }
    return portable(h);
}

bool WindowsFileSystem::write(FileHandle file, const std::string& bytes) {
    return WriteAll(native(file), bytes);
}

bool WindowsFileSystem::sync(FileHandle file) {
    return !synced_ || ::FlushFileBuffers(native(file));
}

// Owner and group numbers do not exist here; a new file takes the folder's
// inherited permissions, as the replaced one did.
bool WindowsFileSystem::setOwner(FileHandle, long, long) {
    return true;
}

// Windows locks are mandatory: a lock over the file's bytes would stop the
// holder's own second handle from reading them. One byte far beyond any end
// of file carries the lock instead; every process that locks the intent file
// asks for that same byte.
bool WindowsFileSystem::lock(FileHandle file, int waitMs) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        OVERLAPPED at{};
        at.Offset = 0;
        at.OffsetHigh = 0x7FFFFFFF;
        if (::LockFileEx(native(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                         &at))
            return true;
        DWORD error = ::GetLastError();
        if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING)
            return false;
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void WindowsFileSystem::close(FileHandle file) {
    if (file != kNoHandle)
        ::CloseHandle(native(file));
}

}  // namespace kestrel
