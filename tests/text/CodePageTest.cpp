#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <string>

using namespace kestrel;

TEST(CodePage, EveryByteSurvivesUnicodeAndUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        EXPECT_EQ(UnicodeToCodePage(CodePageToUnicode(byte)), byte) << b;
        all.push_back(static_cast<char>(byte));
    }
    EXPECT_EQ(Utf8ToCodePage(CodePageToUtf8(all)), all);
}

TEST(CodePage, KnownCharacters) {
    EXPECT_EQ(CodePageToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(CodePageToUnicode(0x9F), U'\u0178');
    EXPECT_EQ(CodePageToUnicode(0xE9), U'\u00E9');
    for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(CodePageToUnicode(undefined), static_cast<char32_t>(undefined));
    }
    EXPECT_EQ(CodePageToUtf8("\x80"
                             "A\xE9"),
              "\xE2\x82\xAC"
              "A\xC3\xA9");
}

TEST(CodePage, RefusesWhatItCannotHold) {
    const char* refused[] = {
        "\xC4\x80",          // U+0100, not in the code page
        "\xC2\x80",          // U+0080, a C1 control Windows-1252 puts elsewhere
        "\xE4\xB8\x80",      // a CJK character
        "\xF0\x9F\x98\x80",  // outside the first plane
        "\xC3",              // cut short
        "\xC0\xAF",          // overlong
        "\xED\xA0\x80",      // a surrogate
        "\xFF",
        "\x80",  // a bare continuation byte
    };
    // Also amid long runs of ASCII, which are taken several bytes at a time.
    const std::string run = "0123456789abcdefghi";
    for (const char* text : refused) {
        EXPECT_EQ(Utf8ToCodePage(text), std::nullopt) << text;
        EXPECT_EQ(Utf8ToCodePage(run + text), std::nullopt) << text;
        EXPECT_EQ(Utf8ToCodePage(run + text + run), std::nullopt) << text;
    }
    EXPECT_EQ(Utf8ToCodePage(run + "\xC3\xA9" + run + run), run + "\xE9" + run + run);
    EXPECT_EQ(UnicodeToCodePage(U'\u0100'), std::nullopt);
    EXPECT_EQ(UnicodeToCodePage(U'\u2122'), 0x99);
    EXPECT_EQ(Utf8ToCodePage(std::string("a\0b", 3)), std::string("a\0b", 3));
}
