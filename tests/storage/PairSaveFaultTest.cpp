// A save stopped at each of its file operations, by a failure it sees and by
// a crash it does not survive: the next load finds exactly the old pair or
// exactly the new one, and what the user was told matches it.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "support/FailingFileSystem.h"
#include "support/MessageRecorder.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

struct Outcome {
    std::string saveMessage;
    std::string loadMessage;
    std::string names;
    std::string binary;
    std::string failed;
    bool done = false;  // k was past the save's last operation
};

class PairSaveFaults : public ::testing::Test {
protected:
    void SetUp() override {
        InitLookupTables();
        std::mt19937 random(17);
        old = RandomPair(random, 5);
        earlier = RandomPair(random, 2);
        Equipments changed;
        ASSERT_EQ(DecodeEquipmentPair(old.names, old.binary, changed), 0);
        changed.Item(2)->setEqName("renamed");
        changed.Remove(4);
        fresh = EncodePair(
            {changed.begin()->operator*(), *changed.Item(2), *changed.Item(3), *changed.Item(4)});
    }

    // Saves the changed pair over the old one with operation k failing or
    // crashing, then loads the folder as the next run of the editor would.
    Outcome saveWith(int k, FailingFileSystem::Mode mode) {
        ScopedTempFolder folder;
        // The pair has backups of an earlier one: whatever happens, the
        // backups stay one pair, the earlier one or the one saved over.
        WritePair(folder.path(), earlier);
        ::rename((folder / "EQUIP97.TXT").c_str(), (folder / "EQUIP97.T").c_str());
        ::rename((folder / "EQUIP97.EQP").c_str(), (folder / "EQUIP97.E").c_str());
        WritePair(folder.path(), old);
        const std::string eqp = folder / "EQUIP97.EQP";
        Equipments changed;
        changed.setDataPath(eqp);
        EXPECT_EQ(DecodeEquipmentPair(fresh.names, fresh.binary, changed), 0);
        Outcome outcome;
        MessageRecorder messages;
        {
            FailingFileSystem fs(k, mode);
            fs.beforeEach = [&] {
                ASSERT_NE(ReadBytes(folder / "EQUIP97.TXT"), "<missing>") << k;
                ASSERT_NE(ReadBytes(eqp), "<missing>") << k;
            };
            ScopedFileSystem use(fs);
            PutEquipments(changed);
            outcome.failed = fs.failed();
            outcome.done = fs.failed().empty();
        }
        outcome.saveMessage = messages.joined();
        messages.messages.clear();
        Equipments loaded;
        loaded.setDataPath(eqp);
        GetEquipments(loaded);
        outcome.loadMessage = messages.joined();
        const std::string backupNames = ReadBytes(folder / "EQUIP97.T");
        const std::string backupBinary = ReadBytes(folder / "EQUIP97.E");
        EXPECT_TRUE((backupNames == earlier.names && backupBinary == earlier.binary) ||
                    (backupNames == old.names && backupBinary == old.binary))
            << "backups after " << outcome.failed;
        outcome.names = ReadBytes(folder / "EQUIP97.TXT");
        outcome.binary = ReadBytes(eqp);
        // Nothing of the save is left to block the next one.
        for (const char* leftover : {"EQUIP97.TXX", "EQUIP97.TMP", "EQUIP97.SAV", "EQUIP97.SVT",
                                     "EQUIP97.TB", "EQUIP97.EB"}) {
            if (mode == FailingFileSystem::Mode::Fail || leftover[9] == 'A') {
                EXPECT_EQ(ReadBytes(folder / leftover), "<missing>")
                    << leftover << " after " << outcome.failed;
            }
        }
        return outcome;
    }

    SamplePair old;
    SamplePair fresh;
    SamplePair earlier;
};

bool holds(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

TEST_F(PairSaveFaults, AFailureAtEveryOperationIsToldAsItIs) {
    for (int k = 1;; ++k) {
        Outcome o = saveWith(k, FailingFileSystem::Mode::Fail);
        const bool isOld = o.names == old.names && o.binary == old.binary;
        const bool isNew = o.names == fresh.names && o.binary == fresh.binary;
        ASSERT_TRUE(isOld || isNew) << o.failed;
        if (o.done) {
            EXPECT_EQ(o.saveMessage, "");
            EXPECT_TRUE(isNew);
            EXPECT_GT(k, 15);
            break;
        }
        if (o.saveMessage.empty()) {
            // Only where something stood in for the failed step.
            EXPECT_TRUE(isNew) << o.failed;
            EXPECT_TRUE(holds(o.failed, "link ") || holds(o.failed, "remove ") ||
                        o.loadMessage.find("completed") != std::string::npos)
                << o.failed;
        } else if (holds(o.saveMessage, "next load")) {
            // Past the first rename: the load finishes the save and says so.
            EXPECT_TRUE(isNew) << o.failed;
            EXPECT_TRUE(holds(o.loadMessage, "was completed") || o.loadMessage.empty())
                << o.failed << ": " << o.loadMessage;
        } else {
            EXPECT_TRUE(holds(o.saveMessage, "Equipment File can not be written")) << o.failed;
            EXPECT_TRUE(isOld) << o.failed << ": " << o.saveMessage;
            EXPECT_EQ(o.loadMessage, "") << o.failed;
        }
    }
}

TEST_F(PairSaveFaults, ACrashAtEveryOperationLeavesOneWholePair) {
    bool sawCompleted = false;
    for (int k = 1;; ++k) {
        Outcome o = saveWith(k, FailingFileSystem::Mode::Crash);
        const bool isOld = o.names == old.names && o.binary == old.binary;
        const bool isNew = o.names == fresh.names && o.binary == fresh.binary;
        ASSERT_TRUE(isOld || isNew) << o.failed;
        if (o.done) {
            EXPECT_TRUE(isNew);
            EXPECT_EQ(o.loadMessage, "");
            break;
        }
        if (holds(o.loadMessage, "completed")) {
            sawCompleted = true;
            EXPECT_TRUE(isNew) << o.failed;
        } else if (holds(o.loadMessage, "undone")) {
            EXPECT_TRUE(isOld) << o.failed;
        } else {
            EXPECT_EQ(o.loadMessage, "") << o.failed;
        }
    }
    EXPECT_TRUE(sawCompleted);
}

}  // namespace
}  // namespace kestrel
