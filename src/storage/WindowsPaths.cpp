#include "storage/WindowsPaths.h"

namespace kestrel {

namespace {

std::optional<std::wstring> widen(const std::string& bytes, UINT codePage, DWORD flags) {
    int size = ::MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()),
                                     nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                          size);
    return out;
}

}  // namespace

std::optional<std::wstring> WidePath(const std::string& path) {
    if (path.empty())
        return std::wstring();
    if (auto utf8 = widen(path, CP_UTF8, MB_ERR_INVALID_CHARS))
        return utf8;
    return widen(path, CP_ACP, 0);
}

std::string NarrowPath(const wchar_t* text) {
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.pop_back();
    return out;
}

bool WriteAll(HANDLE h, const std::string& bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        DWORD chunk = static_cast<DWORD>(left < (1u << 30) ? left : (1u << 30));
        DWORD written = 0;
        if (!::WriteFile(h, data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

bool SetReadOnly(HANDLE h, bool readOnly) {
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic))
        return false;
    DWORD attributes = basic.FileAttributes & ~FILE_ATTRIBUTE_NORMAL;
    attributes =
        readOnly ? attributes | FILE_ATTRIBUTE_READONLY : attributes & ~FILE_ATTRIBUTE_READONLY;
    if (attributes == basic.FileAttributes)
        return true;
    basic.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
    return ::SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic) != 0;
}

}  // namespace kestrel
