// What a load meets in the files, read back as problems from pairs made
// byte by byte.

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "check/LoadProblems.h"
#include "storage/EquipmentFiles.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

constexpr std::size_t recordAt(int position) {
    return 2 + 73 * static_cast<std::size_t>(position - 1);
}

SamplePair threeRecords() {
    std::vector<Equipment> records(3);
    for (int i = 0; i < 3; ++i) {
        records[static_cast<std::size_t>(i)].setEqCode(10 + i);
        records[static_cast<std::size_t>(i)].setEqName("E" + std::to_string(i + 1));
    }
    return EncodePair(records);
}

TEST(LoadProblems, EachFindingOfTheLoad) {
    InitLookupTables();
    struct Case {
        const char* what;
        std::function<void(SamplePair&)> spoil;
        std::vector<std::string> expected;  // FormatProblem of each, in order
    };
    const Case cases[] = {
        {"clean", [](SamplePair&) {}, {}},
        {"a blank last line",
         [](SamplePair& p) { p.names += "\r\n"; },
         {"file: the name list has 4 lines, the equipment file 3 records; line 4 is empty; it is "
          "left out, and a save writes the list without it"}},
        {"one name more",
         [](SamplePair& p) { p.names += "E4\r\n"; },
         {"file: the name list has 4 lines, the equipment file 3 records; line 4 (\"E4\") has no "
          "record and is left out (\"Equipment File can not be read5\")"}},
        {"one name fewer, a mask",
         [](SamplePair& p) {
             p.names.resize(p.names.size() - 4);
             p.binary.replace(recordAt(3) + 30, 4, std::string("\x60\x00\x00\x01", 4));
         },
         {"file: the name list has 2 lines, the equipment file 3 records; record 3 has no name "
          "line and is listed with an empty name (\"Equipment File can not be read3\")",
          "record 3 (N 12, \"\"): country mask 60000001 matches no country; a save keeps it "
          "unless the country is changed"}},
        {"LF line ends",
         [](SamplePair& p) { p.names = "E1\nE2\nE3\n"; },
         {"file: the name list ends its lines with LF alone, not CR LF; it was read line by "
          "line, and a save writes CR LF"}},
        {"one byte",
         [](SamplePair& p) { p.binary = "\x03"; },
         {"file: the equipment file is 1 byte long, too short for its record count; the load "
          "kept the names only, every value 0"}},
        {"count above 32767",
         [](SamplePair& p) { p.binary[1] = '\x80'; },
         {"file: the equipment file's record count 32771 is above 32767; the load kept the "
          "names only, every value 0"}},
        {"short",
         [](SamplePair& p) { p.binary.resize(recordAt(3) + 10); },
         {"file: the equipment file ends inside record 3 of 3 (158 of 221 bytes); the load "
          "stopped there, and from record 3 on the list holds the names only (\"Equipment File "
          "can not be read3\")"}},
        {"bytes after",
         [](SamplePair& p) { p.binary += "xyz"; },
         {"file: 3 bytes after the last record; a save of this pair keeps them"}},
        {"sound above 32767",
         [](SamplePair& p) { p.binary[recordAt(2) + 48] = '\x90'; },
         {"record 2 (N 11, \"E2\"): MoveSound 36864 in the file is above 32767; the load "
          "stopped here, so the record is read in part and those after it hold the names only "
          "(\"Equipment File can not be read2\")"}},
        {"masks",
         [](SamplePair& p) {
             p.binary.replace(recordAt(1) + 30, 4, std::string("\x00\x00\x00\x00", 4));
             p.binary.replace(recordAt(3) + 30, 4, std::string("\x60\x00\x00\x01", 4));
         },
         {"record 1 (N 10, \"E1\"): country mask 00000000 matches no country; a save keeps it "
          "unless the country is changed",
          "record 3 (N 12, \"E3\"): country mask 60000001 matches no country; a save keeps it "
          "unless the country is changed"}},
        // Past the record the load stopped at, masks are not read.
        {"mask after a stop",
         [](SamplePair& p) {
             p.binary[recordAt(1) + 35] = '\xFF';
             p.binary.replace(recordAt(2) + 30, 4, std::string(4, '\0'));
         },
         {"record 1 (N 10, \"E1\"): UnitSpecial 65280 in the file is above 32767; the load "
          "stopped here, so the record is read in part and those after it hold the names only "
          "(\"Equipment File can not be read1\")"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SamplePair pair = threeRecords();
        c.spoil(pair);
        Equipments loaded;
        Long failedAt = DecodeEquipmentPair(pair.names, pair.binary, loaded);
        std::vector<std::string> found;
        for (const Problem& p : LoadProblems(pair.names, pair.binary, loaded, failedAt)) {
            EXPECT_EQ(p.severity, Severity::Warning);
            found.push_back(FormatProblem(p));
        }
        EXPECT_EQ(found, c.expected);
    }
}

// Damaged pairs of every shape: the findings stay within the bytes and the
// list, whatever the loader made of them.
TEST(LoadProblems, DamagedPairsNeverReadPastTheirBytes) {
    InitLookupTables();
    std::mt19937 random(5);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    for (int round = 0; round < 2000; ++round) {
        SamplePair pair = RandomPair(random, pick(5));
        for (int damage = pick(4); damage > 0 && !pair.binary.empty(); --damage) {
            const std::size_t at =
                static_cast<std::size_t>(pick(static_cast<int>(pair.binary.size())));
            switch (pick(3)) {
                case 0:
                    pair.binary[at] = static_cast<char>(pick(256));
                    break;
                case 1:
                    pair.binary.resize(at);
                    break;
                default:
                    pair.names += pick(2) ? "x\r\n" : "\r";
            }
        }
        Equipments loaded;
        Long failedAt = DecodeEquipmentPair(pair.names, pair.binary, loaded);
        std::vector<Problem> problems;
        ASSERT_NO_THROW(problems = LoadProblems(pair.names, pair.binary, loaded, failedAt));
        for (const Problem& p : problems)
            ASSERT_LE(p.record, loaded.Count()) << round;
        if (failedAt != 0) {
            EXPECT_FALSE(problems.empty()) << round;
        }
    }
}

}  // namespace
}  // namespace kestrel
