// kestrel-eqp chart, and --where on chart, export and check, run as the
// built program on a pair written here.

#include <gtest/gtest.h>

#include <algorithm>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ToolRunner.h"
#include "model/FieldTable.h"
#include "model/RecordFilter.h"
#include "support/SamplePairs.h"
#include "support/XmlCheck.h"
#include "text/CodePage.h"

using namespace kestrel;
using kestrel::testing::RunTool;
using kestrel::testing::ToolResult;

namespace {

// Every record has a target type with no word, so that check lists each.
std::vector<Equipment> records() {
    struct Row {
        const char* name;
        int eqClass, country, sa, cost, special;
    };
    // Class 1 Infantry, 2 Tank, 10 Fighter; country 7 Germany, 9 USA,
    // 19 Russia, 22 United Kingdom.
    const std::vector<Row> rows = {{"Tiger I", 2, 7, 12, 480, 4},   {"Tiger II", 2, 7, 14, 600, 0},
                                   {"Panther", 2, 7, 10, 444, 5},   {"Sherman", 2, 9, 8, 240, 1},
                                   {"T-34", 2, 19, 9, 228, 4},      {"Rifles", 1, 19, 3, 60, 0},
                                   {"Spitfire", 10, 22, 4, 300, 0}, {"Bf 109", 10, 7, 4, 288, 4},
                                   {"\xC9lan", 1, 22, 2, 48, 0},    {"Cromwell", 2, 22, 9, 264, 1},
                                   {"Zero", 10, 9, 3, 276, 0},      {"Grenadier", 1, 7, 4, 72, 4}};
    std::vector<Equipment> list;
    int code = 100;
    for (const Row& r : rows) {
        Equipment e = FreshEquipment();
        e.setEqCode(++code);
        e.setEqName(r.name);
        e.setEqClass(static_cast<Byte>(r.eqClass));
        e.setCountry(r.country);
        e.setSoftAttack(static_cast<Byte>(r.sa));
        e.setPrestigeCost(r.cost);
        e.setUnitSpecial(r.special);
        e.setTargetType(9);
        list.push_back(e);
    }
    return list;
}

// "record 12 (N ..." -> 12, for each line or title that begins so.
std::set<int> recordsNamed(const std::vector<std::string>& texts) {
    std::set<int> found;
    for (const std::string& t : texts) {
        if (t.rfind("record ", 0) == 0)
            found.insert(std::stoi(t.substr(7)));
    }
    return found;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// The runner hands arguments to cmd.exe as 8-bit text under Windows, where
// bytes beyond ASCII and a lone quote do not arrive as they were given.
bool ReachesTheToolWhole(const std::vector<std::string>& args) {
#ifdef _WIN32
    for (const std::string& a : args) {
        if (std::count(a.begin(), a.end(), '"') % 2 != 0)
            return false;
        for (char c : a) {
            if (static_cast<unsigned char>(c) >= 0x80)
                return false;
        }
    }
#else
    (void)args;
#endif
    return true;
}

TEST(ChartCommandTest, WhereKeepsWhatTheFilterKeepsInChartExportAndCheck) {
    ScopedTempFolder tmp;
    const std::vector<Equipment> list = records();
    WritePair(tmp.path(), list);
    const std::string svg = tmp / "chart.svg";
    // The terms as a shell hands them over, in UTF-8.
    const std::vector<std::string> terms = {"",
                                            "CL=Tank",
                                            "Co=Germany SA>=10",
                                            "tiger",
                                            "Name~ti",
                                            "\"Tiger I\"",
                                            "P>=240",
                                            "US&4",
                                            "Co!=Germany",
                                            "CL=10 P<290",
                                            "\xC3\x89lan",
                                            "SA<5 Co=7",
                                            "nothing-has-this"};
    for (const std::string& t : terms) {
        if (!ReachesTheToolWhole({t}))
            continue;
        SCOPED_TRACE(t);
        const FilterParse parse = ParseFilter(*Utf8ToCodePage(t));
        ASSERT_TRUE(parse.ok()) << parse.error;
        std::set<int> expected;
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (parse.filter.Matches(list[i]))
                expected.insert(static_cast<int>(i + 1));
        }

        ToolResult chart = RunTool(KESTREL_EQP_PATH,
                                   {"chart", tmp.path(), "--x", "CL", "--y", "SA", "--colour", "Co",
                                    "--where", t, "-o", svg},
                                   tmp.path());
        ASSERT_EQ(chart.status, 0) << chart.err;
        kestrel::testing::XmlReader reader;
        auto root = reader.read(ReadBytes(svg));
        ASSERT_TRUE(root) << reader.error();
        std::vector<const kestrel::testing::XmlElement*> circles;
        root->collect("circle", circles);
        std::vector<std::string> titles;
        for (const auto* c : circles)
            titles.push_back(c->children.at(0)->text);
        EXPECT_EQ(titles.size(), expected.size());
        EXPECT_EQ(recordsNamed(titles), expected) << "chart";

        ToolResult exported = RunTool(
            KESTREL_EQP_PATH, {"export", tmp.path(), "--format", "csv", "--no-bom", "--where", t},
            tmp.path());
        ASSERT_EQ(exported.status, 0) << exported.err;
        std::set<int> rows;
        const std::vector<std::string> csv = lines(exported.out);
        for (std::size_t i = 1; i < csv.size(); ++i)
            rows.insert(std::stoi(csv[i]) - 100);  // EqCode is the first column
        EXPECT_EQ(rows, expected) << "export";

        ToolResult checked =
            RunTool(KESTREL_EQP_PATH, {"check", tmp.path(), "--where=" + t}, tmp.path());
        EXPECT_EQ(checked.status, expected.empty() ? 0 : 1) << checked.err;
        EXPECT_EQ(recordsNamed(lines(checked.out)), expected) << "check";
    }
}

TEST(ChartCommandTest, BadFieldsAndTermsAreRefusedAndNothingIsWritten) {
    ScopedTempFolder tmp;
    WritePair(tmp.path(), records());
    const std::string out = tmp / "out.file";
    const std::string kept = tmp / "kept.file";
    WriteBytes(kept, "as it was");
    const std::string pair = tmp.path();
    struct Case {
        std::vector<std::string> args;
        std::string said;
    };
    const std::vector<Case> cases = {
        {{"chart", pair, "--x", "XYZ", "--y", "SA", "-o", out}, "--x: \"XYZ\" is not a column."},
        {{"chart", pair, "--x", "SA", "--y", "Name", "-o", out},
         "--y: \"Name\": EqName holds text"},
        {{"chart", pair, "--x", "SA", "--y", "P", "--colour", "U", "-o", out},
         "--colour: \"U\" names 8 columns"},
        {{"chart", pair, "--x", "SA", "--y", "P", "--where", "Foo=1", "-o", out},
         "--where: \"Foo\" is not a column."},
        {{"chart", pair, "--x", "SA", "--y", "P", "--where", "SA>ten", "-o", kept},
         "--where: \"SA>ten\": \"ten\" is not a whole number."},
        {{"chart", pair, "--x", "SA", "--y", "P", "-o", tmp / "no-such-folder/out.svg"},
         "cannot write"},
        {{"export", pair, "--where", "Co=Atlantis", "-o", out}, "\"Atlantis\" is neither a word"},
        {{"export", pair, "--where", "Co=Atlantis"}, "\"Atlantis\" is neither a word"},
        {{"check", pair, "--where", "\"Tiger"}, "--where: A quote is not closed."},
        {{"check", pair, "--where", "\xE2\x82\xAC\xE2\x82\xAC\xE2\x9C\x93"}, "code page"},
    };
    for (const Case& c : cases) {
        if (!ReachesTheToolWhole(c.args))
            continue;
        SCOPED_TRACE(c.args[0] + " " + c.said);
        const ToolResult r = RunTool(KESTREL_EQP_PATH, c.args, tmp.path());
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(ReadBytes(out), "<missing>");
        EXPECT_EQ(ReadBytes(kept), "as it was");
    }
}

}  // namespace
