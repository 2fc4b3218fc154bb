// kestrel-eqp diff and the byte-order mark of export, run as the built program
// on pairs written here.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "cli/ToolRunner.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

using testing::RunTool;
using testing::ToolResult;

const char kBom[] = "\xEF\xBB\xBF";

ToolResult eqp(const ScopedTempFolder& tmp, const std::vector<std::string>& args) {
    return RunTool(KESTREL_EQP_PATH, args, tmp.path());
}

// Six records, N 0, 10, ..., 50, named "Unit 0" ... with SoftAttack i and
// country i (Albania, Algeria, ... in the table).
std::vector<Equipment> baseRecords() {
    InitLookupTables();
    std::mt19937 random(15);
    std::vector<Equipment> records;
    for (int i = 0; i < 6; ++i) {
        Equipment e = RandomEquipment(random);
        e.setEqCode(10 * i);
        e.setEqName("Unit " + std::to_string(i));
        e.setSoftAttack(static_cast<Byte>(i));
        e.setCountry(i);
        records.push_back(e);
    }
    return records;
}

struct Pairs {
    ScopedTempFolder tmp;
    std::string a = tmp / "a";
    std::string b = tmp / "b";
    Pairs(const std::vector<Equipment>& first, const std::vector<Equipment>& second) {
        std::filesystem::create_directory(a);
        std::filesystem::create_directory(b);
        WritePair(a, first);
        WritePair(b, second);
    }
};

// B: record 3 changed in two fields, record 5 gone, a new record at the end,
// record 2 renamed with a quote and a control character.
std::vector<Equipment> changedRecords() {
    auto b = baseRecords();
    b[2].setSoftAttack(14);
    b[2].setCountry(7);
    b[1].setEqName("Say \"hi\"\x01");
    b.erase(b.begin() + 4);
    Equipment panther = baseRecords()[0];
    panther.setEqCode(301);
    panther.setEqName("Panther");
    b.push_back(panther);
    return b;
}

TEST(KestrelEqpDiff, LinesAndExitStatus) {
    InitLookupTables();
    const std::string c2 = CountryNames[2], c7 = CountryNames[7];
    const struct {
        const char* what;
        std::vector<std::string> options;
        int status;
        std::string out;
    } cases[] = {
        {"by code",
         {},
         1,
         "record 2 (N 10, \"Unit 1\"): Name \"Unit 1\" -> \"Say \"hi\"\\x01\"\n"
         "record 3 (N 20, \"Unit 2\"): SA 2 -> 14, Co " +
             c2 + " -> " + c7 +
             "\n"
             "only in A: record 5 (N 40, \"Unit 4\")\n"
             "only in B: record 6 (N 301, \"Panther\")\n"},
        {"only some fields",
         {"--fields", "sa,Name"},
         1,
         "record 2 (N 10, \"Unit 1\"): Name \"Unit 1\" -> \"Say \"hi\"\\x01\"\n"
         "record 3 (N 20, \"Unit 2\"): SA 2 -> 14\n"
         "only in A: record 5 (N 40, \"Unit 4\")\n"
         "only in B: record 6 (N 301, \"Panther\")\n"},
        {"by position, fields given twice",
         {"--by", "position", "--fields=SA", "--fields", "N"},
         1,
         "record 3 (N 20, \"Unit 2\"): SA 2 -> 14\n"
         "record 5 (N 40, \"Unit 4\"): N 40 -> 50, SA 4 -> 5\n"
         "record 6 (N 50, \"Unit 5\"): N 50 -> 301, SA 5 -> 0\n"},
        {"csv",
         {"--format", "csv", "--fields", "SA,Co"},
         1,
         std::string(kBom) +
             "Difference,Record A,Record B,N,Name,Field,A,B\r\n"
             "changed,3,3,20,Unit 2,SA,2,14\r\n"
             "changed,3,3,20,Unit 2,Co," +
             c2 + "," + c7 +
             "\r\n"
             "only in A,5,,40,Unit 4,,,\r\n"
             "only in B,,6,301,Panther,,,\r\n"},
        {"csv without the mark",
         {"--format=csv", "--no-bom", "--fields", "Name"},
         1,
         "Difference,Record A,Record B,N,Name,Field,A,B\r\n"
         "changed,2,2,10,Unit 1,Name,Unit 1,\"Say \"\"hi\"\"\x01\"\r\n"
         "only in A,5,,40,Unit 4,,,\r\n"
         "only in B,,6,301,Panther,,,\r\n"},
    };
    Pairs pairs(baseRecords(), changedRecords());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args{"diff", pairs.a, pairs.b + "/EQUIP97.EQP"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        ToolResult r = eqp(pairs.tmp, args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
    }

    // The same pair on both sides, in any mode.
    for (const char* format : {"text", "csv"}) {
        ToolResult r = eqp(pairs.tmp, {"diff", pairs.a, pairs.a, "--format", format});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.find("only"), std::string::npos) << r.out;
    }
    ToolResult fieldsSame = eqp(pairs.tmp, {"diff", pairs.a, pairs.b, "--fields", "HA,Mode"});
    EXPECT_EQ(fieldsSame.status, 1) << "records 5 and 6 are still unmatched";
}

TEST(KestrelEqpDiff, DuplicateCodesAreMatchedInOrderAndNoted) {
    auto a = baseRecords();
    auto b = baseRecords();
    a[3].setEqCode(10);
    b[3].setEqCode(10);
    b[3].setHardAttack(static_cast<Byte>(b[3].HardAttack() + 1));
    Pairs pairs(a, b);
    ToolResult r = eqp(pairs.tmp, {"diff", pairs.a, pairs.b});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "record 4 (N 10, \"Unit 3\"): HA " + std::to_string(a[3].HardAttack()) +
                         " -> " + std::to_string(b[3].HardAttack()) + "\n");
    EXPECT_EQ(r.err,
              "kestrel-eqp: note: N 10 is held by records 2 and 4 in A and records 2 and 4 "
              "in B; matched in list order\n");
}

TEST(KestrelEqpDiff, UnreadablePairsAndWrongCommandLines) {
    Pairs pairs(baseRecords(), changedRecords());
    std::filesystem::create_directory(pairs.tmp / "short");
    WritePair(pairs.tmp / "short", baseRecords());
    std::string binary = ReadBytes(pairs.tmp / "short/EQUIP97.EQP");
    WriteBytes(pairs.tmp / "short/EQUIP97.EQP", binary.substr(0, binary.size() - 10));

    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"diff", pairs.a, pairs.tmp / "missing"}, "no such file or folder"},
        {{"diff", pairs.tmp / "short", pairs.a}, "A (" + pairs.tmp / "short" + ") does not load"},
        {{"diff", pairs.a, pairs.tmp / "short"}, ") does not load"},
        {{"diff", pairs.a}, "diff takes two PATHs"},
        {{"diff", pairs.a, pairs.b, "--by", "name"}, "unknown match \"name\""},
        {{"diff", pairs.a, pairs.b, "--format", "html"}, "unknown format \"html\""},
        {{"diff", pairs.a, pairs.b, "--fields", "SA,Armour"}, "no field is called \"Armour\""},
        {{"diff", pairs.a, pairs.b, "--fields", "U"}, "name them Unk0 to Unk7"},
        {{"diff", pairs.a, pairs.b, "--fields"}, "--fields needs"},
        {{"diff", pairs.a, pairs.b, "--colour"}, "unknown option --colour"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        ToolResult r = eqp(pairs.tmp, c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
}

// A pair a save left half-done is compared as it stands and left alone: its
// leftovers are named, nothing on disk changes.
TEST(KestrelEqpDiff, InterruptedSaveIsReportedNotRepaired) {
    Pairs pairs(baseRecords(), baseRecords());
    WriteBytes(pairs.b + "/EQUIP97.TMP", "half a binary file");
    const std::string names = ReadBytes(pairs.b + "/EQUIP97.TXT");
    const std::string binary = ReadBytes(pairs.b + "/EQUIP97.EQP");

    ToolResult r = eqp(pairs.tmp, {"diff", pairs.a, pairs.b});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "kestrel-eqp: note: B holds EQUIP97.TMP from an interrupted save; compared the "
              "pair as it stands, nothing repaired\n");
    EXPECT_EQ(ReadBytes(pairs.b + "/EQUIP97.TMP"), "half a binary file");
    EXPECT_EQ(ReadBytes(pairs.b + "/EQUIP97.TXT"), names);
    EXPECT_EQ(ReadBytes(pairs.b + "/EQUIP97.EQP"), binary);
    EXPECT_EQ(ReadBytes(pairs.b + "/EQUIP97.E"), "<missing>");
}

// Spreadsheets read UTF-8 names right only after a byte-order mark; import
// takes the text with or without one.
TEST(KestrelEqpExport, CsvCarriesAByteOrderMarkUnlessToldNot) {
    auto records = baseRecords();
    records[1].setEqName("Char B1 \xE9");  // é in the code page
    Pairs pairs(records, records);
    for (bool bom : {true, false}) {
        SCOPED_TRACE(bom ? "with the mark" : "without");
        std::string text = pairs.tmp / "out.csv";
        std::vector<std::string> args{"export", pairs.a, "--format", "csv", "-o", text};
        if (!bom)
            args.push_back("--no-bom");
        ASSERT_EQ(eqp(pairs.tmp, args).status, 0);
        std::string bytes = ReadBytes(text);
        EXPECT_EQ(bytes.rfind(kBom, 0) == 0, bom);
        EXPECT_NE(bytes.find("Char B1 \xC3\xA9"), std::string::npos);

        std::filesystem::create_directory(pairs.tmp / "in");
        ToolResult im = eqp(pairs.tmp, {"import", text, pairs.tmp / "in", "--format", "csv"});
        ASSERT_EQ(im.status, 0) << im.err;
        EXPECT_EQ(ReadBytes(pairs.tmp / "in/EQUIP97.EQP"), ReadBytes(pairs.a + "/EQUIP97.EQP"));
        EXPECT_EQ(ReadBytes(pairs.tmp / "in/EQUIP97.TXT"), ReadBytes(pairs.a + "/EQUIP97.TXT"));
    }
    ToolResult out = eqp(pairs.tmp, {"export", pairs.a, "--format", "csv"});
    EXPECT_EQ(out.out.rfind(kBom, 0), 0u) << "standard output gets the mark too";
    ToolResult clip = eqp(pairs.tmp, {"export", pairs.a});
    EXPECT_NE(clip.out.rfind(kBom, 0), 0u) << "the clip text is the clipboard's, without a mark";
}

// A spreadsheet that took the UTF-8 for Windows-1252 and saved it again turns
// "é" into "Ã©". Any bytes make a valid name, so the import goes ahead, but
// says which cells look garbled.
TEST(KestrelEqpImport, CsvMisreadBySpreadsheetIsPointedOut) {
    auto records = baseRecords();
    records[1].setEqName("Char B1 \xE9");
    Pairs pairs(records, records);
    const std::string text = pairs.tmp / "out.csv";
    ASSERT_EQ(eqp(pairs.tmp, {"export", pairs.a, "--format", "csv", "--no-bom", "-o", text}).status,
              0);
    std::string csv = ReadBytes(text);
    const std::string good = "Char B1 \xC3\xA9", misread = "Char B1 \xC3\x83\xC2\xA9";
    ASSERT_NE(csv.find(good), std::string::npos);
    WriteBytes(text, csv.replace(csv.find(good), good.size(), misread));

    ToolResult im = eqp(pairs.tmp, {"import", text, pairs.b, "--format", "csv"});
    EXPECT_EQ(im.status, 0) << im.err;
    const std::string imported = "kestrel-eqp: imported " + std::to_string(records.size()) +
                                 " records into " + pairs.b + "/EQUIP97.EQP" +
                                 "; backups EQUIP97.E, EQUIP97.T\n";
    EXPECT_EQ(im.err, "kestrel-eqp: " + text + ":3: warning: EqName: \"" + misread +
                          "\" reads like UTF-8 taken for Windows-1252 (\"" + good + "\" meant?)\n" +
                          imported);

    WriteBytes(text, csv.replace(csv.find(misread), misread.size(), good));
    ToolResult clean = eqp(pairs.tmp, {"import", text, pairs.b, "--format", "csv"});
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.err, imported) << "a name read right draws no warning";
}

}  // namespace
}  // namespace kestrel
