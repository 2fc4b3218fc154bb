#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "check/Problem.h"
#include "model/Chart.h"
#include "model/ChartSvg.h"
#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "support/XmlCheck.h"
#include "text/CodePage.h"
#include "vocabulary/LookupTables.h"

using namespace kestrel;

namespace {

constexpr int SA = static_cast<int>(Field::SoftAttack);
constexpr int P = static_cast<int>(Field::PrestigeCost);
constexpr int CL = static_cast<int>(Field::EqClass);
constexpr int CO = static_cast<int>(Field::Country);
constexpr int YA = static_cast<int>(Field::YearAvail);

// A record for each (class, SA, P); codes 1, 2, 3, ...
Equipments listOf(const std::vector<std::array<int, 3>>& rows) {
    Equipments list;
    int code = 0;
    for (const auto& [eqClass, sa, cost] : rows) {
        Equipment e = FreshEquipment();
        e.setEqCode(++code);
        e.setEqName("Unit " + std::to_string(code));
        e.setEqClass(static_cast<Byte>(eqClass));
        e.setSoftAttack(static_cast<Byte>(sa));
        e.setPrestigeCost(cost);
        list.Add(e);
    }
    return list;
}

std::vector<Long> all(const Equipments& list) {
    std::vector<Long> positions;
    for (Long p = 1; p <= list.Count(); ++p)
        positions.push_back(p);
    return positions;
}

std::vector<std::string> labels(const ChartAxis& axis) {
    std::vector<std::string> out;
    for (const ChartTick& t : axis.ticks)
        out.push_back(t.label);
    return out;
}

struct Strip {
    std::string word;
    int count;
    double mean;
};

TEST(ChartTest, PointsTicksAndStripsOfSmallLists) {
    InitLookupTables();
    struct Case {
        const char* what;
        std::vector<std::array<int, 3>> rows;  // class, SA, P
        int x, y;
        std::vector<std::string> xTicks, yTicks;
        std::vector<std::pair<double, double>> points;
        std::vector<Strip> strips;
        std::vector<int> together;
    };
    const std::string tank = ClassNames[2], infantry = ClassNames[1];
    const std::vector<Case> cases = {
        {"numbers",
         {{1, 10, 120}, {1, 40, 240}, {2, 255, 3060}},
         SA,
         P,
         {"0", "50", "100", "150", "200", "250", "300"},
         {"0", "500", "1,000", "1,500", "2,000", "2,500", "3,000", "3,500"},
         {{10, 120}, {40, 240}, {255, 3060}},
         {},
         {1, 1, 1}},
        {"negative costs",
         {{1, 3, -12}, {1, 4, 0}, {1, 9, 48}},
         SA,
         P,
         {"3", "4", "5", "6", "7", "8", "9"},
         {"-20", "-10", "0", "10", "20", "30", "40", "50"},
         {{3, -12}, {4, 0}, {9, 48}},
         {},
         {1, 1, 1}},
        {"one record",
         {{1, 7, 120}},
         SA,
         P,
         {"6", "7", "8"},
         {"119", "120", "121"},
         {{7, 120}},
         {},
         {1}},
        {"no record", {}, SA, P, {"0", "1"}, {"0", "1"}, {}, {}, {}},
        {"every record equal",
         {{1, 5, 60}, {1, 5, 60}, {1, 5, 60}},
         SA,
         P,
         {"4", "5", "6"},
         {"59", "60", "61"},
         {{5, 60}, {5, 60}, {5, 60}},
         {},
         {3, 3, 3}},
        // Three tanks spread across their strip in list order, the one
        // infantry in the middle of its own; the code with no word last.
        {"coded X",
         {{2, 10, 0}, {1, 20, 0}, {2, 30, 0}, {2, 50, 0}, {200, 8, 0}},
         CL,
         SA,
         {infantry, tank, "200"},
         {"0", "10", "20", "30", "40", "50"},
         {{1 - 0.4 + 0.8 / 6, 10}, {0, 20}, {1, 30}, {1 + 0.4 - 0.8 / 6, 50}, {2, 8}},
         {{infantry, 1, 20}, {tank, 3, 30}, {"200", 1, 8}},
         {1, 1, 1, 1, 1}},
        {"coded X, no record", {}, CL, SA, {}, {"0", "1"}, {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Equipments list = listOf(c.rows);
        const Chart chart = DescribeChart(list, all(list), c.x, c.y);
        EXPECT_EQ(labels(chart.x), c.xTicks);
        EXPECT_EQ(labels(chart.y), c.yTicks);
        EXPECT_LE(chart.x.low, chart.x.ticks.empty() ? 0 : chart.x.ticks.front().at);
        ASSERT_EQ(chart.points.size(), c.points.size());
        for (std::size_t i = 0; i < c.points.size(); ++i) {
            EXPECT_EQ(chart.points[i].record, static_cast<Long>(i + 1));
            EXPECT_NEAR(chart.points[i].x, c.points[i].first, 1e-9) << "point " << i;
            EXPECT_NEAR(chart.points[i].y, c.points[i].second, 1e-9) << "point " << i;
            EXPECT_EQ(chart.points[i].together, c.together[i]) << "point " << i;
            EXPECT_EQ(chart.points[i].colour, -1);
        }
        ASSERT_EQ(chart.strips.size(), c.strips.size());
        for (std::size_t s = 0; s < c.strips.size(); ++s) {
            EXPECT_EQ(chart.strips[s].word, c.strips[s].word);
            EXPECT_EQ(chart.strips[s].count, c.strips[s].count);
            EXPECT_DOUBLE_EQ(chart.strips[s].mean, c.strips[s].mean);
            EXPECT_EQ(chart.strips[s].at, static_cast<double>(s));
        }
    }
}

// Whatever the range, the ticks are whole, evenly stepped by 1, 2 or 5
// times a power of ten, at most eight, and reach past both ends.
TEST(ChartTest, TicksStayReadableOverAnyRange) {
    const std::vector<std::pair<int, int>> ranges = {
        {0, 0},     {0, 1},       {0, 9},         {0, 10},
        {1, 255},   {-6, 3065},   {-6, -6},       {-12, 12},
        {250, 255}, {39, 50},     {0, 32767},     {31999, 32767},
        {-1, 1},    {-3000, -10}, {0, 999999999}, {-2000000000, 2000000000}};
    for (const auto& [min, max] : ranges) {
        SCOPED_TRACE(std::to_string(min) + " to " + std::to_string(max));
        Equipments list;
        for (int v : {min, max}) {
            Equipment e;
            e.setPrestigeCost(v);
            list.Add(e);
        }
        const Chart chart = DescribeChart(list, all(list), P, P);
        const std::vector<ChartTick>& ticks = chart.x.ticks;
        ASSERT_GE(ticks.size(), 2u);
        EXPECT_LE(ticks.size(), 8u);
        EXPECT_LE(ticks.front().at, min);
        EXPECT_GE(ticks.back().at, max);
        if (min == max) {
            EXPECT_LT(ticks.front().at, min);  // the point is not on the frame
            EXPECT_GT(ticks.back().at, max);
        }
        const double step = ticks[1].at - ticks[0].at;
        double magnitude = std::pow(10.0, std::floor(std::log10(step)));
        const double leading = step / magnitude;
        EXPECT_TRUE(leading == 1 || leading == 2 || leading == 5) << step;
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            EXPECT_EQ(ticks[i].at, std::floor(ticks[i].at));
            if (i > 0) {
                EXPECT_EQ(ticks[i].at - ticks[i - 1].at, step);
            }
        }
        EXPECT_EQ(chart.x.low, ticks.front().at);
        EXPECT_EQ(chart.x.high, ticks.back().at);
    }
}

TEST(ChartTest, LegendGivesEachWordOrValueAColour) {
    InitLookupTables();
    struct Case {
        const char* what;
        int field;
        std::vector<int> values;
        std::vector<std::string> legend;  // label (count)
    };
    const std::vector<Case> cases = {
        {"words", CO, {7, 12, 7, 22}, {"Germany (2)", "Italy (1)", "United Kingdom (1)"}},
        // Nine countries: the seven most common keep a colour.
        {"more words than colours",
         CO,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 7, 8},
         {"Austria (1)", "Belguim (1)", "Bulgaria (1)", "Czechoslovakia (1)", "Denmark (1)",
          "Germany (2)", "Greece (2)", "other (2)"}},
        {"few numbers", YA, {40, 39, 40}, {"39 (1)", "40 (2)"}},
        {"many numbers",
         YA,
         {1, 3, 5, 7, 9, 11, 13, 15, 17, 39},
         {"0 to 4 (2)", "5 to 9 (3)", "10 to 14 (2)", "15 to 19 (2)", "35 to 39 (1)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Equipments list;
        for (int v : c.values) {
            Equipment e = FreshEquipment();
            e.setNumber(c.field, v);
            list.Add(e);
        }
        const Chart chart = DescribeChart(list, all(list), SA, P, c.field);
        std::vector<std::string> legend;
        std::set<std::uint32_t> colours;
        for (const ChartLegendEntry& entry : chart.legend) {
            legend.push_back(entry.label + " (" + std::to_string(entry.count) + ")");
            colours.insert(entry.rgb);
        }
        EXPECT_EQ(legend, c.legend);
        EXPECT_EQ(colours.size(), chart.legend.size());
        // Each point's entry is the one its value falls in.
        for (std::size_t i = 0; i < chart.points.size(); ++i) {
            const int entry = chart.points[i].colour;
            ASSERT_GE(entry, 0);
            const std::string& label = chart.legend[static_cast<std::size_t>(entry)].label;
            if (label == "other")
                continue;
            const std::string shown = FieldValueText(*list.Item(static_cast<Long>(i + 1)), c.field);
            const auto to = label.find(" to ");
            if (to == std::string::npos) {
                EXPECT_EQ(label, shown);
            } else {
                EXPECT_GE(std::stoi(shown), std::stoi(label.substr(0, to)));
                EXPECT_LE(std::stoi(shown), std::stoi(label.substr(to + 4)));
            }
        }
    }
}

TEST(ChartTest, FieldsAreNamedAsTheFilterNamesThem) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"SA", ""},
        {"softattack", ""},
        {"co", ""},
        {"XYZ", "\"XYZ\" is not a column."},
        {"U", "\"U\" names 8 columns; use Unk0 to Unk7."},
        {"Name", "\"Name\": EqName holds text; a chart takes numbers or words."},
        {"Icon", "\"Icon\": IconName holds text; a chart takes numbers or words."},
    };
    for (const auto& [word, error] : cases) {
        std::string said;
        const int field = ChartFieldNamed(word, said);
        EXPECT_EQ(said, error) << word;
        EXPECT_EQ(field >= 0, error.empty()) << word;
    }
    std::string said;
    EXPECT_EQ(ChartFieldNamed("Unk3", said), static_cast<int>(Field::Unk3));
}

TEST(ChartTest, NamesAtOneSpotStopAtTen) {
    Equipments list = listOf(std::vector<std::array<int, 3>>(12, {1, 1, 0}));
    std::vector<Long> positions = all(list);
    const std::string names = RecordNamesText(list, positions);
    EXPECT_EQ(names.substr(0, names.find('\n')), "record 1 (N 1, \"Unit 1\")");
    EXPECT_EQ(names.substr(names.rfind('\n') + 1), "and 2 more");
    EXPECT_EQ(std::count(names.begin(), names.end(), '\n'), 10);
    positions.resize(10);
    EXPECT_EQ(RecordNamesText(list, positions).find("more"), std::string::npos);
}

// Names that XML or the code page could trip on.
Equipments trickyList() {
    Equipments list;
    const std::vector<std::string> names = {"Tiger I",       "A & B <C>",     "\"quoted\"",
                                            "\xC9lan \x81x", "tab\there\x01", "]]> end"};
    int code = 300;
    for (const std::string& name : names) {
        Equipment e = FreshEquipment();
        e.setEqCode(code++);
        e.setEqName(name);
        e.setSoftAttack(static_cast<Byte>(code % 7));
        e.setPrestigeCost(code % 3 == 0 ? -12 : 120);
        e.setEqClass(static_cast<Byte>(code % 2 + 1));
        e.setCountry(code % 4);
        list.Add(e);
    }
    Equipment masked = FreshEquipment();
    masked.setUnknownMask({0x60, 0, 0, 1});
    list.Add(masked);
    return list;
}

TEST(ChartTest, SvgIsWellFormedWithOneTitledPointPerRecord) {
    InitLookupTables();
    const Equipments list = trickyList();
    struct Case {
        const char* what;
        std::vector<Long> shown;
        int x, y, colour;
    };
    const std::vector<Case> cases = {
        {"numbers", all(list), SA, P, -1},
        {"coded X, coloured", all(list), CL, P, CO},
        {"coded both", {2, 4, 7}, CO, CL, SA},
        {"no record", {}, CO, SA, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Chart chart = DescribeChart(list, c.shown, c.x, c.y, c.colour);
        const std::string svg = ChartSvg(chart, list);
        kestrel::testing::XmlReader reader;
        auto root = reader.read(svg);
        ASSERT_TRUE(root) << reader.error();
        EXPECT_EQ(root->name, "svg");
        std::vector<const kestrel::testing::XmlElement*> circles;
        root->collect("circle", circles);
        ASSERT_EQ(circles.size(), c.shown.size());
        for (std::size_t i = 0; i < circles.size(); ++i) {
            ASSERT_EQ(circles[i]->children.size(), 1u);
            const kestrel::testing::XmlElement& title = *circles[i]->children[0];
            EXPECT_EQ(title.name, "title");
            const Equipment& e = *list.Item(c.shown[i]);
            const std::string name = CodePageToUtf8(RecordName(c.shown[i], e.EqCode(), e.EqName()));
            EXPECT_EQ(title.text.substr(0, name.size() + 1), name + ":") << title.text;
        }
        // The legend names every entry the points use.
        std::vector<const kestrel::testing::XmlElement*> rects;
        root->collect("rect", rects);
        EXPECT_GE(rects.size(), 1 + chart.legend.size());
    }
}

TEST(ChartTest, SummaryNamesAxesAndCount) {
    InitLookupTables();
    const Equipments list = listOf({{2, 10, 120}, {1, 40, 240}});
    EXPECT_EQ(ChartSummary(DescribeChart(list, all(list), SA, P)),
              "X: SA (SoftAttack), 10 to 40. Y: P (PrestigeCost), 120 to 240. 2 points.");
    EXPECT_EQ(ChartSummary(DescribeChart(list, {1}, CL, SA, CO)),
              "X: CL (EqClass), 1 word. Y: SA (SoftAttack), 9 to 11. Colour: Co (Country). "
              "1 point.");
}

// A view works its chart out again in the same chart and scratch after
// every change: each time it must equal a chart worked out afresh, with the
// records of one pair of values counted as a plain tally counts them, also
// where the values span too many bits to be sorted packed in one word.
TEST(ChartTest, AChartWorkedOutAgainMatchesAFreshOne) {
    InitLookupTables();
    struct Case {
        int x, y, colour;
        std::int64_t costSpan;  // of the prestige costs drawn at random
    };
    const Case cases[] = {{P, SA, -1, 40},        {CL, SA, CO, 40}, {SA, CL, P, 4000},
                          {P, P, -1, 1LL << 32},  {P, SA, CL, 1},   {CL, CO, -1, 40},
                          {YA, P, SA, 1LL << 32}, {P, SA, -1, 40}};
    std::mt19937 random(26);
    Chart reused;
    ChartScratch scratch;
    for (const Case& c : cases) {
        SCOPED_TRACE("fields " + std::to_string(c.x) + ", " + std::to_string(c.y) + ", " +
                     std::to_string(c.colour) + "; costs over " + std::to_string(c.costSpan));
        Equipments list;
        const int n = 1 + static_cast<int>(random() % 700);
        for (int i = 1; i <= n; ++i) {
            Equipment e = FreshEquipment();
            e.setEqCode(i);
            e.setNumber(CL, random() % 5);
            e.setCountry(static_cast<Long>(random() % 4));
            e.setNumber(SA, random() % 12);
            e.setNumber(YA, random() % 3);
            e.setNumber(P, static_cast<std::int64_t>(random()) % c.costSpan - c.costSpan / 2);
            list.Add(e);
        }
        // Some records left out, the rest in a shuffled order.
        std::vector<Long> positions = all(list);
        std::shuffle(positions.begin(), positions.end(), random);
        positions.resize(positions.size() - positions.size() / 5);

        DescribeChart(reused, scratch, list, positions, c.x, c.y, c.colour);
        const Chart fresh = DescribeChart(list, positions, c.x, c.y, c.colour);
        std::map<std::pair<std::int64_t, std::int64_t>, int> tally;
        for (Long p : positions) {
            const Equipment& e = *list.Item(p);
            ++tally[{e.number(c.x), e.number(c.y)}];
        }
        ASSERT_EQ(reused.points.size(), positions.size());
        ASSERT_EQ(fresh.points.size(), positions.size());
        for (std::size_t i = 0; i < positions.size(); ++i) {
            const ChartPoint& a = reused.points[i];
            const ChartPoint& b = fresh.points[i];
            const Equipment& e = *list.Item(positions[i]);
            EXPECT_EQ(a.record, positions[i]);
            EXPECT_EQ(a.together, (tally[{e.number(c.x), e.number(c.y)}])) << "point " << i;
            EXPECT_TRUE(a.record == b.record && a.x == b.x && a.y == b.y && a.colour == b.colour &&
                        a.together == b.together)
                << "point " << i;
        }
        for (auto [mine, theirs] : {std::pair{&reused.x, &fresh.x}, {&reused.y, &fresh.y}}) {
            EXPECT_EQ(labels(*mine), labels(*theirs));
            EXPECT_EQ(mine->title, theirs->title);
            EXPECT_TRUE(mine->field == theirs->field && mine->coded == theirs->coded &&
                        mine->low == theirs->low && mine->high == theirs->high);
        }
        EXPECT_EQ(reused.colourField, fresh.colourField);
        ASSERT_EQ(reused.strips.size(), fresh.strips.size());
        for (std::size_t s = 0; s < fresh.strips.size(); ++s) {
            EXPECT_EQ(reused.strips[s].word, fresh.strips[s].word);
            EXPECT_EQ(reused.strips[s].count, fresh.strips[s].count);
            EXPECT_EQ(reused.strips[s].mean, fresh.strips[s].mean);
        }
        ASSERT_EQ(reused.legend.size(), fresh.legend.size());
        for (std::size_t k = 0; k < fresh.legend.size(); ++k) {
            EXPECT_EQ(reused.legend[k].label, fresh.legend[k].label);
            EXPECT_EQ(reused.legend[k].count, fresh.legend[k].count);
        }
    }
}

TEST(ChartTest, GroupedNumbers) {
    const std::vector<std::pair<std::int64_t, std::string>> cases = {{0, "0"},
                                                                     {999, "999"},
                                                                     {1000, "1,000"},
                                                                     {-1480, "-1,480"},
                                                                     {32767, "32,767"},
                                                                     {-100000, "-100,000"},
                                                                     {2147483647, "2,147,483,647"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(GroupedNumber(value), text);
}

}  // namespace
