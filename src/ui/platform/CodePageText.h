#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::ui {

// Bytes of the files' code page as display text, straight to UTF-16: the
// same characters CodePageToUtf8 gives, without the detour through UTF-8
// that a copy of the whole list would pay twice.
QString FromCodePage(std::string_view bytes);

// Display text back to the code page, straight from UTF-16: what
// Utf8ToCodePage gives for the text's UTF-8, no value for a character the
// code page cannot hold. A whole list's clipboard text is megabytes, and
// the detour through UTF-8 cost a paste more than the decoding after it.
std::optional<std::string> ToCodePage(QStringView text);

}  // namespace kestrel::ui
