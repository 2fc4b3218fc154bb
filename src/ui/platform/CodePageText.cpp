#include "ui/platform/CodePageText.h"

#include <array>
#include <string>

#include "text/CodePage.h"

namespace kestrel::ui {

namespace {
// Each byte's character, taken once from the core's own decoder so that
// the two can never differ.
std::array<char16_t, 256> makeTable() {
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const QString one = QString::fromStdString(CodePageToUtf8(std::string_view(&byte, 1)));
        table[static_cast<std::size_t>(b)] = one.isEmpty() ? u'\0' : one.at(0).unicode();
    }
    return table;
}
}  // namespace

QString FromCodePage(std::string_view bytes) {
    static const std::array<char16_t, 256> table = makeTable();
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char byte : bytes)
        *out++ = QChar(table[static_cast<unsigned char>(byte)]);
    return text;
}

}  // namespace kestrel::ui
