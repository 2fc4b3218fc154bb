#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// The user's separators for whole-number reading, as UTF-8 text (a locale's
// group separator can be a no-break space, which is more than one byte).
struct NumberSeparators {
    std::string decimal = ".";
    std::string group = ",";
};

// Whole-number reading: the whole text must be a number, blanks before and
// after allowed; &H / &O prefixes give hexadecimal / octal (a plain value,
// not a 32-bit pattern: &HFFFFFFFF is too large, not -1); fractions go to
// the nearest whole number, halves to even. No value when the text is not a
// number or the result does not fit a long.
std::optional<std::int32_t> ReadWholeNumber(std::string_view text,
                                            const NumberSeparators& separators = {});

// Leading-number reading: the number at the start of the text (blanks, tabs
// and line feeds skipped anywhere, sign, digits, '.', exponent with E or D,
// or &H / &O), stopping at the first character that cannot continue it; 0
// when there is none; rounded halves to even. No value only when the number
// lies beyond what 64 bits hold (callers range-check the rest).
std::optional<std::int64_t> ReadLeadingNumber(std::string_view text);

// The leading number when nothing had to be rounded away to make it whole
// ("3", "3.0", "3 records"); no value for "1.5" or beyond 64 bits.
std::optional<std::int64_t> ReadLeadingWholeNumber(std::string_view text);

// Text of 1 to 18 digits after an optional minus sign and nothing else: the
// value each reader above gives it (the whole-number reader only within a
// long); no value for any other text. A quick first try for the plain
// numbers that make up nearly all of a long text.
std::optional<std::int64_t> ReadPlainWholeNumber(std::string_view text);

// Digits only, after an optional minus sign: a cell the grids align to the
// right as a number, unlike text that merely starts with one.
bool IsPlainWholeNumber(std::string_view text);

// The range checks callers need.
constexpr bool FitsByte(std::int64_t v) {
    return v >= 0 && v <= 255;
}
constexpr bool FitsLong(std::int64_t v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}

// A hexadecimal digit's value, either case; -1 for another character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace kestrel
