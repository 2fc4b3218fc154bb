// Runs the built kestrel-eqp as a subprocess on pairs made here, byte by byte.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/ToolRunner.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void spit(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

class Folder {
public:
    Folder() : path_(kestrel::TempFolder()) {}
    ~Folder() { fs::remove_all(path_); }
    fs::path operator/(const std::string& s) const { return path_ / s; }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// The arguments quote with single quotes, as sh does; cmd.exe takes double
// quotes, and the whole line in one more pair.
Result run(const Folder& tmp, const std::string& arguments, const std::string& input = "") {
    spit(tmp / "stdin", input);
    std::string cmd = std::string("'") + KESTREL_EQP_PATH + "' " + arguments + " <'" +
                      (tmp / "stdin").string() + "' >'" + (tmp / "stdout").string() + "' 2>'" +
                      (tmp / "stderr").string() + "'";
#ifdef _WIN32
    std::replace(cmd.begin(), cmd.end(), '\'', '"');
#endif
    Result r;
    r.status = kestrel::testing::runCommand(cmd);
    r.out = slurp(tmp / "stdout");
    r.err = slurp(tmp / "stderr");
    return r;
}

// One 73-byte record; every field takes a value derived from seed so that
// a swapped or shifted field shows up.
struct Rec {
    std::string name;
    unsigned code = 1;
    std::string mask = std::string("\x40\x00\x00\x00", 4);
    unsigned char eqClass = 1;
    unsigned char cost = 7;
    std::string icon = std::string("T34\0\0\0", 6);
    std::string tail = std::string(22, '\0');
};

std::string pairBinary(const std::vector<Rec>& recs, long count = -1) {
    if (count < 0)
        count = static_cast<long>(recs.size());
    std::string b;
    b += static_cast<char>(count & 0xFF);
    b += static_cast<char>((count >> 8) & 0xFF);
    for (std::size_t k = 0; k < recs.size(); ++k) {
        const Rec& r = recs[k];
        b += static_cast<char>(r.code & 0xFF);
        b += static_cast<char>(r.code >> 8);
        b += static_cast<char>(r.eqClass);
        for (int i = 3; i <= 20; ++i)
            b += static_cast<char>((i * 7 + k) % 2);  // codes keep their words
        b += static_cast<char>(r.cost);
        for (int i = 22; i <= 29; ++i)
            b += static_cast<char>((i + k) % 2);
        b += r.mask;
        b += std::string("\x05\x01", 2);  // UnitSpecial
        b += std::string("\x09\xC8\xFF", 3);
        b += r.icon;
        b += std::string("\x01\x00\x02\x00\x03\x00", 6);
        b += r.tail;
    }
    return b;
}

std::string pairNames(const std::vector<Rec>& recs) {
    std::string t;
    for (const auto& r : recs)
        t += r.name + "\r\n";
    return t;
}

void writePair(const fs::path& folder, const std::vector<Rec>& recs, long count = -1) {
    fs::create_directories(folder);
    spit(folder / "EQUIP97.TXT", pairNames(recs));
    spit(folder / "EQUIP97.EQP", pairBinary(recs, count));
}

std::vector<Rec> samplePair() {
    Rec a;
    a.name = "Scout Car, \"light\"";
    a.code = 298;
    Rec b;
    b.name =
        "Panzer \xC4"
        "3";  // a code-page letter that UTF-8 spells in two bytes
    b.code = 2;
    b.mask = std::string("\x00\x80\x00\x00", 4);
    b.tail = std::string("AB\0\0CD", 6) + std::string(16, '\0');
    Rec c;
    c.name = "";
    c.code = 32767;
    c.icon = std::string("ABCDEF");
    return {a, b, c};
}

TEST(KestrelEqp, ExportThenImportReproducesThePairByteForByte) {
    for (const char* format : {"csv", "clip"}) {
        SCOPED_TRACE(format);
        Folder tmp;
        auto recs = samplePair();
        if (std::string(format) == "clip")
            recs[1].tail = std::string(22, '\0');
        writePair(tmp / "in", recs);
        Result ex = run(tmp, std::string("export '") + (tmp / "in").string() + "' --format " +
                                 format + " -o '" + (tmp / "text").string() + "'");
        ASSERT_EQ(ex.status, 0) << ex.err;
        fs::create_directories(tmp / "out");
        Result im = run(tmp, std::string("import '") + (tmp / "text").string() + "' '" +
                                 (tmp / "out").string() + "' --format " + format);
        ASSERT_EQ(im.status, 0) << im.err;
        EXPECT_EQ(slurp(tmp / "out" / "EQUIP97.EQP"), slurp(tmp / "in" / "EQUIP97.EQP"));
        EXPECT_EQ(slurp(tmp / "out" / "EQUIP97.TXT"), slurp(tmp / "in" / "EQUIP97.TXT"));
    }
}

TEST(KestrelEqp, ClipExportIsTheCopyTextOfAllRows) {
    Folder tmp;
    writePair(tmp / "in", samplePair());
    Result ex = run(tmp, "export '" + (tmp / "in").string() + "'");
    ASSERT_EQ(ex.status, 0) << ex.err;
    ASSERT_EQ(
        ex.out.rfind("IFII Equipment Editor - by Varnek\r\nEquipment Info for\r\n3\r\n298\r\n", 0),
        0u);
}

TEST(KestrelEqp, CsvFromASpreadsheetImports) {
    Folder tmp;
    std::string heading =
        "EqCode,EqName,EqClass,SoftAttack,HardAttack,AirAttack,NavalAttack,GroundDefense,"
        "AirDefense,CloseDefense,TargetType,Initiative,GunRange,SpottingRange,"
        "RangeDefenseModifier,MoveMode,MovementMode,Movement,Fuel,Ammunition,Unk0,PrestigeCost,"
        "Unk1,Unk2,Unk3,Unk4,MonthAvail,YearAvail,YearExpire,NonOrganicTransport,Country,"
        "UnitSpecial,Unk5,Unk6,Unk7,IconName,AttackSound,MoveSound,DeathSound,LastPart";
    std::string row =
        "5,\"Car, \"\"big\"\"\",1,2,3,4,5,6,7,8,1,9,10,11,12,1,2,13,14,15,16,84,17,18,19,20,"
        "6,41,45,1,7,3,21,22,23,T34,1,2,3,4142";
    Result im = run(tmp, "import - '" + tmp.path().string() + "' --format csv --allow-empty",
                    "\xEF\xBB\xBF" + heading + "\r\n" + row + "\r\n");
    ASSERT_EQ(im.status, 0) << im.err;
    EXPECT_EQ(slurp(tmp / "EQUIP97.TXT"), "Car, \"big\"\r\n");
    std::string bin = slurp(tmp / "EQUIP97.EQP");
    ASSERT_EQ(bin.size(), 2u + 73u);
    EXPECT_EQ(bin.substr(2 + 30, 4), std::string("\x00\x80\x00\x00", 4));
    EXPECT_EQ(static_cast<unsigned char>(bin[2 + 21]), 7);
    EXPECT_EQ(bin.substr(2 + 51, 3), std::string("AB\0", 3));
}

TEST(KestrelEqp, CheckListsNothingOnACleanPairButCountsIt) {
    Folder tmp;
    writePair(tmp.path(), samplePair());
    Result r = run(tmp, "check '" + (tmp / "EQUIP97.EQP").string() + "'");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "kestrel-eqp: 0 errors, 0 warnings\n");
}

// A .csv file imports as CSV, the import says what it wrote, and a backup
// pair answers "what did my last save change?" without being touched.
TEST(KestrelEqp, CsvByNameImportSaysWhatItWroteBackupsAreRead) {
    Folder tmp;
    std::vector<Rec> before = samplePair();
    std::vector<Rec> after = before;
    after[0].cost = 9;
    writePair(tmp / "after", after);
    Result ex = run(tmp, "export '" + (tmp / "after").string() + "' -f csv -o '" +
                             (tmp / "x.csv").string() + "'");
    ASSERT_EQ(ex.status, 0) << ex.err;
    fs::create_directories(tmp / "mod");
    const std::string into = (tmp / "mod").string();
    const std::string binary = into + "/EQUIP97.EQP";
    Result first = run(tmp, "import '" + (tmp / "x.csv").string() + "' '" + into + "'");
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.err, "kestrel-eqp: imported 3 records into " + binary + "\n");
    EXPECT_EQ(slurp(tmp / "mod" / "EQUIP97.EQP"), pairBinary(after));

    writePair(tmp / "mod", before);
    Result second = run(tmp, "import '" + (tmp / "x.csv").string() + "' '" + into + "'");
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.err, "kestrel-eqp: imported 3 records into " + binary +
                              "; backups EQUIP97.E, EQUIP97.T\n");

    // The backups as a pair of their own, read only.
    const std::string backup = into + "/EQUIP97.E";
    auto folderState = [&] {
        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(tmp / "mod"))
            files.push_back(entry.path().filename().string() + "=" + slurp(entry.path()));
        std::sort(files.begin(), files.end());
        return files;
    };
    const auto untouched = folderState();
    Result diff = run(tmp, "diff '" + backup + "' '" + binary + "'");
    EXPECT_EQ(diff.status, 1) << diff.err;
    EXPECT_NE(diff.out.find("P 84 -> 108"), std::string::npos) << diff.out;
    Result check = run(tmp, "check '" + backup + "'");
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_EQ(check.err, "kestrel-eqp: 0 errors, 0 warnings\n");
    Result exported = run(tmp, "export '" + backup + "'");
    EXPECT_EQ(exported.status, 0) << exported.err;
    writePair(tmp / "copy", before);
    EXPECT_EQ(exported.out, run(tmp, "export '" + (tmp / "copy").string() + "'").out);
    Result refused = run(tmp, "import '" + (tmp / "x.csv").string() + "' '" + backup + "'");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(folderState(), untouched);
}

TEST(KestrelEqp, CheckFindsEachProblemKind) {
    struct Case {
        const char* what;
        void (*spoil)(std::vector<Rec>&, long& count, std::string& binaryTail);
        const char* expected;
    };
    const Case cases[] = {
        {"count", [](std::vector<Rec>&, long& count, std::string&) { count = 2; },
         "file: the name list has 3 lines, the equipment file 2 records; line 3"},
        {"code without a word", [](std::vector<Rec>& r, long&, std::string&) { r[1].eqClass = 30; },
         "record 2 (N 2, \"Panzer \xC3\x84"
         "3\"): EqClass 30 has no word\n"},
        {"mask",
         [](std::vector<Rec>& r, long&, std::string&) { r[2].mask = std::string("\x60\0\0\0", 4); },
         "record 3 (N 32767, \"\"): country mask 60000000 matches no country"},
        {"truncated record", [](std::vector<Rec>&, long&, std::string& tail) { tail = "cut"; },
         "file: the equipment file ends inside record 3 of 3"},
        {"bad two-byte field", [](std::vector<Rec>& r, long&, std::string&) { r[0].code = 0x8000; },
         "record 1 (N 1, \"Scout Car, \"light\"\"): EqCode 32768 in the file is above 32767"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Folder tmp;
        auto recs = samplePair();
        recs[2].mask = std::string("\x20\0\0\0", 4);
        long count = -1;
        std::string tail;
        c.spoil(recs, count, tail);
        writePair(tmp.path(), recs, count);
        if (tail == "cut") {
            std::string bin = slurp(tmp / "EQUIP97.EQP");
            spit(tmp / "EQUIP97.EQP", bin.substr(0, bin.size() - 40));
        }
        Result r = run(tmp, "check '" + tmp.path().string() + "'");
        EXPECT_EQ(r.status, 1) << r.out << r.err;
        EXPECT_NE(r.out.find(c.expected), std::string::npos) << r.out;
    }
}

TEST(KestrelEqp, BadInputIsReportedAndWritesNothing) {
    struct Case {
        const char* what;
        std::string arguments;
        std::string input;
        int status;
        const char* message;
    };
    Folder tmp;
    writePair(tmp / "in", samplePair());
    ASSERT_EQ(
        run(tmp, "export '" + (tmp / "in").string() + "' -o '" + (tmp / "good.txt").string() + "'")
            .status,
        0);
    std::string clip = slurp(tmp / "good.txt");
    // Line 9 is the first record's AirAttack, read as a whole number.
    std::string badField = clip;
    std::size_t at = 0;
    for (int line = 1; line < 9; ++line)
        at = badField.find("\r\n", at) + 2;
    badField.replace(at, badField.find("\r\n", at) - at, "x1");
    ASSERT_EQ(run(tmp, "export '" + (tmp / "in").string() + "' -f csv -o '" +
                           (tmp / "good.csv").string() + "'")
                  .status,
              0);
    std::string csv = slurp(tmp / "good.csv");
    std::string badCsvNumber = csv;
    badCsvNumber.replace(badCsvNumber.find("\r\n298,"), 6, "\r\nabc,");
    fs::copy_file(tmp / "in" / "EQUIP97.EQP", tmp / "in" / "LONE.EQP");
    auto splitting = samplePair();
    splitting[1].tail = std::string("X\r\0\nY", 5) + std::string(17, '\0');
    writePair(tmp / "split", splitting);
    fs::create_directories(tmp / "out");
    const std::string out = "'" + (tmp / "out").string() + "'";
    const Case cases[] = {
        {"truncated clip", "import - " + out, clip.substr(0, clip.size() - 9), 1,
         "nothing written"},
        {"bad clip field", "import - " + out, badField, 1, ":9:"},
        {"bad csv number", "import - " + out + " --format csv", badCsvNumber, 1,
         ":2: EqCode: \"abc\" is not a whole number"},
        {"unclosed csv quote", "import - " + out + " --format csv",
         csv.substr(0, csv.find("\r\n") + 2) + "5,\"open\r\n", 1, ":2: a quoted field"},
        {"csv heading short of a column", "import - " + out + " --format csv",
         std::string("EqCode\r\n1\r\n"), 1, ":1: the heading has no column EqName"},
        {"missing folder", "import - '" + (tmp / "nowhere" / "EQUIP97.EQP").string() + "'", clip, 2,
         "does not exist"},
        {"bare name that is no folder", "import - '" + (tmp / "Ironfrnt2").string() + "'", clip, 2,
         "neither a folder nor an equipment file"},
        {"mistyped extension", "import - '" + (tmp / "in" / "EQUIP97.EPQ").string() + "'", clip, 2,
         "neither a folder nor an equipment file"},
        {"missing pair", "check '" + (tmp / "nowhere").string() + "'", "", 2,
         "no such file or folder"},
        {"pair without its name list", "export '" + (tmp / "in" / "LONE.EQP").string() + "'", "", 2,
         "cannot read the name list"},
        {"clip line a CR LF would split", "export '" + (tmp / "split").string() + "'", "", 1,
         "record 2: LastPart holds a CR and an LF"},
        {"unknown command", "frobnicate", "", 2, "unknown command"},
        {"unknown format", "export '" + (tmp / "in").string() + "' --format xml", "", 2,
         "unknown format"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Result r = run(tmp, c.arguments, c.input);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(fs::is_empty(tmp / "out"));
    }
}

TEST(KestrelEqp, HelpForTheToolAndEachCommand) {
    Folder tmp;
    for (const char* args :
         {"--help", "check --help", "export --help", "import --help", "diff --help"}) {
        SCOPED_TRACE(args);
        Result r = run(tmp, args);
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find("Usage: kestrel-eqp"), std::string::npos);
    }
}

}  // namespace

namespace {

// Random well-formed pairs cover every byte value in names and texts; the
// clipboard text drops zero bytes, so its pairs are made without them.
TEST(KestrelEqp, RandomPairsSurviveExportAndImport) {
    kestrel::InitLookupTables();  // the encoder writes country masks from the table
    std::mt19937 random(6);
    for (const char* format : {"csv", "clip"}) {
        SCOPED_TRACE(format);
        Folder tmp;
        kestrel::SamplePair pair;
        if (std::string(format) == "csv") {
            pair = kestrel::RandomPair(random, 300);
        } else {
            std::vector<kestrel::Equipment> records;
            for (int i = 0; i < 300; ++i) {
                auto e = kestrel::RandomEquipment(random);
                for (auto field : {kestrel::Field::IconName, kestrel::Field::LastPart}) {
                    std::string t = e.text(static_cast<int>(field));
                    t.erase(std::remove(t.begin(), t.end(), '\0'), t.end());
                    e.setText(static_cast<int>(field), t);
                }
                records.push_back(e);
            }
            pair = kestrel::EncodePair(records);
        }
        fs::create_directories(tmp / "in");
        kestrel::WritePair((tmp / "in").string(), pair);
        fs::create_directories(tmp / "out");
        Result ex = run(tmp, std::string("export '") + (tmp / "in").string() + "' --format " +
                                 format + " -o '" + (tmp / "text").string() + "'");
        ASSERT_EQ(ex.status, 0) << ex.err;
        Result im = run(tmp, std::string("import '") + (tmp / "text").string() + "' '" +
                                 (tmp / "out" / "EQUIP97.EQP").string() + "' -f " + format);
        ASSERT_EQ(im.status, 0) << im.err;
        EXPECT_EQ(slurp(tmp / "out" / "EQUIP97.EQP"), pair.binary);
        EXPECT_EQ(slurp(tmp / "out" / "EQUIP97.TXT"), pair.names);
    }
}

TEST(KestrelEqp, ImportKeepsThePreviousPairAsBackups) {
    Folder tmp;
    auto first = samplePair();
    writePair(tmp.path(), first);
    const std::string oldNames = slurp(tmp / "EQUIP97.TXT");
    const std::string oldBinary = slurp(tmp / "EQUIP97.EQP");
    Result ex = run(
        tmp, "export '" + tmp.path().string() + "' -f csv -o '" + (tmp / "all.csv").string() + "'");
    ASSERT_EQ(ex.status, 0) << ex.err;
    std::string csv = slurp(tmp / "all.csv");
    Result im = run(tmp, "import - '" + tmp.path().string() + "' --format csv --allow-empty",
                    csv.substr(0, csv.find("\r\n") + 2));
    ASSERT_EQ(im.status, 0) << im.err;
    EXPECT_EQ(slurp(tmp / "EQUIP97.T"), oldNames);
    EXPECT_EQ(slurp(tmp / "EQUIP97.E"), oldBinary);
    EXPECT_EQ(slurp(tmp / "EQUIP97.EQP"), std::string("\0\0", 2));
}

}  // namespace
