#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "model/EquipmentComparison.h"
#include "model/FieldText.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

// "5 7:3 9:3:Tiger" is three records: code 5; code 7 with SoftAttack 3;
// code 9 with SoftAttack 3 and the name Tiger.
Equipments listOf(const std::string& info) {
    Equipments list;
    std::istringstream in(info);
    std::string token;
    while (in >> token) {
        Equipment e;
        std::istringstream parts(token);
        std::string part;
        std::getline(parts, part, ':');
        e.setEqCode(std::stoi(part));
        if (std::getline(parts, part, ':'))
            e.setSoftAttack(static_cast<Byte>(std::stoi(part)));
        if (std::getline(parts, part, ':'))
            e.setEqName(part);
        list.Add(e);
    }
    return list;
}

// "~1/2[SA]" a changed pair (first list position 1, second 2), "-3" only in
// the first list at 3, "+4" only in the second at 4; then "dup 7:1,2/3" for
// each duplicated code with its positions in both lists.
std::string summary(const EquipmentComparison& c) {
    std::string s;
    for (const auto& d : c.differences) {
        if (!s.empty())
            s += ' ';
        switch (d.kind) {
            case DifferenceKind::Changed: {
                s += "~" + std::to_string(d.first) + "/" + std::to_string(d.second) + "[";
                const char* sep = "";
                for (int f = 0; f < kFieldCount; ++f) {
                    if (d.fields & fieldBit(f)) {
                        s += sep;
                        s += FieldLabel(f);
                        sep = ",";
                    }
                }
                s += "]";
                break;
            }
            case DifferenceKind::OnlyInFirst:
                s += "-" + std::to_string(d.first);
                break;
            case DifferenceKind::OnlyInSecond:
                s += "+" + std::to_string(d.second);
                break;
        }
    }
    for (const auto& d : c.duplicates) {
        s += " dup " + std::to_string(d.code) + ":";
        for (std::size_t k = 0; k < d.first.size(); ++k)
            s += (k ? "," : "") + std::to_string(d.first[k]);
        s += "/";
        for (std::size_t k = 0; k < d.second.size(); ++k)
            s += (k ? "," : "") + std::to_string(d.second[k]);
    }
    return s;
}

TEST(EquipmentComparison, MatchesAndReportsEachKindOfDifference) {
    const FieldMask saOnly = fieldBit(static_cast<int>(Field::SoftAttack));
    const struct {
        const char* what;
        const char* first;
        const char* second;
        MatchBy by;
        FieldMask fields;
        const char* expected;
        int same;
    } cases[] = {
        {"both empty", "", "", MatchBy::Code, kAllFields, "", 0},
        {"equal lists", "1:2 3:4", "1:2 3:4", MatchBy::Code, kAllFields, "", 2},
        {"one field changed", "1 2:5", "1 2:6", MatchBy::Code, kAllFields, "~2/2[SA]", 1},
        {"two fields changed", "1:5:Tiger", "1:6:Panther", MatchBy::Code, kAllFields,
         "~1/1[Name,SA]", 0},
        {"only in the first", "1 2 3", "1 3", MatchBy::Code, kAllFields, "-2", 2},
        {"only in the second, listed last", "1 3", "4 1 3", MatchBy::Code, kAllFields, "+1", 2},
        {"moved records match by code", "1:1 2:2 3:3", "3:3 1:1 2:9", MatchBy::Code, kAllFields,
         "~2/3[SA]", 2},
        {"moved records differ by position", "1 2", "2 1", MatchBy::Position, kAllFields,
         "~1/1[N] ~2/2[N]", 0},
        {"longer first list by position", "1 2 3", "1 2", MatchBy::Position, kAllFields, "-3", 2},
        {"longer second list by position", "1", "1 2 3", MatchBy::Position, kAllFields, "+2 +3", 1},
        {"duplicates pair in list order", "7:1 7:2", "7:1 7:3", MatchBy::Code, kAllFields,
         "~2/2[SA] dup 7:1,2/1,2", 1},
        {"a surplus duplicate is unmatched", "7:1 5 7:2 7:3", "7:1 7:2", MatchBy::Code, kAllFields,
         "-2 -4 dup 7:1,3,4/1,2", 2},
        {"duplicate only in the second", "7", "7 7", MatchBy::Code, kAllFields, "+2 dup 7:1/1,2",
         1},
        {"no duplicates reported by position", "7 7", "7 7", MatchBy::Position, kAllFields, "", 2},
        {"negative and large codes", "-5 40000", "40000:1 -5", MatchBy::Code, kAllFields,
         "~2/1[SA]", 1},
        {"other fields are ignored", "1:5:Tiger", "1:6:Panther", MatchBy::Code, saOnly, "~1/1[SA]",
         0},
        {"a change outside the fields is the same", "1:5:Tiger", "1:5:Panther", MatchBy::Code,
         saOnly, "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto result = CompareEquipments(listOf(c.first), listOf(c.second), c.by, c.fields);
        EXPECT_EQ(summary(result), c.expected);
        EXPECT_EQ(result.same, c.same);
        EXPECT_EQ(result.identical(),
                  std::string(c.expected).rfind("dup", 0) == 0 || std::string(c.expected).empty());
        EXPECT_EQ(result.by, c.by);
    }
}

// Every field, of each kind, is seen as changed alone, and taking it across
// makes the pair equal again.
TEST(EquipmentComparison, EachFieldIsComparedAndTakenOnItsOwn) {
    std::mt19937 random(15);
    for (int f = 0; f < kFieldCount; ++f) {
        SCOPED_TRACE(fieldName(f));
        Equipment a = RandomEquipment(random);
        Equipment b = a;
        if (fieldKind(f) == FieldKind::Text)
            b.setText(f, a.text(f) + "x");
        else
            b.setNumber(f, a.number(f) + 1);
        EXPECT_EQ(ChangedFields(a, b), fieldBit(f));
        EXPECT_EQ(ChangedFields(a, b, kAllFields & ~fieldBit(f)), 0u);

        Equipment taken = a;
        TakeFields(taken, b, kAllFields & ~fieldBit(f));
        EXPECT_EQ(taken, a) << "fields outside the set stay";
        TakeFields(taken, b, fieldBit(f));
        EXPECT_EQ(taken, b);
    }
}

// Taking every changed field of every changed pair turns the first list into
// the second wherever they were matched.
TEST(EquipmentComparison, TakingTheChangesLeavesOnlyUnmatchedRecords) {
    std::mt19937 random(7);
    Equipments first, second;
    for (int i = 0; i < 200; ++i) {
        Equipment e = RandomEquipment(random);
        e.setEqCode(i % 150);  // some codes twice
        first.Add(e);
        if (i % 5 == 0)
            e.setHardAttack(static_cast<Byte>(e.HardAttack() + 1));
        if (i % 7 == 0)
            e.setEqName(e.EqName() + "!");
        if (i % 11 != 0)
            second.Add(e);
    }
    auto before = CompareEquipments(first, second);
    ASSERT_FALSE(before.identical());
    for (const auto& d : before.differences) {
        if (d.kind == DifferenceKind::Changed)
            TakeFields(*first.Item(d.first), *second.Item(d.second), d.fields);
    }
    auto after = CompareEquipments(first, second);
    for (const auto& d : after.differences)
        EXPECT_EQ(d.kind, DifferenceKind::OnlyInFirst) << d.first;
    EXPECT_EQ(after.same, second.Count());
    EXPECT_EQ(after.differences.size(), static_cast<std::size_t>(first.Count() - second.Count()));
}

TEST(FieldText, NamesAndValues) {
    InitLookupTables();
    const struct {
        const char* word;
        std::vector<int> fields;
    } names[] = {
        {"SA", {static_cast<int>(Field::SoftAttack)}},
        {"sa", {static_cast<int>(Field::SoftAttack)}},
        {"SoftAttack", {static_cast<int>(Field::SoftAttack)}},
        {"Co", {static_cast<int>(Field::Country)}},
        {"N", {static_cast<int>(Field::EqCode)}},
        {"Name", {static_cast<int>(Field::EqName)}},
        {"Unknown", {static_cast<int>(Field::LastPart)}},
        {"Unk3", {static_cast<int>(Field::Unk3)}},
        {"U",
         {static_cast<int>(Field::Unk0), static_cast<int>(Field::Unk1),
          static_cast<int>(Field::Unk2), static_cast<int>(Field::Unk3),
          static_cast<int>(Field::Unk4), static_cast<int>(Field::Unk5),
          static_cast<int>(Field::Unk6), static_cast<int>(Field::Unk7)}},
        {"Tiger", {}},
        {"", {}},
    };
    for (const auto& n : names)
        EXPECT_EQ(FieldsNamed(n.word), n.fields) << n.word;
    for (int f = 0; f < kFieldCount; ++f) {
        EXPECT_EQ(FieldsNamed(FieldLabel(f)), std::vector<int>{f})
            << "a label names its one field: " << FieldLabel(f);
    }

    Equipment e;
    e.setCountry(7);
    e.setEqClass(200);
    e.setPrestigeCost(-12);
    e.setIconName("ic");
    EXPECT_EQ(FieldValueText(e, static_cast<int>(Field::Country)), CountryNames[7]);
    EXPECT_EQ(FieldValueText(e, static_cast<int>(Field::EqClass)), "200");
    EXPECT_EQ(FieldValueText(e, static_cast<int>(Field::PrestigeCost)), "-12");
    EXPECT_EQ(FieldValueText(e, static_cast<int>(Field::IconName)), "ic");
}

}  // namespace
}  // namespace kestrel
