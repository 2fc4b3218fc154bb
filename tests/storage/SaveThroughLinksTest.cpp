// A pair whose files are links is saved where the links point, and a link
// planted under a backup or temporary name is never written through. The
// links here are the test file system's own, so the same cases run on every
// system, Windows under Wine included, which makes no links.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "storage/PairPaths.h"
#include "support/FailingFileSystem.h"
#include "support/LinkingFileSystem.h"
#include "support/MessageRecorder.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

struct Folders {
    const ScopedTempFolder& pair;
    const ScopedTempFolder& elsewhere;
    std::string elsewhereFromPair;  // elsewhere as a path relative to pair
};

struct Case {
    const char* what;
    // Moves files out of the pair's folder and plants links; gives the
    // paths the name list and the binary file finally are at.
    std::function<void(LinkingFileSystem&, const Folders&, std::string& names, std::string& binary)>
        arrange;
};

TEST(SaveThroughLinks, SavesWhereLinksPointAndNeverThroughPlantedOnes) {
    InitLookupTables();
    std::mt19937 random(41);
    const SamplePair old = RandomPair(random, 4);
    auto move = [](const std::string& from, const std::string& to) {
        WriteBytes(to, ReadBytes(from));
        std::remove(from.c_str());
    };
    const Case cases[] = {
        {"binary file a link into another folder, planted temporary and dangling backup",
         [&](LinkingFileSystem& fs, const Folders& f, std::string& names, std::string& binary) {
             binary = f.elsewhere / "REAL.EQP";
             move(f.pair / "EQUIP97.EQP", binary);
             fs.plant(f.pair / "EQUIP97.EQP", binary);
             fs.plant(f.pair / "EQUIP97.TXX", f.elsewhere / "victim");
             fs.plant(f.pair / "EQUIP97.T", f.elsewhere / "outside");
             names = f.pair / "EQUIP97.TXT";
         }},
        {"name list a relative link, planted binary temporary, backup and save note",
         [&](LinkingFileSystem& fs, const Folders& f, std::string& names, std::string& binary) {
             names = f.pair / (f.elsewhereFromPair + "/NAMES.TXT");
             move(f.pair / "EQUIP97.TXT", names);
             fs.plant(f.pair / "EQUIP97.TXT", f.elsewhereFromPair + "/NAMES.TXT");
             fs.plant(f.pair / "EQUIP97.TMP", f.elsewhere / "victim");
             fs.plant(f.pair / "EQUIP97.E", f.elsewhere / "victim");
             fs.plant(f.pair / "EQUIP97.SVT", f.elsewhere / "victim");
             binary = f.pair / "EQUIP97.EQP";
         }},
        {"binary file a chain of two links, the second relative; planted relative temporary and "
         "backup",
         [&](LinkingFileSystem& fs, const Folders& f, std::string& names, std::string& binary) {
             binary = f.elsewhere / "REAL.EQP";
             move(f.pair / "EQUIP97.EQP", binary);
             fs.plant(f.pair / "EQUIP97.EQP", f.elsewhere / "HOP.EQP");
             fs.plant(f.elsewhere / "HOP.EQP", "REAL.EQP");
             fs.plant(f.elsewhere / "EQUIP97.TMP", "victim");
             fs.plant(f.elsewhere / "EQUIP97.E", "victim");
             names = f.pair / "EQUIP97.TXT";
         }},
    };
    for (const Case& c : cases) {
        ScopedTempFolder folder;
        ScopedTempFolder elsewhere;
        const std::string elsewhereName =
            elsewhere.path().substr(FolderOf(elsewhere.path()).size());
        const Folders f{folder, elsewhere, "../" + elsewhereName};
        WritePair(folder.path(), old);
        WriteBytes(elsewhere / "victim", "precious");
        LinkingFileSystem fs;
        std::string names;
        std::string binary;
        c.arrange(fs, f, names, binary);
        const std::string namesFolder = FolderOf(names);
        const std::string binaryFolder = FolderOf(binary);

        ScopedFileSystem use(fs);
        MessageRecorder messages;
        Equipments e;
        e.setDataPath(folder / "EQUIP97.EQP");
        GetEquipments(e);
        ASSERT_EQ(messages.joined(), "") << c.what;
        ASSERT_EQ(e.Count(), 4) << c.what;
        e.Item(1)->setEqName("changed");
        e.Remove(4);
        PutEquipments(e);
        EXPECT_EQ(messages.joined(), "") << c.what;

        // The pair's own names are still the links they were.
        EXPECT_EQ(fs.isLink(folder / "EQUIP97.TXT"), names != folder / "EQUIP97.TXT") << c.what;
        EXPECT_EQ(fs.isLink(folder / "EQUIP97.EQP"), binary != folder / "EQUIP97.EQP") << c.what;
        EXPECT_EQ(ReadBytes(names).substr(0, 9), "changed\r\n") << c.what;
        EXPECT_TRUE(ReadBytes(binary) != old.binary) << c.what;
        // Backups beside the files they keep, new files, not links.
        EXPECT_EQ(ReadBytes(namesFolder + "EQUIP97.T"), old.names) << c.what;
        EXPECT_EQ(ReadBytes(binaryFolder + "EQUIP97.E"), old.binary) << c.what;
        EXPECT_FALSE(fs.isLink(namesFolder + "EQUIP97.T")) << c.what;
        EXPECT_FALSE(fs.isLink(binaryFolder + "EQUIP97.E")) << c.what;
        for (const std::string& gone :
             {namesFolder + "EQUIP97.TXX", binaryFolder + "EQUIP97.TMP",
              binaryFolder + "EQUIP97.SVT", binaryFolder + "EQUIP97.SAV"}) {
            EXPECT_FALSE(fs.status(gone, false).exists()) << c.what << ": " << gone;
        }
        EXPECT_EQ(ReadBytes(elsewhere / "victim"), "precious") << c.what;
        EXPECT_EQ(ReadBytes(elsewhere / "outside"), "<missing>") << c.what;

        // Everything the save made is in the folder of the file it belongs
        // to; the save note sat beside the binary file.
        bool notePlaced = false;
        for (const std::string& made : fs.made()) {
            const bool namesSide = endsWith(made, ".TXX") || endsWith(made, ".T") ||
                                   endsWith(made, ".TB") || endsWith(made, ".TXT") ||
                                   endsWith(made, "NAMES.TXT");
            EXPECT_EQ(FolderOf(made), namesSide ? namesFolder : binaryFolder)
                << c.what << ": " << made;
            notePlaced = notePlaced || made == binaryFolder + "EQUIP97.SAV";
        }
        EXPECT_TRUE(notePlaced) << c.what;

        Equipments again;
        again.setDataPath(folder / "EQUIP97.EQP");
        GetEquipments(again);
        EXPECT_EQ(messages.joined(), "") << c.what;
        ASSERT_EQ(again.Count(), 3) << c.what;
        EXPECT_EQ(again.Item(1)->EqName(), "changed") << c.what;
    }
}

}  // namespace
}  // namespace kestrel
