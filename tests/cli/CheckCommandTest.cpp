// kestrel-eqp check as a subprocess: its forms, its exit status, and that it
// lists what the core's check gives for the same pair.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "check/LoadProblems.h"
#include "check/Validator.h"
#include "cli/ToolRunner.h"
#include "storage/EquipmentFiles.h"
#include "support/MessageRecorder.h"
#include "support/SamplePairs.h"
#include "text/CodePage.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome check(const ScopedTempFolder& tmp, const std::string& folder, const std::string& options) {
    using testing::shellQuoted;
    std::string cmd = shellQuoted(KESTREL_EQP_PATH) + " check " + shellQuoted(folder) + " " +
                      options + " >" + shellQuoted(tmp / "stdout") + " 2>" +
                      shellQuoted(tmp / "stderr");
    Outcome r;
    r.status = testing::runCommand(cmd);
    r.out = ReadBytes(tmp / "stdout");
    r.err = ReadBytes(tmp / "stderr");
    return r;
}

Equipment clean(Long code, const Text& name) {
    Equipment e;
    e.setEqCode(code);
    e.setEqName(name);
    e.setPrestigeCost(24);
    e.setIconName("ICON");
    return e;
}

// Record 2 has a class with no word (a warning), record 3 a name with a lone
// line feed, which a load keeps and a save writes back as it was.
SamplePair mixedPair(bool withError) {
    std::vector<Equipment> records = {clean(0, "Base"), clean(1, "Tiger \xC4"),
                                      clean(2, "Car, \"big\"")};
    records[1].setEqClass(30);
    SamplePair pair = EncodePair(records);
    if (withError)
        pair.names.replace(pair.names.find("big"), 3, "b\ng");
    return pair;
}

TEST(CheckCommand, FormsAndExitStatus) {
    InitLookupTables();
    ScopedTempFolder tmp;
    const std::string clean = tmp / "clean";
    const std::string warned = tmp / "warned";
    const std::string refused = tmp / "refused";
    const std::string unreadable = tmp / "unreadable";
    for (const std::string& f : {clean, warned, refused, unreadable})
        ASSERT_TRUE(std::filesystem::create_directory(f));
    WritePair(clean, std::vector<Equipment>{::kestrel::clean(0, "A"), ::kestrel::clean(1, "B")});
    WritePair(warned, mixedPair(false));
    WritePair(refused, mixedPair(true));
    SamplePair bad = mixedPair(false);
    bad.binary.replace(2 + 73 * 2, 2, "\x05\x80");
    WritePair(unreadable, bad);

    struct Case {
        const char* what;
        std::string folder;
        std::string options;
        int status;
        std::string out;
        std::string err;
    };
    const std::string noWord = "record 2 (N 1, \"Tiger \xC3\x84\"): EqClass 30 has no word\n";
    const Case cases[] = {
        // The counts go to standard error on a clean pair too.
        {"clean", clean, "", 0, "", "kestrel-eqp: 0 errors, 0 warnings\n"},
        {"clean, errors only", clean, "--errors-only", 0, "", "kestrel-eqp: 0 errors\n"},
        {"clean csv", clean, "--format csv", 0, "severity,record,EqCode,EqName,field,message\r\n",
         "kestrel-eqp: 0 errors, 0 warnings\n"},
        {"a warning", warned, "", 1, noWord, "kestrel-eqp: 0 errors, 1 warning\n"},
        {"a warning, errors only", warned, "--errors-only", 0, "", "kestrel-eqp: 0 errors\n"},
        // A lone LF in a name is read back as it was: nothing to refuse.
        {"a lone LF in a name", refused, "", 1, noWord, "kestrel-eqp: 0 errors, 1 warning\n"},
        {"a lone LF, errors only", refused, "--errors-only", 0, "", "kestrel-eqp: 0 errors\n"},
        {"as csv", refused, "-f csv", 1,
         "severity,record,EqCode,EqName,field,message\r\n"
         "warning,2,1,Tiger \xC3\x84,EqClass,EqClass 30 has no word\r\n",
         "kestrel-eqp: 0 errors, 1 warning\n"},
        {"unreadable record", unreadable, "--format=csv", 1,
         "severity,record,EqCode,EqName,field,message\r\n"
         "warning,3,3,\"Car, \"\"big\"\"\",EqCode,\"EqCode 32773 in the file is above 32767; the "
         "load stopped here, so the record is read in part and those after it hold the names "
         "only (\"\"Equipment File can not be read3\"\")\"\r\n"
         "warning,2,1,Tiger \xC3\x84,EqClass,EqClass 30 has no word\r\n",
         "kestrel-eqp: 0 errors, 2 warnings\n"},
        {"unknown format", clean, "--format xml", 2, "", "unknown format"},
        {"two paths", clean, "'" + clean + "'", 2, "", "check takes one PATH"},
        {"unknown option", clean, "--errors", 2, "", "unknown option --errors"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Outcome r = check(tmp, c.folder, c.options);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
        if (c.status == 2) {
            EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        } else {
            EXPECT_EQ(r.err, c.err);
        }
    }
}

TEST(CheckCommand, ListsWhatTheCoreCheckGivesForTheSamePair) {
    InitLookupTables();
    std::mt19937 random(7);
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        ScopedTempFolder tmp;
        std::vector<Equipment> records;
        for (int i = 0; i < 200; ++i) {
            Equipment e = RandomEquipment(random);
            e.setEqCode(i % 150);  // some codes twice
            switch (i % 7) {
                case 1:
                    e.setEqClass(static_cast<Byte>(20 + i % 5));
                    break;
                case 2:
                    e.setPrestigeCost(e.PrestigeCost() + 5);
                    break;
                case 3:
                    e.setMovementMode(14);
                    break;
                default:
                    break;
            }
            records.push_back(e);
        }
        SamplePair pair = EncodePair(records);
        if (round == 1)
            pair.binary += "tail";
        if (round == 2)
            pair.binary.replace(2 + 73 * 40 + 30, 4, std::string(4, '\x11'));
        if (round == 3)
            pair.names += "one more\r\n";
        WritePair(tmp.path(), pair);

        // The editor's way: a load through the core, then the shared check.
        MessageRecorder messages;
        Equipments loaded;
        loaded.setDataPath(tmp / "EQUIP97.EQP");
        Long failedAt = DecodeEquipmentPair(pair.names, pair.binary, loaded);
        std::vector<Problem> problems = LoadProblems(pair.names, pair.binary, loaded, failedAt);
        for (Problem& p : CheckList(loaded))
            problems.push_back(p);
        std::string expected;
        for (const Problem& p : problems)
            expected += CodePageToUtf8(FormatProblem(p)) + "\n";
        ASSERT_FALSE(problems.empty());

        Outcome r = check(tmp, tmp.path(), "");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, expected);
    }
}

}  // namespace
}  // namespace kestrel
