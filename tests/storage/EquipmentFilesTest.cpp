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

// The names in folder as the system spells them, sorted.
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
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
        {"empty name list, count 3", "", "good", "Equipment File can not be read1", 0},
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
        EXPECT_EQ(messages.joined(), c.message) << c.what;
        EXPECT_EQ(e.Count(), c.count) << c.what;
    }
}

TEST_F(EquipmentFiles, PathsComeFromTheFolderOfDataPath) {
    EquipmentFilePaths p = PathsFor("/x/y/GAME.DAT");
    EXPECT_EQ(p.nameList, "/x/y/EQUIP97.TXT");
    EXPECT_EQ(p.binary, "/x/y/GAME.DAT");
    EXPECT_EQ(p.binaryTemp, "/x/y/EQUIP97.TMP");
    EXPECT_EQ(p.nameListTemp, "/x/y/EQUIP97.TXX");
    EXPECT_EQ(p.nameListBackup, "/x/y/EQUIP97.T");
    EXPECT_EQ(p.binaryBackup, "/x/y/EQUIP97.E");
    EXPECT_EQ(PathsFor("EQUIP97.EQP").nameList, "EQUIP97.TXT");
}

TEST_F(EquipmentFiles, OtherBinaryNameAndLowerCaseNameList) {
    std::mt19937 random(5);
    std::vector<Equipment> records = randomRecords(random, 4);
    SamplePair pair = EncodePair(records);
    WriteBytes(folder / "equip97.txt", pair.names);
    WriteBytes(folder / "mine.eqp", pair.binary);
    Equipments e = load(folder / "mine.eqp");
    EXPECT_EQ(messages.joined(), "");
    EXPECT_EQ(contents(e), records);

    e.Item(1)->setEqName("changed");
    PutEquipments(e);
    EXPECT_EQ(messages.joined(), "");
    EXPECT_EQ(ReadBytes(folder / "equip97.txt").substr(0, 9), "changed\r\n");
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.T"), pair.names);
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.E"), pair.binary);
    // Also where names are found whatever their case: the pair keeps its own.
    EXPECT_EQ(namesIn(folder.path()),
              (std::vector<std::string>{"EQUIP97.E", "EQUIP97.T", "equip97.txt", "mine.eqp"}));
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
        {"name with a line feed and a code out of range",
         [](Equipments& e) {
             e.Item(3)->setEqName("a\nb");
             e.Item(3)->setEqCode(-1);
         },
         "Equipment File can not be written3\n"
         "record 3 (N -1, \"a\\nb\"): EqCode -1 is outside 0 to 32767; the save refuses it\n"
         "record 3 (N -1, \"a\\nb\"): EqName holds a line break, which would split the name "
         "list; the save refuses it"},
    };
    for (const Case& c : cases) {
        Equipments e = load(folder / "EQUIP97.EQP");
        c.change(e);
        messages.messages.clear();
        PutEquipments(e);
        EXPECT_EQ(messages.joined(), c.message) << c.what;
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
    EXPECT_EQ(messages.joined(), "Equipment File can not be written1");
    GetEquipments(e);
    EXPECT_EQ(messages.messages.back(), "Equipment File can not be read1");
    EXPECT_EQ(e.Count(), 1);
}

// For every k, the k-th changing file operation of a save fails. The real
// names must exist throughout and each must end either as before or as new.
TEST_F(EquipmentFiles, SaveFaultAtEveryOperation) {
    std::mt19937 random(17);
    SamplePair old = RandomPair(random, 5);
    const std::string txt = folder / "EQUIP97.TXT";
    const std::string eqp = folder / "EQUIP97.EQP";
    Equipments changed;
    ASSERT_EQ(DecodeEquipmentPair(old.names, old.binary, changed), 0);
    changed.Item(2)->setEqName("renamed");
    changed.setDataPath(eqp);
    const std::vector<Equipment> before = contents(changed);
    SamplePair fresh = EncodePair(before);

    for (int k = 1;; ++k) {
        WritePair(folder.path(), old);
        FailingFileSystem fs(k);
        fs.beforeEach = [&] {
            ASSERT_NE(ReadBytes(txt), "<missing>") << k;
            ASSERT_NE(ReadBytes(eqp), "<missing>") << k;
        };
        messages.messages.clear();
        {
            ScopedFileSystem use(fs);
            PutEquipments(changed);
        }
        EXPECT_EQ(contents(changed), before) << k;
        std::string names = ReadBytes(txt);
        std::string binary = ReadBytes(eqp);
        EXPECT_TRUE(names == old.names || names == fresh.names) << k;
        EXPECT_TRUE(binary == old.binary || binary == fresh.binary) << k;
        const std::string& failed = fs.failed();
        if (failed.empty()) {
            EXPECT_EQ(messages.joined(), "");
            EXPECT_EQ(names, fresh.names);
            EXPECT_EQ(binary, fresh.binary);
            EXPECT_GT(k, 5);
            break;
        }
        if (failed.rfind("link ", 0) == 0) {
            // The copy stands in for the link: nothing to tell.
            EXPECT_EQ(messages.joined(), "") << failed;
        } else if (failed == "writeFile " + folder / "EQUIP97.TXX") {
            EXPECT_EQ(messages.joined(), "Equipment File can not be written1") << failed;
        } else {
            EXPECT_EQ(messages.joined(), "Equipment File can not be written6") << failed;
        }
        if (failed.rfind("writeFile", 0) == 0) {
            EXPECT_EQ(names, old.names) << failed;
            EXPECT_EQ(binary, old.binary) << failed;
        }
    }
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
