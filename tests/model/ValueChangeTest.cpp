#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/ValueChange.h"

using namespace kestrel;

namespace {

constexpr int kSA = static_cast<int>(Field::SoftAttack);
constexpr int kCo = static_cast<int>(Field::Country);
constexpr int kUS = static_cast<int>(Field::UnitSpecial);
constexpr int kP = static_cast<int>(Field::PrestigeCost);
constexpr int kIcon = static_cast<int>(Field::IconName);

// Records 1 to 4 with soft attack 0, 15, 25 and 250, unit special 5.
Equipments list() {
    Equipments out;
    int i = 0;
    for (int sa : {0, 15, 25, 250}) {
        Equipment e;
        e.setEqName("Unit " + std::to_string(++i));
        e.setSoftAttack(static_cast<Byte>(sa));
        e.setUnitSpecial(5);
        e.setPrestigeCost(120);
        out.Add(e);
    }
    return out;
}

TEST(ValueChange, ValuesAndRelativeChangesGiveEachRecordItsResult) {
    const Equipments records = list();
    struct Case {
        int field;
        const char* text;
        BitMode bits;
        std::vector<std::int64_t> results;  // of positions 2 to 4
    } cases[] = {
        {kSA, "7", BitMode::None, {7, 7, 7}},
        {kSA, " 7 ", BitMode::None, {7, 7, 7}},
        {kSA, "+5", BitMode::None, {20, 30, 255}},
        {kSA, "-15", BitMode::None, {0, 10, 235}},
        {kSA, "*0,5", BitMode::None, {8, 12, 125}},  // 7.5 to 8, 12.5 to 12
        {kCo, "Italy", BitMode::None, {12, 12, 12}},
        {kCo, "united kingdom", BitMode::None, {22, 22, 22}},
        {kCo, "3", BitMode::None, {3, 3, 3}},
        {kUS, "2", BitMode::Set, {7, 7, 7}},
        {kUS, "3", BitMode::Clear, {1, 1, 1}},
        {kUS, "1", BitMode::Set, {5, 5, 5}},
        {kP, "*2", BitMode::None, {240, 240, 240}},
    };
    for (const Case& c : cases) {
        ValueChangeRead read = ReadValueChange(c.field, c.text, c.bits);
        ASSERT_TRUE(read.ok()) << c.text << ": " << read.error;
        BulkResult result = ApplyValueChange(read.change, records, {1, 2, 3, 4});
        ASSERT_TRUE(result.ok()) << c.text << ": " << result.error;
        std::vector<std::int64_t> got;
        for (const auto& [position, value] : result.values) {
            EXPECT_NE(position, 1) << c.text;  // the first record is never changed
            got.push_back(value);
        }
        EXPECT_EQ(got, c.results) << c.text;
    }
    // 15 * 1.1 and 25 * 1.1 are halves: exactly, not as binary fractions.
    ValueChangeRead scale = ReadValueChange(kSA, "*1.1");
    BulkResult halves = ApplyValueChange(scale.change, records, {2, 3});
    ASSERT_TRUE(halves.ok());
    EXPECT_EQ(halves.values[0].second, 16);
    EXPECT_EQ(halves.values[1].second, 28);
}

TEST(ValueChange, RefusalsNameTheReasonAndTheFirstFailingRecord) {
    const Equipments records = list();
    struct Case {
        int field;
        const char* text;
        BitMode bits;
        const char* reason;
    } cases[] = {
        {kSA, "256", BitMode::None, "256 is outside what SoftAttack can hold. SA takes 0 to 255."},
        {kSA, "ten", BitMode::None, "not a whole number for SoftAttack"},
        {kSA, "", BitMode::None, "Type a value"},
        {kSA, "+x", BitMode::None, "not a change by a whole number"},
        {kSA, "*-1", BitMode::None, "not a factor"},
        {kCo, "Atlantis", BitMode::None, "not a word or code of Country"},
        {kCo, "26", BitMode::None,
         "outside what Country can hold. Co takes 0 to 25, or one of its words."},
        {kUS, "17", BitMode::Set, "bit number from 1 to 16"},
        {kIcon, "toolong", BitMode::None, "longer than the 6 characters"},
        {static_cast<int>(Field::EqName), "x", BitMode::None, "cannot be set"},
    };
    for (const Case& c : cases) {
        ValueChangeRead read = ReadValueChange(c.field, c.text, c.bits);
        EXPECT_FALSE(read.ok()) << c.text;
        EXPECT_NE(read.error.find(c.reason), std::string::npos) << c.text << ": " << read.error;
    }
    // Results a record cannot hold: the first such record is named.
    struct Apply {
        int field;
        const char* text;
        BitMode bits;
        const char* reason;
    } applies[] = {
        {kSA, "+6", BitMode::None,
         "256 on record 4 \"Unit 4\". Nothing was changed. SA takes 0 to 255."},
        {kSA, "-16", BitMode::None, "-1 on record 2 \"Unit 2\""},
        {kUS, "16", BitMode::Set, "32773 on record 2"},
    };
    for (const Apply& a : applies) {
        ValueChangeRead read = ReadValueChange(a.field, a.text, a.bits);
        ASSERT_TRUE(read.ok()) << a.text;
        BulkResult result = ApplyValueChange(read.change, records, {1, 2, 3, 4});
        EXPECT_FALSE(result.ok()) << a.text;
        EXPECT_TRUE(result.values.empty()) << a.text;
        EXPECT_NE(result.error.find(a.reason), std::string::npos) << a.text << ": " << result.error;
    }
}

}  // namespace
