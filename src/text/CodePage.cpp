#include "text/CodePage.h"

#include <cstdint>
#include <cstring>

namespace kestrel {

namespace {

// 0x80 to 0x9F; the five bytes Windows-1252 leaves undefined keep their own number.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t ch) {
    if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        // Every character of the code page lies in the first plane.
        out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
}

// One character from the front of utf8, or no value for anything that is not
// well-formed UTF-8 (overlong forms, surrogates, beyond U+10FFFF, cut short).
std::optional<char32_t> takeUtf8(std::string_view& utf8) {
    auto b0 = static_cast<unsigned char>(utf8[0]);
    int length = 0;
    char32_t ch = 0;
    char32_t least = 0;
    if (b0 < 0x80) {
        utf8.remove_prefix(1);
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        ch = b0 & 0x1F;
        least = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        ch = b0 & 0x0F;
        least = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        ch = b0 & 0x07;
        least = 0x10000;
    } else {
        return std::nullopt;
    }
    if (utf8.size() < static_cast<std::size_t>(length))
        return std::nullopt;
    for (int k = 1; k < length; ++k) {
        auto b = static_cast<unsigned char>(utf8[static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80)
            return std::nullopt;
        ch = (ch << 6) | (b & 0x3F);
    }
    if (ch < least || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
        return std::nullopt;
    utf8.remove_prefix(static_cast<std::size_t>(length));
    return ch;
}

}  // namespace

char32_t CodePageToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

std::optional<unsigned char> UnicodeToCodePage(char32_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return static_cast<unsigned char>(ch);
    for (unsigned k = 0; k < 32; ++k) {
        if (kHighControls[k] == ch)
            return static_cast<unsigned char>(0x80 + k);
    }
    return std::nullopt;
}

std::string CodePageToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (char c : bytes)
        appendUtf8(out, CodePageToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> Utf8ToCodePage(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        // Runs of ASCII, most of any text, are copied as they stand, eight
        // bytes tried at a time: a whole list's clipboard text is megabytes.
        std::size_t run = 0;
        for (std::uint64_t word = 0; run + 8 <= utf8.size(); run += 8) {
            std::memcpy(&word, utf8.data() + run, 8);
            if (word & 0x8080808080808080u)
                break;
        }
        while (run < utf8.size() && static_cast<unsigned char>(utf8[run]) < 0x80)
            ++run;
        if (run > 0) {
            out.append(utf8.data(), run);
            utf8.remove_prefix(run);
            continue;
        }
        auto ch = takeUtf8(utf8);
        if (!ch)
            return std::nullopt;
        auto byte = UnicodeToCodePage(*ch);
        if (!byte)
            return std::nullopt;
        out.push_back(static_cast<char>(*byte));
    }
    return out;
}

}  // namespace kestrel
