// Loading and saving real file pairs in temporary folders, with faults
// injected through the file-system seam.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "check/Validator.h"
#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "support/FailingFileSystem.h"
#include "support/MessageRecorder.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

using namespace std::string_literals;

class EquipmentFiles : public ::testing::Test {
protected:
    void SetUp() override { InitLookupTables(); }

    Equipments load(const std::string& dataPath) {
        Equipments e;
        e.setDataPath(dataPath);
        GetEquipments(e);
        return e;
    }

    ScopedTempFolder folder;
    MessageRecorder messages;
};

std::vector<Equipment> randomRecords(std::mt19937& random, int count) {
    std::vector<Equipment> records;
    for (int k = 0; k < count; ++k)
        records.push_back(RandomEquipment(random));
    return records;
}

// The system's own text, which stays the first line of a message.
std::string firstLine(const std::string& message) {
    return message.substr(0, message.find('\n'));
}

std::vector<Equipment> contents(const Equipments& e) {
    std::vector<Equipment> records;
    for (const EquipmentRef& r : e)
        records.push_back(*r);
    return records;
}

TEST_F(EquipmentFiles, LoadOutcomes) {
    std::mt19937 random(3);
    SamplePair good = RandomPair(random, 3);
    struct Case {
        const char* what;
        const char* names;   // nullptr: no name list
        const char* binary;  // nullptr: no binary file
        std::string message;
        int count;
    } cases[] = {
        {"good pair", "good", "good", "", 3},
        {"no name list", nullptr, "good", "Equipment File can not be read1", 0},
        {"no binary file", "good", nullptr, "Equipment File can not be read4", 3},
        {"empty name list, count 0", "", "\x00\x00", "", 0},
        // The records are listed all the same, with empty names.
        {"empty name list, count 3", "", "good", "Equipment File can not be read1", 3},
    };
    for (const Case& c : cases) {
        ScopedTempFolder f;
        if (c.names)
            WriteBytes(f / "EQUIP97.TXT", c.names == "good"s ? good.names : c.names);
        if (c.binary) {
            WriteBytes(f / "EQUIP97.EQP", c.binary == "good"s ? good.binary : "\x00\x00"s);
        }
        messages.messages.clear();
        Equipments e = load(f / "EQUIP97.EQP");
        EXPECT_EQ(firstLine(messages.joined()), c.message) << c.what;
        EXPECT_EQ(e.Count(), c.count) << c.what;
    }
}

TEST_F(EquipmentFiles, PathsFollowTheBinaryFilesStem) {
    EquipmentFilePaths p = PathsFor("/x/y/GAME.EQP");
    EXPECT_EQ(p.nameList, "/x/y/GAME.TXT");
    EXPECT_EQ(p.binary, "/x/y/GAME.EQP");
    EXPECT_EQ(p.binaryTemp, "/x/y/GAME.TMP");
    EXPECT_EQ(p.nameListTemp, "/x/y/GAME.TXX");
    EXPECT_EQ(p.nameListBackup, "/x/y/GAME.T");
    EXPECT_EQ(p.binaryBackup, "/x/y/GAME.E");
    EXPECT_EQ(PathsFor("EQUIP97.EQP").nameList, "EQUIP97.TXT");
    EXPECT_EQ(PathsFor("/m/mod.eqp").nameList, "/m/mod.txt");
    EXPECT_EQ(PathsFor("/m/mod.eqp").binaryBackup, "/m/mod.e");
    EXPECT_TRUE(IsEquipmentFileName("/a/X.eQp"));
    EXPECT_FALSE(IsEquipmentFileName("/a/EQUIP97.EPQ"));
    EXPECT_FALSE(IsEquipmentFileName("/a.EQP/Ironfrnt2"));
    EXPECT_FALSE(IsEquipmentFileName(".EQP"));
}

TEST_F(EquipmentFiles, OtherBinaryNameAndOtherCaseNameList) {
    std::mt19937 random(5);
    std::vector<Equipment> records = randomRecords(random, 4);
    SamplePair pair = EncodePair(records);
    WritePair(folder.path(), randomRecords(random, 2));
    WriteBytes(folder / "MINE.TXT", pair.names);
    WriteBytes(folder / "mine.eqp", pair.binary);
    Equipments e = load(folder / "mine.eqp");
    EXPECT_EQ(messages.joined(), "");
    EXPECT_EQ(contents(e), records);

    const std::string gameNames = ReadBytes(folder / "EQUIP97.TXT");
    const std::string gameBinary = ReadBytes(folder / "EQUIP97.EQP");
    e.Item(1)->setEqName("changed");
    PutEquipments(e);
    EXPECT_EQ(messages.joined(), "");
    EXPECT_EQ(ReadBytes(folder / "MINE.TXT").substr(0, 9), "changed\r\n");
    EXPECT_EQ(ReadBytes(folder / "mine.t"), pair.names);
    EXPECT_EQ(ReadBytes(folder / "mine.e"), pair.binary);
    // The game's own pair beside it is not touched.
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), gameNames);
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.EQP"), gameBinary);
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.T"), "<missing>");
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.E"), "<missing>");

    for (const char* refused : {"EQUIP97.EPQ", "Ironfrnt2", "x.eqp.bak"}) {
        messages.messages.clear();
        e.setDataPath(folder / refused);
        PutEquipments(e);
        EXPECT_EQ(firstLine(messages.joined()), "Equipment File can not be written1") << refused;
        EXPECT_EQ(ReadBytes(folder / refused), "<missing>") << refused;
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), gameNames) << refused;
    }
}

// Windows keeps only the owner's write bit, as the read-only attribute.
TEST_F(EquipmentFiles, SavesTwiceWithBackupsAndKeepsPermissions) {
#ifdef _WIN32
    const unsigned modes[] = {0444u};
#else
    const unsigned modes[] = {0640u, 0444u};
#endif
    std::mt19937 random(9);
    for (unsigned mode : modes) {
        SCOPED_TRACE(mode);
        ScopedTempFolder folder;
        SamplePair first = RandomPair(random, 2);
        WritePair(folder.path(), first);
        ::chmod((folder / "EQUIP97.EQP").c_str(), mode);
        Equipments e = load(folder / "EQUIP97.EQP");
        PutEquipments(e);
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), first.names);
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.EQP"), first.binary);
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.E"), first.binary);

        e.Remove(1);
        PutEquipments(e);
        EXPECT_EQ(messages.joined(), "");
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.T"), first.names);
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.EQP").size(), 2u + 73u);
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.TMP"), "<missing>");
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXX"), "<missing>");
        struct stat st {};
        ASSERT_EQ(::stat((folder / "EQUIP97.EQP").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, mode);
    }
}

TEST_F(EquipmentFiles, SaveFailuresBeforeMovingLeaveTheFilesAlone) {
    std::mt19937 random(13);
    SamplePair old = RandomPair(random, 6);
    WritePair(folder.path(), old);
    struct Case {
        const char* what;
        void (*change)(Equipments&);
        std::string message;
    } cases[] = {
        {"record 5 out of range",
         [](Equipments& e) {
             e.Item(5)->setCountry(26);
             e.Item(5)->setEqCode(298);
             e.Item(5)->setEqName("Tiger I");
         },
         "Equipment File can not be written5\n"
         "record 5 (N 298, \"Tiger I\"): Country 26 is outside 0 to 25; the save refuses it"},
        {"name with a carriage return and a code out of range",
         [](Equipments& e) {
             e.Item(3)->setEqName("a\rb");
             e.Item(3)->setEqCode(-1);
         },
         "Equipment File can not be written3\n"
         "record 3 (N -1, \"a\\rb\"): EqCode -1 is outside 0 to 32767; the save refuses it\n"
         "record 3 (N -1, \"a\\rb\"): EqName holds a CR, which would split the name list; "
         "the save refuses it"},
    };
    for (const Case& c : cases) {
        Equipments e = load(folder / "EQUIP97.EQP");
        c.change(e);
        const SaveResult saved = SaveEquipments(e);
        EXPECT_FALSE(saved.ok) << c.what;
        // The save names the record; the check says what is wrong with it.
        EXPECT_EQ(saved.message, firstLine(c.message)) << c.what;
        EXPECT_EQ(SaveFailureMessage(e, saved), c.message) << c.what;
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), old.names) << c.what;
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.EQP"), old.binary) << c.what;
    }
}

TEST_F(EquipmentFiles, AFileWhereTheFolderShouldBe) {
    WriteBytes(folder / "plain", "x");
    Equipments e;
    e.Add(Equipment());
    e.setDataPath(folder / "plain/EQUIP97.EQP");
    PutEquipments(e);
    EXPECT_EQ(messages.joined(), "Equipment File can not be written1\nthe folder " +
                                     folder / "plain/" + " does not exist");
    GetEquipments(e);
    EXPECT_EQ(firstLine(messages.messages.back()), "Equipment File can not be read1");
    EXPECT_EQ(e.Count(), 1);
}

TEST_F(EquipmentFiles, RandomPairsRoundTripThroughFiles) {
    std::mt19937 random(21);
    for (int round = 0; round < 10; ++round) {
        ScopedTempFolder from;
        ScopedTempFolder to;
        SamplePair pair = RandomPair(random, round * 3);
        WritePair(from.path(), pair);
        Equipments e = load(from / "EQUIP97.EQP");
        e.setDataPath(to / "EQUIP97.EQP");
        PutEquipments(e);
        EXPECT_EQ(messages.joined(), "");
        EXPECT_EQ(ReadBytes(to / "EQUIP97.TXT"), pair.names);
        EXPECT_EQ(ReadBytes(to / "EQUIP97.EQP"), pair.binary);
    }
}

// A name list as a text editor leaves it (a blank last line, LF line ends)
// loads with a warning and is saved as the game writes it, saved in place with
// the files as read kept as backups.
TEST_F(EquipmentFiles, NameListsAsTextEditorsLeaveThem) {
    std::mt19937 random(41);
    std::vector<Equipment> records = randomRecords(random, 3);
    const char* const names[] = {"Tiger I", "Panzer IV\xE4", "PaK 40"};
    for (std::size_t k = 0; k < 3; ++k)
        records[k].setEqName(names[k]);
    const SamplePair pair = EncodePair(records);
    const std::string blank =
        "the name list has 4 lines, the equipment file 3 records; line 4 is empty; it is left "
        "out, and a save writes the list without it";
    struct Case {
        const char* what;
        std::string names;
        std::string message;
    } cases[] = {
        {"blank last line", pair.names + "\r\n", blank},
        {"LF line ends", "Tiger I\nPanzer IV\xE4\nPaK 40\n", kLfLineEndsMessage},
        {"LF line ends, no last LF", "Tiger I\nPanzer IV\xE4\nPaK 40", kLfLineEndsMessage},
        {"LF line ends and a blank last line", "Tiger I\nPanzer IV\xE4\nPaK 40\n\n",
         kLfLineEndsMessage + std::string("\n") + blank},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedTempFolder f;
        WritePair(f.path(), {c.names, pair.binary});
        messages.messages.clear();
        Equipments e;
        e.setDataPath(f / "EQUIP97.EQP");
        LoadReport report = LoadEquipments(e);
        EXPECT_TRUE(report.complete);
        EXPECT_EQ(report.failedAt, 0);
        EXPECT_EQ(report.message(), c.message);
        EXPECT_EQ(contents(e), records);
        PutEquipments(e);
        EXPECT_EQ(messages.joined(), "");
        EXPECT_EQ(ReadBytes(f / "EQUIP97.TXT"), pair.names);
        EXPECT_EQ(ReadBytes(f / "EQUIP97.EQP"), pair.binary);
        EXPECT_EQ(ReadBytes(f / "EQUIP97.T"), c.names);
    }
}

TEST_F(EquipmentFiles, LoadsTheLargestPair) {
    std::mt19937 random(25);
    SamplePair pair = RandomPair(random, 32767);
    WritePair(folder.path(), pair);
    auto start = std::chrono::steady_clock::now();
    Equipments e = load(folder / "EQUIP97.EQP");
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(messages.joined(), "");
    EXPECT_EQ(e.Count(), 32767);
    RecordProperty(
        "load_ms",
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
}

}  // namespace
}  // namespace kestrel
