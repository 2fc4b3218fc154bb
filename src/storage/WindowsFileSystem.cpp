// The file layer on Windows: UTF-8 paths inside, UTF-16 Win32 calls at the
// edge, with the guarantees the POSIX layer gives.

#include <windows.h>

#include <algorithm>

#include "storage/FileSystem.h"
#include "storage/WindowsPaths.h"

namespace kestrel {

namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (valid())
            ::CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    bool close() {
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(h) != 0;
    }

private:
    HANDLE h_;
};

// What the path leads to, links followed as POSIX stat follows them.
std::optional<BY_HANDLE_FILE_INFORMATION> information(const std::wstring& path) {
    Handle h(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!h.valid() || !::GetFileInformationByHandle(h.get(), &info))
        return std::nullopt;
    return info;
}

bool isFolder(const BY_HANDLE_FILE_INFORMATION& info) {
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The name of the last part of path as the folder spells it, so that a
// replaced file keeps its letter case; path itself when nothing is there.
std::wstring asSpelledOnDisk(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return path;
    ::FindClose(search);
    std::size_t folder = path.find_last_of(L"/\\");
    folder = folder == std::wstring::npos ? 0 : folder + 1;
    if (folder == 0 && path.size() > 1 && path[1] == L':')
        folder = 2;
    return path.substr(0, folder) + found.cFileName;
}

// Runs change on path with its read-only attribute cleared, as POSIX lets a
// rename or unlink in a writable folder go ahead whatever the file's mode;
// the attribute comes back when change fails.
template <typename Change>
bool overReadOnly(const std::wstring& path, Change change) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    bool readOnly = attributes != INVALID_FILE_ATTRIBUTES &&
                    (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
                    (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (readOnly && !::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return false;
    if (change())
        return true;
    if (readOnly) {
        DWORD error = ::GetLastError();
        ::SetFileAttributesW(path.c_str(), attributes);
        ::SetLastError(error);
    }
    return false;
}

FileSystem*& currentSlot() {
    static FileSystem* current = nullptr;
    return current;
}

}  // namespace

bool IsPathSeparator(char c) {
    return c == '/' || c == '\\';
}

bool IsAbsolutePath(const std::string& path) {
    if (!path.empty() && IsPathSeparator(path[0]))
        return true;
    const bool letter = path.size() >= 2 &&
                        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return letter && path[1] == ':';
}

// Only a file on a disk is read: a pipe, a console or a device named like a
// data file is refused without waiting on it.
BoundedRead WindowsFileSystem::readBounded(const std::string& path, std::uint64_t limit,
                                           std::uint64_t refuseAbove) {
    BoundedRead read;
    auto name = WidePath(path);
    if (!name)
        return read;
    Handle h(::CreateFileW(name->c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h.valid()) {
        DWORD error = ::GetLastError();
        read.result = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                          ? BoundedRead::Result::Missing
                          : BoundedRead::Result::Failed;
        return read;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(h.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(h.get(), &info) ||
        isFolder(info)) {
        read.result = BoundedRead::Result::NotRegular;
        return read;
    }
    read.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (read.size > refuseAbove) {
        read.result = BoundedRead::Result::TooLarge;
        return read;
    }
    read.bytes.reserve(static_cast<std::size_t>(std::min(read.size, limit)));
    char buffer[1 << 16];
    // The size may change while reading; the limit still holds.
    while (read.bytes.size() < limit) {
        DWORD chunk =
            static_cast<DWORD>(std::min<std::uint64_t>(sizeof buffer, limit - read.bytes.size()));
        DWORD n = 0;
        if (!::ReadFile(h.get(), buffer, chunk, &n, nullptr)) {
            read.bytes.clear();
            read.result = BoundedRead::Result::Failed;
            return read;
        }
        if (n == 0)
            break;
        read.bytes.append(buffer, n);
    }
    read.size = std::max<std::uint64_t>(read.size, read.bytes.size());
    read.result = BoundedRead::Result::Ok;
    return read;
}

std::optional<std::string> WindowsFileSystem::readFile(const std::string& path) {
    constexpr std::uint64_t kLimit = 256u << 20;
    BoundedRead read = readBounded(path, kLimit, kLimit);
    if (read.result != BoundedRead::Result::Ok)
        return std::nullopt;
    return std::move(read.bytes);
}

std::optional<std::uint64_t> WindowsFileSystem::fileSize(const std::string& path) {
    auto name = WidePath(path);
    if (!name)
        return std::nullopt;
    auto info = information(*name);
    if (!info || isFolder(*info))
        return std::nullopt;
    return (static_cast<std::uint64_t>(info->nFileSizeHigh) << 32) | info->nFileSizeLow;
}

bool WindowsFileSystem::writeFile(const std::string& path, const std::string& bytes, int mode) {
    auto name = WidePath(path);
    if (!name)
        return false;
    Handle h(::CreateFileW(name->c_str(),
                           GENERIC_WRITE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 0, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid())
        return false;
    bool ok = WriteAll(h.get(), bytes) && (!synced_ || ::FlushFileBuffers(h.get()));
    // The temporary file takes the read-only attribute of the file it will
    // replace, as the POSIX layer gives it the mode.
    if (mode >= 0)
        ok = SetReadOnly(h.get(), (mode & 0200) == 0) && ok;
    ok = h.close() && ok;
    return ok;
}

std::optional<unsigned> WindowsFileSystem::fileMode(const std::string& path) {
    auto name = WidePath(path);
    if (!name)
        return std::nullopt;
    auto info = information(*name);
    if (!info)
        return std::nullopt;
    return (info->dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444u : 0666u;
}

bool WindowsFileSystem::link(const std::string& from, const std::string& to) {
    auto source = WidePath(from);
    auto target = WidePath(to);
    return source && target && ::CreateHardLinkW(target->c_str(), source->c_str(), nullptr);
}

bool WindowsFileSystem::copyFile(const std::string& from, const std::string& to) {
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

// MoveFileExW rather than ReplaceFileW: it replaces in one step, writes the
// change through to the disk before it returns, and works whether or not the
// target exists; the new file's attributes were set when it was written.
bool WindowsFileSystem::rename(const std::string& from, const std::string& to) {
    auto source = WidePath(from);
    auto target = WidePath(to);
    if (!source || !target)
        return false;
    std::wstring spelled = asSpelledOnDisk(*target);
    return overReadOnly(spelled, [&] {
        return ::MoveFileExW(source->c_str(), spelled.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    });
}

bool WindowsFileSystem::remove(const std::string& path) {
    auto name = WidePath(path);
    if (!name)
        return false;
    return overReadOnly(*name, [&] { return ::DeleteFileW(name->c_str()) != 0; });
}

// Windows has no fsync for a folder: the renames were written through by
// MoveFileExW. What is left to check is that the folder is there.
bool WindowsFileSystem::syncFolder(const std::string& folder) {
    auto name = WidePath(folder.empty() ? std::string(".") : folder);
    if (!name)
        return false;
    auto info = information(*name);
    return info && isFolder(*info);
}

std::optional<std::vector<std::string>> WindowsFileSystem::listFolder(const std::string& folder) {
    std::string pattern = folder.empty() ? std::string(".") : folder;
    if (!IsPathSeparator(pattern.back()))
        pattern += '\\';
    auto name = WidePath(pattern + "*");
    if (!name)
        return std::nullopt;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(name->c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::vector<std::string> names;
    do
        names.push_back(NarrowPath(found.cFileName));
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

FileSystem& fileSystem() {
    static WindowsFileSystem windows;
    return currentSlot() ? *currentSlot() : windows;
}

FileSystem* setFileSystem(FileSystem* fs) {
    FileSystem* previous = currentSlot();
    currentSlot() = fs;
    return previous;
}

}  // namespace kestrel
