#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/RecordFilter.h"

using namespace kestrel;

namespace {

// Germany is country 7, Italy 12, the United Kingdom 22; class 2 is Tank.
std::vector<Equipment> sample() {
    auto make = [](int code, const char* name, int country, int eqClass, int sa, int cost,
                   int special) {
        Equipment e;
        e.setEqCode(code);
        e.setEqName(name);
        e.setCountry(country);
        e.setEqClass(static_cast<Byte>(eqClass));
        e.setSoftAttack(static_cast<Byte>(sa));
        e.setPrestigeCost(cost);
        e.setUnitSpecial(special);
        e.setUnk1(9);
        return e;
    };
    return {
        make(1, "Tiger I", 7, 2, 12, 480, 4),      make(2, "Tiger II", 7, 2, 14, 600, 0),
        make(3, "M13/40", 12, 2, 6, 120, 5),       make(4, "Cromwell", 22, 2, 10, 300, 1),
        make(5, "\xC9lan Rifles", 6, 1, 3, 60, 0), make(298, "Panzergrenadier", 7, 1, 10, 96, 4)};
}

// The codes of the sample's records that the filter keeps.
std::vector<int> kept(const std::string& text) {
    FilterParse parse = ParseFilter(text);
    EXPECT_TRUE(parse.ok()) << text << ": " << parse.error;
    std::vector<int> codes;
    for (const Equipment& e : sample()) {
        if (parse.filter.Matches(e))
            codes.push_back(e.EqCode());
    }
    return codes;
}

TEST(RecordFilter, EachTermFormKeepsTheMatchingRecords) {
    struct Case {
        const char* text;
        std::vector<int> codes;
    } cases[] = {
        {"", {1, 2, 3, 4, 5, 298}},
        {"   ", {1, 2, 3, 4, 5, 298}},
        {"germ", {1, 2, 298}},           // plain word in the country's word
        {"TIGER", {1, 2}},               // any letter case, in the name
        {"\"Tiger I\"", {1, 2}},         // a quoted word with a blank
        {"\xE9lan", {5}},                // accented letters fold too
        {"298", {298}},                  // a number as the grid shows it
        {"tiger ii", {2}},               // two words must both hold
        {"Co=Germany", {1, 2, 298}},     // coded column by word
        {"co=germany", {1, 2, 298}},     // ... any case
        {"Country=7", {1, 2, 298}},      // by field name and code
        {"Co=\"United Kingdom\"", {4}},  // a quoted word with a blank
        {"Co!=Germany", {3, 4, 5}},
        {"CL=Tank", {1, 2, 3, 4}},
        {"SA>=10", {1, 2, 4, 298}},
        {"SA>10", {1, 2}},
        {"SA<=6", {3, 5}},
        {"P<300", {3, 5, 298}},
        {"SoftAttack=10", {4, 298}},
        {"Name~tiger", {1, 2}},
        {"Name~\"Tiger I\"", {1, 2}},
        {"Name=\"tiger i\"", {1}},  // = on text is the whole text
        {"Co~many", {1, 2, 298}},   // ~ looks at the shown word
        {"US&4", {1, 3, 298}},
        {"US&1", {3, 4}},
        {"Unk1=9", {1, 2, 3, 4, 5, 298}},
        {"Co=Germany SA>=10", {1, 2, 298}},
        {"Co=Germany CL=Tank P<500", {1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kept(c.text), c.codes) << c.text;
}

TEST(RecordFilter, TermsThatCannotBeReadSayWhy) {
    struct Case {
        const char* text;
        const char* reason;  // a part of the message
    } cases[] = {
        {"Foo=3", "\"Foo\" is not a column"},
        {"U=3", "use Unk0 to Unk7"},
        {"SA>=", "a value must follow >="},
        {"=Germany", "a column name must come before ="},
        {"SA>=ten", "\"ten\" is not a whole number"},
        {"Co=Germny", "neither a word of the column nor a code"},
        {"Name>3", "holds text; use = or ~"},
        {"US&0", "bit value above 0"},
        {"SA!3", "! must be followed by ="},
        {"Name~\"Tiger", "quote is not closed"},
    };
    for (const Case& c : cases) {
        FilterParse parse = ParseFilter(c.text);
        EXPECT_FALSE(parse.ok()) << c.text;
        EXPECT_NE(parse.error.find(c.reason), std::string::npos) << c.text << ": " << parse.error;
        EXPECT_TRUE(parse.filter.empty()) << c.text;
    }
}

// The list's filter tries again only the rows it showed when the new filter
// narrows the old one. Every pair of these filters that Narrows takes for a
// narrowing must keep no record the wider one drops, over records made so
// that each term's edge is crossed; and the narrowings typing makes are seen.
TEST(RecordFilter, ANarrowingFilterKeepsNoRecordTheWiderOneDrops) {
    const char* texts[] = {"t",          "ti",
                           "tig",        "tiger",
                           "tiger i",    "ger",
                           "germ",       "germany",
                           "1",          "12",
                           "120",        "-",
                           "-1",         "Co=Germany",
                           "Co=Italy",   "Co!=Germany",
                           "SA>=1",      "SA>=10",
                           "SA>10",      "SA>1",
                           "SA<=10",     "SA<=5",
                           "SA<6",       "P<300",
                           "P<100",      "Name~ti",
                           "Name~tiger", "Name=\"tiger i\"",
                           "Name=tiger", "US&4",
                           "US&5",       "Co~many",
                           "Co~man",     "Co=Germany SA>=10",
                           "germ tiger", "tiger germ"};
    std::vector<Equipment> records = sample();
    for (const Equipment& e : sample()) {
        for (int sa : {0, 1, 5, 6, 9, 10, 11, 120}) {
            Equipment changed = e;
            changed.setSoftAttack(static_cast<Byte>(sa));
            changed.setPrestigeCost(sa * 10 - 200);
            changed.setUnitSpecial(sa);
            records.push_back(changed);
        }
    }
    std::vector<RecordFilter> filters;
    for (const char* text : texts) {
        FilterParse parse = ParseFilter(text);
        ASSERT_TRUE(parse.ok()) << text << ": " << parse.error;
        filters.push_back(parse.filter);
    }
    const std::size_t n = filters.size();
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = 0; b < n; ++b) {
            if (!filters[a].Narrows(filters[b]))
                continue;
            for (const Equipment& e : records)
                EXPECT_TRUE(!filters[a].Matches(e) || filters[b].Matches(e))
                    << texts[a] << " narrows " << texts[b] << " but keeps " << e.EqName() << " SA "
                    << int(e.SoftAttack());
        }
    }
    struct Pair {
        const char* narrow;
        const char* wide;
        bool narrows;
    } pairs[] = {
        {"germ", "ger", true},
        {"tiger i", "tiger", true},
        {"Co=Germany SA>=10", "Co=Germany", true},
        {"SA>=10", "SA>=1", true},
        {"SA<=5", "SA<=10", true},
        {"Name~tiger", "Name~ti", true},
        {"120", "12", true},
        {"germ", "", true},
        {"SA<=10", "SA<=5", false},
        {"ti", "tig", false},
        {"Co=Italy", "Co=Germany", false},
        {"SA>10", "SA>=10", false},
        {"US&5", "US&4", false},
        {"tiger germ", "germ", false},
        {"Name=tiger", "Name=\"tiger i\"", false},
    };
    for (const Pair& p : pairs)
        EXPECT_EQ(ParseFilter(p.narrow).filter.Narrows(ParseFilter(p.wide).filter), p.narrows)
            << p.narrow << " / " << p.wide;
}

}  // namespace
