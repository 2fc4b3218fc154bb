// Two saves of one pair, and saves over a pair that already has backups: the
// pair always ends as one whole pair, the backups as one whole earlier pair,
// and each save tells the truth about what it did.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "storage/SaveIntent.h"
#include "support/FailingFileSystem.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

// The real files without fsyncs, so that a few hundred saves stay quick;
// fsyncs change nothing that one process sees.
class QuickFileSystem : public NativeFileSystem {
public:
    QuickFileSystem() : NativeFileSystem(Durability::Unsynced) {}
};

class SaveRace : public ::testing::Test {
protected:
    void SetUp() override {
        InitLookupTables();
        std::mt19937 random(5);
        earlier = RandomPair(random, 3);
        old = RandomPair(random, 4);
        a = RandomPair(random, 5);
        b = RandomPair(random, 2);
        previousWait = SetSaveLockWait(0);
    }
    void TearDown() override { SetSaveLockWait(previousWait); }

    // The pair of the folder and its backups, as they stand.
    SamplePair pairIn(const ScopedTempFolder& folder) const {
        return {ReadBytes(folder / "EQUIP97.TXT"), ReadBytes(folder / "EQUIP97.EQP")};
    }
    SamplePair backupsIn(const ScopedTempFolder& folder) const {
        return {ReadBytes(folder / "EQUIP97.T"), ReadBytes(folder / "EQUIP97.E")};
    }
    void start(const ScopedTempFolder& folder) const {
        WritePair(folder.path(), earlier);
        ::rename((folder / "EQUIP97.TXT").c_str(), (folder / "EQUIP97.T").c_str());
        ::rename((folder / "EQUIP97.EQP").c_str(), (folder / "EQUIP97.E").c_str());
        WritePair(folder.path(), old);
    }
    static SaveResult save(const ScopedTempFolder& folder, const SamplePair& pair) {
        Equipments list;
        list.setDataPath(folder / "EQUIP97.EQP");
        EXPECT_EQ(DecodeEquipmentPair(pair.names, pair.binary, list), 0);
        return SaveEquipments(list);
    }

    SamplePair earlier, old, a, b;
    int previousWait = 0;
};

bool same(const SamplePair& x, const SamplePair& y) {
    return x.names == y.names && x.binary == y.binary;
}

// A second save started at any point of a first one either runs whole
// before the first takes the lock, or refuses and changes nothing.
TEST_F(SaveRace, ASecondSaveAtEveryStepOfTheFirstRunsWholeOrRefuses) {
    int refused = 0;
    for (int k = 1;; ++k) {
        ScopedTempFolder folder;
        start(folder);
        QuickFileSystem second;
        FailingFileSystem first(0);
        int step = 0;
        SaveResult bSaid;
        bool bRan = false;
        SamplePair beforeB, afterB;
        first.beforeEach = [&] {
            if (++step != k)
                return;
            bRan = true;
            beforeB = pairIn(folder);
            FileSystem* mine = setFileSystem(&second);
            bSaid = save(folder, b);
            setFileSystem(mine);
            afterB = pairIn(folder);
        };
        SaveResult aSaid;
        {
            ScopedFileSystem use(first);
            aSaid = save(folder, a);
        }
        if (!bRan)
            break;
        EXPECT_TRUE(aSaid.ok) << k << ": " << aSaid.message;
        EXPECT_TRUE(same(pairIn(folder), a)) << k;
        if (bSaid.ok) {
            EXPECT_TRUE(same(afterB, b)) << k;
            EXPECT_TRUE(same(backupsIn(folder), b)) << k;
        } else {
            ++refused;
            EXPECT_NE(bSaid.message.find("another save of this pair is under way"),
                      std::string::npos)
                << k << ": " << bSaid.message;
            EXPECT_TRUE(same(afterB, beforeB)) << k;
            EXPECT_TRUE(same(backupsIn(folder), old)) << k;
        }
        for (const char* left : {"EQUIP97.TXX", "EQUIP97.TMP", "EQUIP97.SAV", "EQUIP97.SVT",
                                 "EQUIP97.TB", "EQUIP97.EB"})
            EXPECT_EQ(ReadBytes(folder / left), "<missing>") << k << " " << left;
    }
    EXPECT_GT(refused, 10);
}

// A save killed at any step (its locks gone with it) is followed by the next
// save: the next one finishes or undoes it under the lock and saves; the
// backups are then the pair that stood before that save, whole.
TEST_F(SaveRace, ASaveAfterOneKilledAtEveryStepKeepsBackupsAPair) {
    for (int j = 1;; ++j) {
        ScopedTempFolder folder;
        start(folder);
        bool done = false;
        {
            FailingFileSystem dying(j, FailingFileSystem::Mode::Crash);
            ScopedFileSystem use(dying);
            save(folder, b);
            done = dying.failed().empty();
        }
        if (done)
            break;
        SaveResult said = save(folder, a);
        EXPECT_TRUE(said.ok) << j << ": " << said.message;
        EXPECT_TRUE(same(pairIn(folder), a)) << j;
        const SamplePair after = backupsIn(folder);
        EXPECT_TRUE(same(after, old) || same(after, b)) << j;
    }
}

// A failed save, where hard links cannot be made and a later write fails,
// leaves the earlier backups exactly as they were.
TEST_F(SaveRace, AFailedSaveLeavesTheEarlierBackups) {
    class NoLinks : public FailingFileSystem {
    public:
        using FailingFileSystem::FailingFileSystem;
        bool link(const std::string&, const std::string&) override { return false; }
    };
    for (int k = 1;; ++k) {
        ScopedTempFolder folder;
        start(folder);
        NoLinks fs(k);
        SaveResult said;
        {
            ScopedFileSystem use(fs);
            said = save(folder, a);
        }
        if (fs.failed().empty())
            break;
        if (said.ok)
            continue;
        if (same(pairIn(folder), old)) {
            EXPECT_TRUE(same(backupsIn(folder), earlier)) << fs.failed() << ": " << said.message;
            continue;
        }
        // Past the replacing of the files: the next load puts the backups in.
        Equipments list;
        list.setDataPath(folder / "EQUIP97.EQP");
        LoadEquipments(list);
        EXPECT_TRUE(same(pairIn(folder), a)) << fs.failed();
        EXPECT_TRUE(same(backupsIn(folder), old)) << fs.failed() << ": " << said.message;
    }
}

// The undo of a cut-short save puts back only a copy proven to hold what the
// save replaced; a note whose copies are gone or changed changes nothing and
// says what it found.
TEST_F(SaveRace, AnUndoNeedsACopyThatMatchesTheNote) {
    struct Case {
        const char* what;
        const char* spoil;  // a copy replaced by other bytes, or nothing
        bool gone;          // or removed
        bool undone;
    } cases[] = {
        {"copies as the note says", nullptr, false, true},
        {"the equipment file's copy changed, that file not replaced", "EQUIP97.EB", false, true},
        {"the name list's copy changed", "EQUIP97.TB", false, false},
        {"the name list's copy gone", "EQUIP97.TB", true, false},
    };
    for (const Case& c : cases) {
        ScopedTempFolder folder;
        start(folder);
        // A save cut short after its name list was replaced and before its
        // binary file was: the new binary file is torn.
        WriteBytes(folder / "EQUIP97.TB", old.names);
        WriteBytes(folder / "EQUIP97.EB", old.binary);
        WriteBytes(folder / "EQUIP97.TXT", a.names);
        WriteBytes(folder / "EQUIP97.TMP", a.binary.substr(0, 10));
        IntentEntry names;
        names.temp = folder / "EQUIP97.TXX";
        names.target = folder / "EQUIP97.TXT";
        names.backup = folder / "EQUIP97.T";
        names.nextBackup = folder / "EQUIP97.TB";
        names.hadTarget = true;
        names.size = a.names.size();
        names.hash = ContentHash(a.names);
        names.oldSize = old.names.size();
        names.oldHash = ContentHash(old.names);
        IntentEntry binary = names;
        binary.temp = folder / "EQUIP97.TMP";
        binary.target = folder / "EQUIP97.EQP";
        binary.backup = folder / "EQUIP97.E";
        binary.nextBackup = folder / "EQUIP97.EB";
        binary.size = a.binary.size();
        binary.hash = ContentHash(a.binary);
        binary.oldSize = old.binary.size();
        binary.oldHash = ContentHash(old.binary);
        WriteBytes(folder / "EQUIP97.SAV", EncodeIntent({names, binary}));
        if (c.spoil && c.gone)
            std::remove((folder / c.spoil).c_str());
        else if (c.spoil)
            WriteBytes(folder / c.spoil, "not what was there");

        Equipments list;
        list.setDataPath(folder / "EQUIP97.EQP");
        const std::string said = LoadEquipments(list).message();
        if (c.undone) {
            EXPECT_NE(said.find("was undone"), std::string::npos) << c.what << ": " << said;
            EXPECT_TRUE(same(pairIn(folder), old)) << c.what;
            EXPECT_TRUE(same(backupsIn(folder), earlier)) << c.what;
            EXPECT_EQ(ReadBytes(folder / "EQUIP97.SAV"), "<missing>") << c.what;
        } else {
            EXPECT_NE(said.find("neither completed nor undone"), std::string::npos)
                << c.what << ": " << said;
            EXPECT_NE(said.find("EQUIP97.TXT: the saved file"), std::string::npos) << said;
            EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), a.names) << c.what;
            EXPECT_TRUE(same(backupsIn(folder), earlier)) << c.what;
            EXPECT_NE(ReadBytes(folder / "EQUIP97.SAV"), "<missing>") << c.what;
        }
    }
}

}  // namespace
}  // namespace kestrel
