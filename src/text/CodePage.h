#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// The files' single-byte code page is Windows-1252, except that its five
// undefined bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of
// the same number, so that every byte survives a trip through Unicode.
char32_t CodePageToUnicode(unsigned char byte);
std::optional<unsigned char> UnicodeToCodePage(char32_t ch);

// Whole texts: code-page bytes to UTF-8, and back. The way back has no value
// when the text holds a character the code page cannot hold (or is not UTF-8).
std::string CodePageToUtf8(std::string_view bytes);
std::optional<std::string> Utf8ToCodePage(std::string_view utf8);

}  // namespace kestrel
