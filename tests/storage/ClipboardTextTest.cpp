#include "storage/ClipboardText.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace kestrel;

namespace {

// Field f of the sample holds 100 + f (the longs negative), texts aside.
Equipment sample(int seed) {
    Equipment e;
    for (int f = 0; f < kFieldCount; ++f) {
        if (fieldKind(f) == FieldKind::Byte)
            e.setNumber(f, (seed + f) % 256);
        if (fieldKind(f) == FieldKind::Long)
            e.setNumber(f, -1000 * seed - f);
    }
    e.setEqCode(5 + seed);
    e.setEqName("Scout Car " + std::to_string(seed));
    e.setIconName(std::string("ic\0on", 5));
    e.setLastPart(std::string("\0\0tail\0", 7));
    return e;
}

std::string recordLines(int seed) {
    const Equipment e = sample(seed);
    std::string out =
        std::to_string(5 + seed) + "\r\n" + "Scout Car " + std::to_string(seed) + "\r\n";
    for (int f = 2; f < kFieldCount; ++f) {
        if (f == static_cast<int>(Field::IconName)) {
            out += "icon\r\n";
        } else if (f == static_cast<int>(Field::LastPart)) {
            out += "tail\r\n";
        } else {
            out += std::to_string(e.number(f)) + "\r\n";
        }
    }
    return out;
}

std::vector<EquipmentRef> refs(const std::vector<Equipment>& records) {
    std::vector<EquipmentRef> out;
    for (const auto& r : records)
        out.push_back(std::make_shared<Equipment>(r));
    return out;
}

const std::string kHead = "IFII Equipment Editor - by Varnek\r\nEquipment Info for\r\n";

// A valid text of one record with line `line` (1-based) replaced.
std::string withLine(int line, const std::string& replacement) {
    std::string text = EncodeClipboardText(refs({sample(1)}));
    std::size_t start = 0;
    for (int k = 1; k < line; ++k)
        start = text.find("\r\n", start) + 2;
    std::size_t end = text.find("\r\n", start);
    return text.substr(0, start) + replacement + text.substr(end);
}

}  // namespace

TEST(ClipboardText, ExactBytesForOneAndThreeRecords) {
    EXPECT_EQ(EncodeClipboardText(refs({sample(0)})), kHead + "1\r\n" + recordLines(0));
    EXPECT_EQ(EncodeClipboardText(refs({sample(0), sample(1), sample(2)})),
              kHead + "3\r\n" + recordLines(0) + recordLines(1) + recordLines(2));
    EXPECT_EQ(EncodeClipboardText({}), kHead + "0\r\n");
}

TEST(ClipboardText, RoundTripKeepsEveryByteButZerosInIconAndTail) {
    std::mt19937 rng(4);
    std::vector<Equipment> records;
    for (int i = 0; i < 50; ++i) {
        Equipment e;
        for (int f = 0; f < kFieldCount; ++f) {
            if (fieldKind(f) == FieldKind::Byte)
                e.setNumber(f, rng() % 256);
            if (fieldKind(f) == FieldKind::Long)
                e.setNumber(f, static_cast<std::int32_t>(rng()));
        }
        std::string high;
        for (int b = 0x80; b <= 0xFF; ++b)
            high.push_back(static_cast<char>(b));
        e.setEqName("  " + high.substr(static_cast<std::size_t>(i), 20) + " \t ");
        e.setIconName(high.substr(100, 6));
        e.setLastPart(i % 2 ? std::string(" ") : std::string());
        records.push_back(e);
    }
    records[0].setEqCode(INT32_MIN);
    records[1].setEqCode(INT32_MAX);
    auto decoded = DecodeClipboardText(EncodeClipboardText(refs(records)));
    ASSERT_TRUE(decoded.ok()) << decoded.error << " at " << decoded.line;
    EXPECT_EQ(decoded.records, records);

    auto zeros = DecodeClipboardText(EncodeClipboardText(refs({sample(3)})));
    ASSERT_TRUE(zeros.ok());
    EXPECT_EQ(zeros.records[0].IconName(), "icon");
    EXPECT_EQ(zeros.records[0].LastPart(), "tail");
}

TEST(ClipboardText, AcceptsWhatTheFormatAllows) {
    struct Case {
        std::string text;
        std::size_t records;
    };
    const Case cases[] = {
        {kHead + "0\r\n", 0},
        {kHead + "0\r\ntrailing piece", 0},
        {"IFII Equipment Editor - by Varnek 2\r\nanything\r\n0\r\n", 0},
        {withLine(3, "1 record"), 1},
        {withLine(3, "1.0"), 1},
        {withLine(4, "17 Panzer"), 1},    // EqCode reads its leading number
        {withLine(5, ""), 1},             // an empty name
        {withLine(6, "30"), 1},           // a class without a word
        {withLine(7, "x"), 1},            // SoftAttack: no number reads 0
        {withLine(9, " 9 "), 1},          // AirAttack: blanks around
        {withLine(25, "1,200"), 1},       // PrestigeCost with grouping
        {withLine(31, "7.5"), 1},         // YearAvail rounds to even 8
        {withLine(34, "&H7FFFFFFF"), 1},  // Country
        {withLine(10, "254.5"), 1},       // NavalAttack rounds to even 254
        // IconName: no CR LF even with its zeros left out
        {withLine(39, std::string("a\r\0b\n\r", 6)), 1},
    };
    for (const auto& c : cases) {
        auto decoded = DecodeClipboardText(c.text);
        EXPECT_TRUE(decoded.ok()) << decoded.error << " at " << decoded.line << " in " << c.text;
        EXPECT_EQ(decoded.records.size(), c.records);
    }
    EXPECT_EQ(DecodeClipboardText(withLine(4, "17 Panzer")).records[0].EqCode(), 17);
    EXPECT_EQ(DecodeClipboardText(withLine(31, "7.5")).records[0].YearAvail(), 8);
    EXPECT_EQ(DecodeClipboardText(withLine(25, "1,200")).records[0].PrestigeCost(), 1200);
    EXPECT_EQ(DecodeClipboardText(withLine(10, "254.5")).records[0].NavalAttack(), 254);
    EXPECT_EQ(DecodeClipboardText(withLine(6, "30")).records[0].EqClass(), 30);
}

TEST(ClipboardText, RefusesTheWholeTextAndSaysWhere) {
    struct Case {
        std::string text;
        int line;
    };
    const std::string one = EncodeClipboardText(refs({sample(1)}));
    const Case cases[] = {
        {"", 1},
        {"Equipment Info for\r\n0\r\n", 1},
        {"ifii equipment editor - by varnek\r\nEquipment Info for\r\n0\r\n", 1},
        {"IFII Equipment Editor - by Varne", 1},
        {"IFII Equipment Editor - by Varnek", 1},
        {kHead, 3},
        {kHead + "0", 3},
        {one.substr(0, one.size() - 2), 0},  // lost its final CR LF
        {one + "\r\n", 0},                   // an extra line
        {withLine(3, "2"), 0},
        {withLine(3, "-1"), 3},
        {withLine(3, "0.5"), 3},
        {withLine(3, "1.5"), 3},
        {withLine(3, "99999999999999999999999"), 3},
        {withLine(6, "256"), 6},  // EqClass
        {withLine(7, "-1"), 7},   // SoftAttack
        {withLine(8, "256"), 8},  // AirAttack
        {withLine(9, "12 tanks"), 9},
        {withLine(9, ""), 9},
        {withLine(4, "2147483648"), 4},  // EqCode
        {withLine(25, "lots"), 25},      // PrestigeCost
        {withLine(25, "2147483648"), 25},
        {withLine(31, "1E3"), 31},  // YearAvail
        {withLine(42, "x"), 42},
        {withLine(39, std::string("a\r\0\nb", 5)), 39},  // IconName: a CR LF once zeros go
        {withLine(43, std::string("\r\0\0\n", 4)), 43},  // LastPart    // DeathSound
    };
    for (const auto& c : cases) {
        auto decoded = DecodeClipboardText(c.text);
        EXPECT_FALSE(decoded.ok()) << c.text;
        EXPECT_FALSE(decoded.error.empty());
        EXPECT_TRUE(decoded.records.empty());
        EXPECT_EQ(decoded.line, c.line) << decoded.error << " in " << c.text;
    }
}

// Whatever FieldSplitByCopy finds is exactly what makes a paste of the copy fail.
TEST(ClipboardText, SplitByCopyPredictsThePasteRefusal) {
    const int icon = static_cast<int>(Field::IconName);
    const int tail = static_cast<int>(Field::LastPart);
    const struct {
        int field;
        std::string text;
        int expected;
    } cases[] = {
        {icon, std::string("a\r\0\nb", 5), icon},
        {tail, "\r\n", tail},
        {tail, std::string("\r\0\0\n", 4), tail},
        {tail, "\n\r", -1},
        {tail, "lone\rcr", -1},
        {icon, "lone\nlf", -1},
        {tail, std::string("\r\0x\n", 4), -1},
    };
    for (const auto& c : cases) {
        Equipment e = sample(2);
        e.setText(c.field, c.text);
        EXPECT_EQ(FieldSplitByCopy(e), c.expected) << fieldName(c.field);
        auto decoded = DecodeClipboardText(EncodeClipboardText(refs({e})));
        EXPECT_EQ(decoded.ok(), c.expected < 0) << decoded.error;
    }
}
