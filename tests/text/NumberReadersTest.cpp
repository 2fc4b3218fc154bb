#include "text/NumberReaders.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

using namespace kestrel;

namespace {

struct WholeCase {
    const char* text;
    std::optional<std::int32_t> value;
};

struct LeadingCase {
    std::string text;
    std::optional<std::int64_t> value;
};

}  // namespace

TEST(ReadWholeNumber, Table) {
    const WholeCase cases[] = {
        {"42", 42},
        {" 42 ", 42},
        {"\t-7\t", -7},
        {"+7", 7},
        {"12.5", 12},
        {"13.5", 14},
        {"-12.5", -12},
        {"-13.5", -14},
        {"12.500001", 13},
        {"0.5", 0},
        {".5", 0},
        {"1.", 1},
        {"1,234", 1234},
        {"1,234,567.5", 1234568},
        {"&HFF", 255},
        {"&hff", 255},
        {"&O17", 15},
        {"&H7FFFFFFF", INT32_MAX},
        {"1E3", 1000},
        {"2D2", 200},
        {"15e-1", 2},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483647.4", INT32_MAX},
        {"00000000000000000000000000042", 42},
        {"0.000000000000000000000000000001", 0},
        // Not a number as a whole, or too large for a long.
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"7 tanks", std::nullopt},
        {"4 2", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {",5", std::nullopt},
        {"5,", std::nullopt},
        {"1,,5", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1E", std::nullopt},
        {"&H", std::nullopt},
        {"&HFG", std::nullopt},
        {"&O8", std::nullopt},
        {"&HFFFFFFFF", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"2147483647.5", std::nullopt},
        {"1E99999999999999999999999", std::nullopt},
        {"99999999999999999999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadWholeNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReadWholeNumber, UsesTheSeparatorsItIsGiven) {
    const NumberSeparators german{",", "."};
    EXPECT_EQ(ReadWholeNumber("1.234,5", german), 1234);
    EXPECT_EQ(ReadWholeNumber("1.235,5", german), 1236);
    EXPECT_EQ(ReadWholeNumber("1,234", german), 1);
    EXPECT_EQ(ReadWholeNumber("1.2.3", german), 123);
    const NumberSeparators french{",", "\xC2\xA0"};  // no-break space
    EXPECT_EQ(ReadWholeNumber("12\xC2\xA0"
                              "345,5",
                              french),
              12346);
    EXPECT_EQ(ReadWholeNumber("12\xC2"
                              "345",
                              french),
              std::nullopt);
}

TEST(ReadLeadingNumber, Table) {
    const LeadingCase cases[] = {
        {"42", 42},
        {"7 tanks", 7},
        {" 42 ", 42},
        {"4 2", 42},
        {"\t\n 1\n2", 12},
        {"- 3", -3},
        {"12.5", 12},
        {"13.5", 14},
        {"-2.5", -2},
        {"4.5", 4},
        {"4.51", 5},
        {"1.5.3", 2},
        {"1E3", 1000},
        {"1e3x", 1000},
        {"2D2", 200},
        {"1 E 2", 100},
        {"25E-1", 2},
        {"35E-1", 4},
        {"3E", 3},
        {"3E+", 3},
        {"3Dx", 3},
        {"&HFF", 255},
        {"&hff tail", 255},
        {"&O17", 15},
        {"&O19", 1},
        {"&H", 0},
        {"&X1", 0},
        {"", 0},
        {"tanks", 0},
        {"-", 0},
        {".", 0},
        {"+-5", 0},
        {"\r5", 0},
        {"1E-99999999999999999999999", 0},
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"&H7FFFFFFFFFFFFFFF", INT64_MAX},
        {std::string(5000, '0') + "17", 17},
        {"0." + std::string(5000, '0') + "1", 0},
        {"9223372036854775808", std::nullopt},
        {"9223372036854775807.5", std::nullopt},
        {"-9223372036854775809", std::nullopt},
        {"&H8000000000000000", std::nullopt},
        {"1E19", std::nullopt},
        {"1E99999999999999999999999", std::nullopt},
        {std::string(5000, '9'), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadLeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReadLeadingWholeNumber, RefusesWhatHadToBeRounded) {
    EXPECT_EQ(ReadLeadingWholeNumber("3"), 3);
    EXPECT_EQ(ReadLeadingWholeNumber("3.0 records"), 3);
    EXPECT_EQ(ReadLeadingWholeNumber("30E-1"), 3);
    EXPECT_EQ(ReadLeadingWholeNumber(""), 0);
    EXPECT_EQ(ReadLeadingWholeNumber("-1"), -1);
    EXPECT_EQ(ReadLeadingWholeNumber("1.5"), std::nullopt);
    EXPECT_EQ(ReadLeadingWholeNumber("0.4"), std::nullopt);
    EXPECT_EQ(ReadLeadingWholeNumber("1E-1"), std::nullopt);
}

TEST(RangeChecks, Bounds) {
    EXPECT_TRUE(FitsByte(0) && FitsByte(255));
    EXPECT_FALSE(FitsByte(-1) || FitsByte(256));
    EXPECT_TRUE(FitsLong(INT32_MIN) && FitsLong(INT32_MAX));
    EXPECT_FALSE(FitsLong(std::int64_t{INT32_MIN} - 1) || FitsLong(std::int64_t{INT32_MAX} + 1));
}

namespace kestrel {
namespace {

TEST(IsPlainWholeNumber, DigitsAfterAnOptionalMinusOnly) {
    const std::pair<const char*, bool> cases[] = {
        {"0", true},    {"32747", true},  {"-12", true},  {"", false},
        {"-", false},   {"12a", false},   {"1.5", false}, {" 1", false},
        {"--1", false}, {"Tiger", false}, {"1-", false},  {"+1", false},
    };
    for (const auto& [text, plain] : cases)
        EXPECT_EQ(IsPlainWholeNumber(text), plain) << '"' << text << '"';
}

// The quick reader must give what the general readers give wherever it gives
// anything: seeded random lines built from the characters numbers are made of.
TEST(ReadPlainWholeNumber, AgreesWithTheGeneralReaders) {
    std::mt19937 rng(28);
    const std::string alphabet = "0123456789-+ .eE&H";
    int plain = 0;
    for (int round = 0; round < 200000; ++round) {
        std::string text;
        const bool digitsOnly = rng() % 2 == 0;
        if (digitsOnly && rng() % 3 == 0)
            text = "-";
        for (auto length = rng() % 22; length > 0; --length)
            text.push_back(digitsOnly ? alphabet[rng() % 10] : alphabet[rng() % alphabet.size()]);
        const std::optional<std::int64_t> quick = ReadPlainWholeNumber(text);
        if (!quick)
            continue;
        ++plain;
        EXPECT_TRUE(IsPlainWholeNumber(text)) << text;
        EXPECT_EQ(ReadLeadingNumber(text), quick) << text;
        EXPECT_EQ(ReadLeadingWholeNumber(text), quick) << text;
        const std::optional<std::int32_t> whole = ReadWholeNumber(text);
        EXPECT_EQ(whole.has_value(), FitsLong(*quick)) << text;
        if (whole) {
            EXPECT_EQ(*whole, *quick) << text;
        }
    }
    EXPECT_GT(plain, 50000);
    for (const char* refused : {"", "-", "+1", " 1", "1 ", "1.0", "1234567890123456789"})
        EXPECT_FALSE(ReadPlainWholeNumber(refused)) << '"' << refused << '"';
}

}  // namespace
}  // namespace kestrel
