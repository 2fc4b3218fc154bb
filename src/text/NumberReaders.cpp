#include "text/NumberReaders.h"

#include <cstdint>
#include <limits>
#include <string>

namespace kestrel {

namespace {

constexpr std::uint64_t kInt64Max = static_cast<std::uint64_t>(INT64_MAX);
// An exponent beyond this already pushes any non-zero digit far past 64 bits
// (or far below one half), so larger ones are held at it instead of overflowing.
constexpr std::int64_t kExponentLimit = 1'000'000'000'000;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int digitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v >= 0 && v < base ? v : -1;
}

// A decimal number taken apart: the value is digits x 10^exponent.
struct Decimal {
    bool negative = false;
    std::string digits;
    std::int64_t exponent = 0;
};

void addToExponent(std::int64_t& exponent, int digit) {
    if (exponent < kExponentLimit)
        exponent = exponent * 10 + digit;
}

// Rounds to the nearest whole number, halves to even. No value beyond what
// a signed 64-bit number holds. exact tells whether nothing was rounded away.
std::optional<std::int64_t> roundDecimal(const Decimal& d, bool& exact) {
    exact = true;
    std::size_t first = d.digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0;
    std::string_view s(d.digits);
    s.remove_prefix(first);
    const auto len = static_cast<std::int64_t>(s.size());
    const std::int64_t intLen = len + d.exponent;  // digits before the point
    if (intLen > 19)
        return std::nullopt;

    std::uint64_t whole = 0;
    for (std::int64_t k = 0; k < intLen; ++k) {
        whole = whole * 10 + (k < len ? static_cast<std::uint64_t>(s[k] - '0') : 0);
    }
    // What was cut off decides the rounding: above, below or exactly one half.
    bool up = false;
    if (intLen < 0) {
        exact = false;
    } else if (intLen < len) {
        exact = s.find_first_not_of('0', static_cast<std::size_t>(intLen)) == std::string::npos;
        char next = s[static_cast<std::size_t>(intLen)];
        if (next > '5') {
            up = true;
        } else if (next == '5') {
            bool moreThanHalf =
                s.find_first_not_of('0', static_cast<std::size_t>(intLen) + 1) != std::string::npos;
            up = moreThanHalf || (whole % 2 == 1);
        }
    }
    if (up) {
        if (whole == std::numeric_limits<std::uint64_t>::max())
            return std::nullopt;
        ++whole;
    }
    if (d.negative) {
        if (whole > kInt64Max + 1)
            return std::nullopt;
        return whole == kInt64Max + 1 ? INT64_MIN : -static_cast<std::int64_t>(whole);
    }
    if (whole > kInt64Max)
        return std::nullopt;
    return static_cast<std::int64_t>(whole);
}

std::int64_t effectiveExponent(std::int64_t written, bool negative, std::size_t fractionDigits) {
    std::int64_t e = negative ? -written : written;
    return e - static_cast<std::int64_t>(fractionDigits);
}

bool startsWith(std::string_view text, std::size_t at, const std::string& what) {
    return !what.empty() && text.substr(at, what.size()) == what;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::optional<std::int32_t> ReadWholeNumber(std::string_view text,
                                            const NumberSeparators& separators) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;

    std::size_t i = 0;
    if (text[0] == '&' && text.size() > 2) {
        int base = 0;
        if (text[1] == 'H' || text[1] == 'h')
            base = 16;
        if (text[1] == 'O' || text[1] == 'o')
            base = 8;
        if (base == 0)
            return std::nullopt;
        std::int64_t value = 0;
        for (i = 2; i < text.size(); ++i) {
            int v = digitValue(text[i], base);
            if (v < 0)
                return std::nullopt;
            value = value * base + v;
            if (value > INT32_MAX)
                return std::nullopt;
        }
        return static_cast<std::int32_t>(value);
    }

    Decimal d;
    if (text[i] == '+' || text[i] == '-')
        d.negative = text[i++] == '-';
    bool anyDigit = false;
    // Group separators only between digits of the whole part, as a user types them.
    while (i < text.size()) {
        if (isDigit(text[i])) {
            d.digits.push_back(text[i++]);
            anyDigit = true;
        } else if (anyDigit && startsWith(text, i, separators.group) &&
                   separators.group != separators.decimal &&
                   i + separators.group.size() < text.size() &&
                   isDigit(text[i + separators.group.size()])) {
            i += separators.group.size();
        } else {
            break;
        }
    }
    std::size_t fractionDigits = 0;
    if (startsWith(text, i, separators.decimal)) {
        i += separators.decimal.size();
        while (i < text.size() && isDigit(text[i])) {
            d.digits.push_back(text[i++]);
            ++fractionDigits;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    std::int64_t exponent = 0;
    bool exponentNegative = false;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            exponentNegative = text[i++] == '-';
        if (i >= text.size() || !isDigit(text[i]))
            return std::nullopt;
        while (i < text.size() && isDigit(text[i]))
            addToExponent(exponent, text[i++] - '0');
    }
    if (i != text.size())
        return std::nullopt;
    d.exponent = effectiveExponent(exponent, exponentNegative, fractionDigits);
    bool exact = true;
    auto value = roundDecimal(d, exact);
    if (!value || !FitsLong(*value))
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

namespace {

std::optional<std::int64_t> leadingNumber(std::string_view text, bool& exact) {
    exact = true;
    std::size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n'))
            ++i;
    };
    auto at = [&](std::size_t k) { return k < text.size() ? text[k] : '\0'; };

    skip();
    if (at(i) == '&') {
        ++i;
        skip();
        int base = 0;
        if (at(i) == 'H' || at(i) == 'h')
            base = 16;
        if (at(i) == 'O' || at(i) == 'o')
            base = 8;
        if (base == 0)
            return 0;
        ++i;
        std::uint64_t value = 0;
        for (skip(); i < text.size(); ++i, skip()) {
            int v = digitValue(text[i], base);
            if (v < 0)
                break;
            if (value > (kInt64Max - static_cast<std::uint64_t>(v)) / static_cast<unsigned>(base)) {
                return std::nullopt;
            }
            value = value * static_cast<unsigned>(base) + static_cast<unsigned>(v);
        }
        return static_cast<std::int64_t>(value);
    }

    Decimal d;
    if (at(i) == '+' || at(i) == '-') {
        d.negative = text[i] == '-';
        ++i;
        skip();
    }
    while (isDigit(at(i))) {
        d.digits.push_back(text[i++]);
        skip();
    }
    std::size_t fractionDigits = 0;
    if (at(i) == '.') {
        ++i;
        skip();
        while (isDigit(at(i))) {
            d.digits.push_back(text[i++]);
            ++fractionDigits;
            skip();
        }
    }
    if (d.digits.empty())
        return 0;
    std::int64_t exponent = 0;
    bool exponentNegative = false;
    char c = at(i);
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
        // A letter without digits behind it is not an exponent and ends the number.
        std::size_t k = i + 1;
        auto skipAt = [&] {
            while (k < text.size() && (text[k] == ' ' || text[k] == '\t' || text[k] == '\n'))
                ++k;
        };
        skipAt();
        bool negative = false;
        if (at(k) == '+' || at(k) == '-') {
            negative = text[k] == '-';
            ++k;
            skipAt();
        }
        if (isDigit(at(k))) {
            exponentNegative = negative;
            while (isDigit(at(k))) {
                addToExponent(exponent, text[k++] - '0');
                skipAt();
            }
        }
    }
    d.exponent = effectiveExponent(exponent, exponentNegative, fractionDigits);
    return roundDecimal(d, exact);
}

}  // namespace

std::optional<std::int64_t> ReadLeadingNumber(std::string_view text) {
    bool exact = true;
    return leadingNumber(text, exact);
}

std::optional<std::int64_t> ReadLeadingWholeNumber(std::string_view text) {
    bool exact = true;
    auto value = leadingNumber(text, exact);
    if (!value || !exact)
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> ReadPlainWholeNumber(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    // 18 digits always fit in 64 bits.
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

bool IsPlainWholeNumber(std::string_view text) {
    const std::size_t first = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (first >= text.size())
        return false;
    for (std::size_t i = first; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

}  // namespace kestrel
