#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "model/SelectionStatistics.h"
#include "text/CodePage.h"
#include "vocabulary/LookupTables.h"

using namespace kestrel;

namespace {

constexpr int SA = static_cast<int>(Field::SoftAttack);
constexpr int P = static_cast<int>(Field::PrestigeCost);
constexpr int CL = static_cast<int>(Field::EqClass);

std::string utf8(const ColumnStatistics& s) {
    return CodePageToUtf8(StatisticsText(s));
}

Equipments listOfSoftAttacks(const std::vector<int>& values) {
    Equipments list;
    for (int v : values) {
        Equipment e = FreshEquipment();
        e.setSoftAttack(static_cast<Byte>(v));
        list.Add(e);
    }
    return list;
}

TEST(SelectionStatisticsTest, TheStatusBarLine) {
    InitLookupTables();
    const Equipments twelve =
        listOfSoftAttacks({40, 118, 118, 118, 118, 123, 255, 118, 118, 118, 118, 118});
    std::vector<Long> all(12);
    for (Long p = 1; p <= 12; ++p)
        all[static_cast<std::size_t>(p - 1)] = p;

    Equipments classes;
    for (int c : {2, 2, 1, 10, 2, 1, 14, 200}) {
        Equipment e = FreshEquipment();
        e.setEqClass(static_cast<Byte>(c));
        e.setPrestigeCost(-12 * c);
        classes.Add(e);
    }
    const std::string tank = ClassNames[2], infantry = ClassNames[1];
    struct Case {
        const char* what;
        const Equipments* list;
        std::vector<Long> selected;
        int field;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"numbers", &twelve, all, SA, "12 selected · SA sum 1,480 · mean 123.3 · min 40 · max 255"},
        {"a mean with a tenth",
         &twelve,
         {1, 7},
         SA,
         "2 selected · SA sum 295 · mean 147.5 · min 40 · max 255"},
        {"one record", &twelve, {2}, SA, "1 selected · SA sum 118 · mean 118 · min 118 · max 118"},
        {"negative numbers",
         &classes,
         {1, 3},
         P,
         "2 selected · P sum -36 · mean -18 · min -24 · max -12"},
        {"words, more than three",
         &classes,
         {1, 2, 3, 4, 5, 6, 7, 8},
         CL,
         "8 selected · CL " + tank + " 3 · " + infantry + " 2 · " + ClassNames[10] + " 1 · …"},
        {"words, three, ties in code order",
         &classes,
         {1, 3, 8},
         CL,
         "3 selected · CL " + infantry + " 1 · " + tank + " 1 · 200 1"},
        {"text column", &twelve, {1, 2}, static_cast<int>(Field::EqName), "2 selected"},
        {"no column", &twelve, {1, 2, 3}, -1, "3 selected"},
        {"nothing selected", &twelve, {}, SA, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(utf8(StatisticsOf(*c.list, c.selected, c.field)), c.text) << c.what;
}

// Random lists, selections and filters against sums worked out plainly over
// the selected records the filter shows.
TEST(SelectionStatisticsTest, AgreeWithAPlainComputationAcrossAFilter) {
    InitLookupTables();
    std::mt19937 random(26);
    const std::vector<std::string> filters = {"", "SA>=100", "CL=Tank", "P<0", "Co!=7 SA<200"};
    for (int round = 0; round < 20; ++round) {
        Equipments list;
        const int n = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < n; ++i) {
            Equipment e = FreshEquipment();
            e.setSoftAttack(static_cast<Byte>(random() % 256));
            e.setPrestigeCost(12 * static_cast<int>(random() % 300) - 12);
            e.setEqClass(static_cast<Byte>(random() % 5));
            e.setCountry(static_cast<Long>(random() % 10));
            list.Add(e);
        }
        std::vector<Long> selected;
        for (Long p = 1; p <= n; ++p) {
            if (random() % 3 != 0)
                selected.push_back(p);
        }
        std::shuffle(selected.begin(), selected.end(), random);
        for (const std::string& terms : filters) {
            const FilterParse parse = ParseFilter(terms);
            ASSERT_TRUE(parse.ok());
            for (int field : {SA, P, CL}) {
                std::int64_t sum = 0, min = INT64_MAX, max = INT64_MIN;
                std::size_t count = 0;
                std::map<std::string, int> words;
                for (Long p : selected) {
                    const Equipment& e = *list.Item(p);
                    if (!parse.filter.Matches(e))
                        continue;
                    ++count;
                    sum += e.number(field);
                    min = std::min(min, e.number(field));
                    max = std::max(max, e.number(field));
                    ++words[FieldValueText(e, field)];
                }
                const ColumnStatistics s = StatisticsOf(list, selected, field, &parse.filter);
                SCOPED_TRACE(terms + " field " + std::to_string(field));
                ASSERT_EQ(s.count, count);
                if (field == CL) {
                    EXPECT_FALSE(s.numbers);
                    std::map<std::string, int> got(s.words.begin(), s.words.end());
                    EXPECT_EQ(got, words);
                    EXPECT_TRUE(std::is_sorted(
                        s.words.begin(), s.words.end(),
                        [](const auto& a, const auto& b) { return a.second > b.second; }));
                } else if (count > 0) {
                    EXPECT_TRUE(s.numbers);
                    EXPECT_EQ(s.sum, sum);
                    EXPECT_EQ(s.min, min);
                    EXPECT_EQ(s.max, max);
                    EXPECT_DOUBLE_EQ(s.mean, static_cast<double>(sum) / count);
                }
            }
        }
    }
}

}  // namespace
