#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "model/Equipments.h"
#include "model/WidestTexts.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

Equipment record(Long code, const char* name, Long cost, Long country) {
    Equipment e;
    e.setEqCode(code);
    e.setEqName(name);
    e.setPrestigeCost(cost);
    e.setCountry(country);
    return e;
}

TEST(LongestFieldTexts, TheLongestDistinctTextsOfAColumnLongestFirst) {
    InitLookupTables();
    Equipments list;
    list.Add(record(5, "Tiger", 2400, 0));
    list.Add(record(32747, "Panzer IV Ausf. H", 90, 25));
    list.Add(record(-12, "Panzer IV Ausf. G", 2400, 300));
    list.Add(record(100, "Panzer IV Ausf. H", 7, 1));
    const int code = static_cast<int>(Field::EqCode), name = static_cast<int>(Field::EqName),
              cost = static_cast<int>(Field::PrestigeCost),
              country = static_cast<int>(Field::Country);
    struct Case {
        int field;
        std::int32_t first, last;
        std::size_t keep;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {code, 1, 4, 1, {"32747"}},
        {code, 1, 4, 3, {"32747", "100", "-12"}},
        {code, 1, 1, 3, {"5"}},                                       // a range of one record
        {code, 3, 4, 2, {"100", "-12"}},                              // a later range only
        {name, 1, 4, 2, {"Panzer IV Ausf. H", "Panzer IV Ausf. G"}},  // no two alike
        {cost, 1, 4, 4, {"2400", "90", "7"}},
        {code, 4, 1, 3, {}},  // an empty range
        {code, 1, 4, 0, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> got = LongestFieldTexts(list, c.first, c.last, c.keep)[c.field];
        EXPECT_EQ(got, c.expected) << "field " << c.field << " " << c.first << ".." << c.last;
    }
    // Coded fields give their words; a code without one gives its number.
    const std::string& longestWord =
        std::max({CountryNames[0], CountryNames[1], CountryNames[25]},
                 [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
    EXPECT_EQ(LongestFieldTexts(list, 1, 4, 1)[country][0].size(), longestWord.size());
    EXPECT_EQ(LongestFieldTexts(list, 3, 3, 1)[country], std::vector<std::string>{"300"});
}

}  // namespace
}  // namespace kestrel

namespace kestrel {
namespace {

// In a proportional font a shorter text can be the wider one.
TEST(LongestFieldTexts, GivenByteWidthsTheWidestTextsComeFirst) {
    Equipments list;
    for (const char* name : {"iiiiiiiiii", "WWWW", "Bomber B17", "llllllllllll"}) {
        Equipment e;
        e.setEqName(name);
        list.Add(e);
    }
    ByteWidths widths;
    widths.fill(6);
    widths['i'] = widths['l'] = 2;
    widths['W'] = 11;
    const int name = static_cast<int>(Field::EqName);
    EXPECT_EQ(LongestFieldTexts(list, 1, 4, 2, &widths)[name],
              (std::vector<std::string>{"Bomber B17", "WWWW"}));
    EXPECT_EQ(LongestFieldTexts(list, 1, 4, 2)[name],
              (std::vector<std::string>{"llllllllllll", "iiiiiiiiii"}));
}

}  // namespace
}  // namespace kestrel

#include <random>

#include "model/FieldText.h"
#include "support/SamplePairs.h"

namespace kestrel {
namespace {

// Every field is walked in the same pass: each column's widest text is the
// widest of its cells, and every text given is one of that column's cells.
TEST(LongestFieldTexts, EachFieldGetsItsOwnColumnsTexts) {
    InitLookupTables();
    std::mt19937 random(23);
    Equipments list;
    for (int k = 0; k < 200; ++k)
        list.Add(RandomEquipment(random));
    const std::vector<std::vector<std::string>> widest = LongestFieldTexts(list, 1, 200, 3);
    ASSERT_EQ(widest.size(), static_cast<std::size_t>(kFieldCount));
    for (int field = 0; field < kFieldCount; ++field) {
        SCOPED_TRACE(fieldName(field));
        std::vector<std::string> cells;
        std::size_t longest = 0;
        for (std::int32_t i = 1; i <= list.Count(); ++i) {
            cells.push_back(FieldValueText(*list.Item(i), field));
            longest = std::max(longest, cells.back().size());
        }
        const std::vector<std::string>& got = widest[static_cast<std::size_t>(field)];
        ASSERT_FALSE(got.empty());
        EXPECT_EQ(got.front().size(), longest);
        for (const std::string& text : got)
            EXPECT_NE(std::find(cells.begin(), cells.end(), text), cells.end()) << text;
        // One field walked alone gives what the walk of all gives it.
        EXPECT_EQ(LongestFieldTexts(list, field, 1, 200, 3), got);
        EXPECT_EQ(LongestFieldTexts(list, field, 50, 120, 2),
                  LongestFieldTexts(list, 50, 120, 2)[static_cast<std::size_t>(field)]);
    }
}

// Numbers of every length, a sign among them: the kept texts are as long
// as the longest distinct ones a plain count finds, and the one field walked
// alone keeps the same as all fields walked at once.
TEST(LongestFieldTexts, NumbersOfEveryLengthAgainstAPlainCount) {
    std::mt19937 random(97);
    const int code = static_cast<int>(Field::EqCode);
    const int cost = static_cast<int>(Field::PrestigeCost);
    for (int round = 0; round < 40; ++round) {
        Equipments list;
        std::vector<Long> costs;
        const int n = 1 + static_cast<int>(random() % 300);
        for (int k = 0; k < n; ++k) {
            // Spread over lengths: a power of ten picked first.
            const int digits = static_cast<int>(random() % 10);
            Long v = static_cast<Long>(random() % 1000000000u);
            for (int d = digits; d < 9; ++d)
                v /= 10;
            if (random() % 3 == 0)
                v = -v;
            costs.push_back(v);
            list.Add(record(k, "x", v, 0));
        }
        const std::size_t keep = 1 + random() % 6;
        std::vector<std::size_t> lengths;
        std::sort(costs.begin(), costs.end());
        costs.erase(std::unique(costs.begin(), costs.end()), costs.end());
        for (Long v : costs)
            lengths.push_back(std::to_string(v).size());
        std::sort(lengths.rbegin(), lengths.rend());
        lengths.resize(std::min(keep, lengths.size()));
        const std::vector<std::string> got = LongestFieldTexts(list, 1, n, keep)[cost];
        std::vector<std::size_t> gotLengths;
        for (const std::string& text : got)
            gotLengths.push_back(text.size());
        EXPECT_EQ(gotLengths, lengths) << "round " << round;
        EXPECT_EQ(LongestFieldTexts(list, cost, 1, n, keep), got) << "round " << round;
        EXPECT_EQ(LongestFieldTexts(list, code, 1, n, keep),
                  LongestFieldTexts(list, 1, n, keep)[code]);
    }
}

}  // namespace
}  // namespace kestrel
