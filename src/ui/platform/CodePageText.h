#pragma once

#include <QString>
#include <string_view>

namespace kestrel::ui {

// Bytes of the files' code page as display text, straight to UTF-16: the
// same characters CodePageToUtf8 gives, without the detour through UTF-8
// that a copy of the whole list would pay twice.
QString FromCodePage(std::string_view bytes);

}  // namespace kestrel::ui
