// kestrel-eqp changes nothing without a word: inexact values, empty texts,
// failed exports, cut-short saves and files that are no files.

// POSIX only: it runs the tool through sh and reads wait statuses.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "model/Equipment.h"
#include "storage/ClipboardText.h"
#include "storage/EquipmentFiles.h"
#include "storage/SaveIntent.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

struct Result {
    int status = -1;
    std::string err;
    std::string out;
};

Result run(const ScopedTempFolder& tmp, const std::string& arguments,
           const std::string& input = "") {
    WriteBytes(tmp / "stdin", input);
    std::string cmd = std::string("'") + KESTREL_EQP_PATH + "' " + arguments + " <'" +
                      (tmp / "stdin") + "' >'" + (tmp / "stdout") + "' 2>'" + (tmp / "stderr") +
                      "'";
    int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(tmp / "stderr"),
            ReadBytes(tmp / "stdout")};
}

// The clip text of two valid records with line (from 1) replaced by text.
std::string clipWith(int line, const std::string& text) {
    InitLookupTables();
    std::mt19937 random(43);
    std::vector<EquipmentRef> records;
    for (int k = 0; k < 2; ++k)
        records.push_back(std::make_shared<Equipment>(RandomEquipment(random)));
    std::string clip = EncodeClipboardText(records);
    std::size_t at = 0;
    for (int l = 1; l < line; ++l)
        at = clip.find("\r\n", at) + 2;
    clip.replace(at, clip.find("\r\n", at) - at, text);
    return clip;
}

constexpr int kIconLine = 4 + 40 + 35;  // record 2
constexpr int kTailLine = 4 + 39;
constexpr int kCostLine = 4 + 21;
constexpr int kSoftAttackLine = 4 + 40 + 3;

TEST(SafeImport, ValuesThePairCannotHoldAreRefusedOrWarnedAbout) {
    struct Case {
        const char* what;
        int line;
        std::string text;
        const char* said;
    } cases[] = {
        {"icon of 8", kIconLine, "ABCDEFGH", ":79: IconName is 8 bytes"},
        {"tail of 30", kTailLine, std::string(30, 'x'), ":43: LastPart is 30 bytes"},
        {"cost of 30", kCostLine, "30",
         ":25: PrestigeCost 30 is not a multiple of 12; the file "
         "stores 24"},
        {"fraction", kSoftAttackLine, "1.5", ":47: SoftAttack is given with a fraction"},
    };
    for (const Case& c : cases) {
        ScopedTempFolder tmp;
        std::string clip = clipWith(c.line, c.text);
        Result refused = run(tmp, "import - '" + tmp.path() + "'", clip);
        EXPECT_EQ(refused.status, 1) << c.what;
        EXPECT_NE(refused.err.find(c.said), std::string::npos) << c.what << ": " << refused.err;
        EXPECT_NE(refused.err.find("nothing written"), std::string::npos) << c.what;
        EXPECT_EQ(ReadBytes(tmp / "EQUIP97.EQP"), "<missing>") << c.what;

        Result lenient = run(tmp, "import - '" + tmp.path() + "' --lenient", clip);
        EXPECT_EQ(lenient.status, 0) << c.what << ": " << lenient.err;
        EXPECT_NE(lenient.err.find(std::string("warning: <stdin>") + c.said), std::string::npos)
            << c.what << ": " << lenient.err;
        EXPECT_NE(ReadBytes(tmp / "EQUIP97.EQP"), "<missing>") << c.what;
    }
}

// What Paste reads leniently (a leading number, a word as 0) import refuses,
// with or without --lenient, as it refuses the same cells in CSV.
TEST(SafeImport, ClipValuesAreReadAsStrictlyAsCsv) {
    struct Case {
        int line;
        const char* text;
        const char* said;
    } cases[] = {
        {4, "seven", ":4: EqCode: \"seven\" is not a whole number"},
        {6, "Tank", ":6: EqClass: \"Tank\" is not a whole number"},
        {7, "12 tanks", ":7: SoftAttack: \"12 tanks\" is not a whole number"},
        {8, "", ":8: HardAttack: \"\" is not a whole number"},
        {31, "41a", ":31: YearAvail: \"41a\" is not a whole number"},
        {9, "300", ":9: AirAttack: 300 is not between 0 and 255"},
        {3, "2 records", ":3: the count \"2 records\" is not a whole number"},
        {3, "", ":3: the count \"\" is not a whole number"},
    };
    for (const Case& c : cases) {
        for (const char* lenient : {"", " --lenient"}) {
            SCOPED_TRACE(std::string(c.said) + lenient);
            ScopedTempFolder tmp;
            Result r =
                run(tmp, "import - '" + tmp.path() + "'" + lenient, clipWith(c.line, c.text));
            EXPECT_EQ(r.status, 1) << r.err;
            EXPECT_NE(r.err.find(std::string("<stdin>") + c.said + "; nothing written"),
                      std::string::npos)
                << r.err;
            EXPECT_EQ(ReadBytes(tmp / "EQUIP97.EQP"), "<missing>");
        }
    }
}

TEST(SafeImport, NoRecordsOnlyWithAllowEmpty) {
    // An empty count line is refused as an empty value is (see above).
    for (const std::string& clip :
         {clipWith(3, "0").substr(0, clipWith(3, "0").find("0\r\n") + 3)}) {
        ScopedTempFolder tmp;
        Result refused = run(tmp, "import - '" + tmp.path() + "'", clip);
        EXPECT_EQ(refused.status, 1) << refused.err;
        EXPECT_NE(refused.err.find("no records"), std::string::npos) << refused.err;
        EXPECT_EQ(ReadBytes(tmp / "EQUIP97.EQP"), "<missing>");
        Result allowed = run(tmp, "import - '" + tmp.path() + "' --allow-empty", clip);
        EXPECT_EQ(allowed.status, 0) << allowed.err;
        EXPECT_EQ(ReadBytes(tmp / "EQUIP97.EQP"), std::string("\0\0", 2));
    }
}

TEST(SafeImport, AFailedExportLeavesTheOldFile) {
    ScopedTempFolder tmp;
    std::mt19937 random(47);
    WritePair(tmp.path(), RandomPair(random, 3));
    WriteBytes(tmp / "out.txt", "the old export");
    ASSERT_EQ(::mkdir((tmp / "out.txt.kestrel-tmp").c_str(), 0755), 0);
    WriteBytes(tmp / "out.txt.kestrel-tmp/blocker", "x");
    Result failed = run(tmp, "export '" + tmp.path() + "' -o '" + (tmp / "out.txt") + "'");
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(ReadBytes(tmp / "out.txt"), "the old export");
    ::unlink((tmp / "out.txt.kestrel-tmp/blocker").c_str());
    ::rmdir((tmp / "out.txt.kestrel-tmp").c_str());
    Result written = run(tmp, "export '" + tmp.path() + "' -o '" + (tmp / "out.txt") + "'");
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(ReadBytes(tmp / "out.txt").substr(0, 10), "IFII Equip");
}

TEST(SafeImport, ExportDoesNotWriteOverAPairUnlessForced) {
    struct Case {
        const char* target;
        const char* said;  // nullptr: written without --force
    } cases[] = {
        {"pair/EQUIP97.EQP", "it is a file of the pair being read"},
        {"pair/EQUIP97.TXT", "it is a file of the pair being read"},
        {"other/MOD.EQP", "it is an equipment file"},
        {"other/MOD.TXT", "it is the name list of MOD.EQP beside it"},
        {"other/LONE.TXT", nullptr},
        {"other/NEW.EQP", nullptr},
    };
    std::mt19937 random(67);
    const SamplePair pair = RandomPair(random, 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        ScopedTempFolder tmp;
        ASSERT_EQ(::mkdir((tmp / "pair").c_str(), 0755), 0);
        ASSERT_EQ(::mkdir((tmp / "other").c_str(), 0755), 0);
        WritePair(tmp / "pair", pair);
        WriteBytes(tmp / "other/MOD.EQP", pair.binary);
        WriteBytes(tmp / "other/MOD.TXT", pair.names);
        WriteBytes(tmp / "other/LONE.TXT", "old text");
        const std::string target = tmp / c.target;
        const std::string before = ReadBytes(target);
        Result plain = run(tmp, "export '" + (tmp / "pair") + "' -o '" + target + "'");
        if (c.said) {
            EXPECT_EQ(plain.status, 2) << plain.err;
            EXPECT_NE(plain.err.find(c.said), std::string::npos) << plain.err;
            EXPECT_NE(plain.err.find("--force"), std::string::npos) << plain.err;
            EXPECT_EQ(ReadBytes(target), before);
        } else {
            EXPECT_EQ(plain.status, 0) << plain.err;
        }
        Result forced = run(tmp, "export '" + (tmp / "pair") + "' -o '" + target + "' --force");
        EXPECT_EQ(forced.status, 0) << forced.err;
        EXPECT_EQ(ReadBytes(target).rfind("IFII Equipment Editor", 0), 0u);
    }
}

TEST(SafeImport, CheckNamesWhatASaveCutShortBeforeItsNoteLeft) {
    std::mt19937 random(71);
    const SamplePair pair = RandomPair(random, 2);
    for (const char* left : {"EQUIP97.TXX", "EQUIP97.TMP", "EQUIP97.SVT"}) {
        SCOPED_TRACE(left);
        ScopedTempFolder tmp;
        WritePair(tmp.path(), pair);
        const Result clean = run(tmp, "check '" + tmp.path() + "'");
        WriteBytes(tmp / left, "half a file");
        Result check = run(tmp, "check '" + tmp.path() + "'");
        EXPECT_EQ(check.status, 1) << check.err;
        const std::string line = std::string("file: ") + left +
                                 " is left over from a save that was cut short before it "
                                 "changed the pair; it can be removed\n";
        const std::size_t at = check.out.find(line);
        ASSERT_NE(at, std::string::npos) << check.out;
        EXPECT_EQ(check.out.substr(0, at) + check.out.substr(at + line.size()), clean.out);
        EXPECT_EQ(ReadBytes(tmp / left), "half a file");
    }
}

TEST(SafeImport, CheckFinishesASaveCutShortAndSaysSo) {
    ScopedTempFolder tmp;
    std::mt19937 random(53);
    SamplePair old = RandomPair(random, 3);
    SamplePair fresh = RandomPair(random, 3);
    WritePair(tmp.path(), old);
    WriteBytes(tmp / "EQUIP97.TXX", fresh.names);
    WriteBytes(tmp / "EQUIP97.TMP", fresh.binary);
    IntentEntry names{tmp / "EQUIP97.TXX", tmp / "EQUIP97.TXT",      tmp / "EQUIP97.T",  true,
                      fresh.names.size(),  ContentHash(fresh.names), tmp / "EQUIP97.TB", true,
                      old.names.size(),    ContentHash(old.names)};
    IntentEntry binary{tmp / "EQUIP97.TMP", tmp / "EQUIP97.EQP",       tmp / "EQUIP97.E",  true,
                       fresh.binary.size(), ContentHash(fresh.binary), tmp / "EQUIP97.EB", true,
                       old.binary.size(),   ContentHash(old.binary)};
    WriteBytes(tmp / "EQUIP97.SAV", EncodeIntent({names, binary}));
    // The completed save is one of the problems check lists, not a side note.
    Result check = run(tmp, "check '" + tmp.path() + "'");
    EXPECT_EQ(check.status, 1) << check.err;
    EXPECT_EQ(check.out.rfind("file: an interrupted save of this pair was completed", 0), 0)
        << check.out;
    EXPECT_EQ(check.err.find("was completed"), std::string::npos) << check.err;
    EXPECT_EQ(ReadBytes(tmp / "EQUIP97.TXT"), fresh.names);
    EXPECT_EQ(ReadBytes(tmp / "EQUIP97.EQP"), fresh.binary);
    EXPECT_EQ(ReadBytes(tmp / "EQUIP97.SAV"), "<missing>");
}

TEST(SafeImport, DiffOnlyReportsASaveCutShort) {
    ScopedTempFolder tmp;
    std::mt19937 random(61);
    SamplePair pair = RandomPair(random, 3);
    ASSERT_EQ(::mkdir((tmp / "a").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((tmp / "b").c_str(), 0755), 0);
    WritePair(tmp / "a", pair);
    WritePair(tmp / "b", pair);
    WriteBytes(tmp / "b/EQUIP97.TXX", "new names\r\n");
    IntentEntry names{tmp / "b/EQUIP97.TXX",
                      tmp / "b/EQUIP97.TXT",
                      tmp / "b/EQUIP97.T",
                      true,
                      11,
                      ContentHash("new names\r\n"),
                      "",
                      true,
                      0,
                      0};
    const std::string intent = EncodeIntent({names});
    WriteBytes(tmp / "b/EQUIP97.SAV", intent);
    Result diff = run(tmp, "diff '" + (tmp / "a") + "' '" + (tmp / "b") + "'");
    EXPECT_EQ(diff.status, 0) << diff.err;
    EXPECT_NE(diff.err.find("EQUIP97.SAV from an interrupted save"), std::string::npos) << diff.err;
    EXPECT_EQ(ReadBytes(tmp / "b/EQUIP97.SAV"), intent);
    EXPECT_EQ(ReadBytes(tmp / "b/EQUIP97.TXT"), pair.names);
}

TEST(SafeImport, OnlyRegularFilesAreRead) {
    ScopedTempFolder tmp;
    std::mt19937 random(59);
    WritePair(tmp.path(), RandomPair(random, 2));
    ::unlink((tmp / "EQUIP97.EQP").c_str());
    ASSERT_EQ(::mkfifo((tmp / "EQUIP97.EQP").c_str(), 0644), 0);
    Result fifo = run(tmp, "check '" + tmp.path() + "'");
    EXPECT_EQ(fifo.status, 2);
    EXPECT_NE(fifo.err.find("not a regular file"), std::string::npos) << fifo.err;
    ::unlink((tmp / "EQUIP97.EQP").c_str());
    WritePair(tmp.path(), RandomPair(random, 2));
    ASSERT_EQ(::truncate((tmp / "EQUIP97.TXT").c_str(), 100 << 20), 0);
    Result huge = run(tmp, "check '" + tmp.path() + "'");
    EXPECT_EQ(huge.status, 2);
    EXPECT_NE(huge.err.find("larger than 16 MB"), std::string::npos) << huge.err;

    // A binary file beyond the largest pair is read only that far.
    WritePair(tmp.path(), RandomPair(random, 2));
    ASSERT_EQ(::truncate((tmp / "EQUIP97.EQP").c_str(), 200 << 20), 0);
    Result beyond = run(tmp, "check '" + tmp.path() + "'");
    EXPECT_EQ(beyond.status, 1) << beyond.err;
    EXPECT_NE(beyond.out.find("bytes were not read"), std::string::npos) << beyond.out;
}

}  // namespace
}  // namespace kestrel

#endif  // _WIN32
