#pragma once

// What the Windows file layer's files share: paths between UTF-8 and UTF-16,
// and the few handle helpers. Included only where _WIN32 is defined.

#include <windows.h>

#include <optional>
#include <string>

namespace kestrel {

// Others may read, write, rename or remove a file while it is open, as on POSIX.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Paths are UTF-8. Bytes that are not UTF-8 could name no file, so they are
// taken in the ANSI code page, as Windows' own narrow calls (and Qt's
// QFile::encodeName) take them.
std::optional<std::wstring> WidePath(const std::string& path);
std::string NarrowPath(const wchar_t* path);

bool WriteAll(HANDLE file, const std::string& bytes);
bool SetReadOnly(HANDLE file, bool readOnly);

}  // namespace kestrel
