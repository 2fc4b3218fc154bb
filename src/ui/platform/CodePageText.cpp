#include "ui/platform/CodePageText.h"

#include <array>
#include <string>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

#ifdef __SSE2__
namespace {
// Eight units of the first 256 characters but the C1 controls 0x80 to
// 0x9F: the bytes they are in the code page are their own numbers.
bool ownBytes(__m128i units) {
    const __m128i below256 = _mm_cmpeq_epi16(
        _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFF00))), _mm_setzero_si128());
    const __m128i control = _mm_cmpeq_epi16(
        _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFFE0))), _mm_set1_epi16(0x80));
    return _mm_movemask_epi8(_mm_andnot_si128(control, below256)) == 0xFFFF;
}
}  // namespace
#endif

std::optional<std::string> ToCodePage(QStringView text) {
    std::string out(static_cast<std::size_t>(text.size()), '\0');
    const char16_t* in = text.utf16();
    const std::size_t size = out.size();
    std::size_t at = 0;
    while (at < size) {
#ifdef __SSE2__
        // Sixteen characters at a time while they are their own bytes, as
        // ASCII and most Latin letters are.
        while (at + 16 <= size) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at + 8));
            if (!ownBytes(a) || !ownBytes(b))
                break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out.data() + at), _mm_packus_epi16(a, b));
            at += 16;
        }
        if (at == size)
            break;
#endif
        const char16_t unit = in[at];
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
            out[at++] = static_cast<char>(unit);
            continue;
        }
        // No character beyond the first plane is in the code page: a
        // surrogate, paired or not, is refused with the rest.
        const std::optional<unsigned char> byte = UnicodeToCodePage(unit);
        if (!byte)
            return std::nullopt;
        out[at++] = static_cast<char>(*byte);
    }
    return out;
}

}  // namespace kestrel::ui
