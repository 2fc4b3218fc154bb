// The intent file must read back exactly, and a torn or tampered one must
// never pass for a whole one.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "storage/SaveIntent.h"
#include "support/SamplePairs.h"

namespace kestrel {
namespace {

TEST(SaveIntent, ReadsBackAndRefusesEveryTornForm) {
    std::vector<IntentEntry> entries = {
        {"/a b/X.TXX", "/a b/X.TXT", "/a b/X.T", true, 12, ContentHash("names\r\n"), "/a b/X.TB",
         true, 7, ContentHash("earlier")},
        {"/c/line\nbreak.TMP", "/c/X.EQP", "/c/X.E", false, 0, ContentHash(""), "", true, 0, 0},
    };
    const std::string text = EncodeIntent(entries);
    auto back = DecodeIntent(text);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
        EXPECT_EQ((*back)[k].temp, entries[k].temp);
        EXPECT_EQ((*back)[k].target, entries[k].target);
        EXPECT_EQ((*back)[k].backup, entries[k].backup);
        EXPECT_EQ((*back)[k].hadTarget, entries[k].hadTarget);
        EXPECT_EQ((*back)[k].size, entries[k].size);
        EXPECT_EQ((*back)[k].hash, entries[k].hash);
        EXPECT_EQ((*back)[k].nextBackup, entries[k].nextBackup);
        EXPECT_EQ((*back)[k].oldSize, entries[k].oldSize);
        EXPECT_EQ((*back)[k].oldHash, entries[k].oldHash);
    }
    // Every prefix is what a crash while writing it would leave.
    for (std::size_t cut = 0; cut < text.size(); ++cut)
        EXPECT_FALSE(DecodeIntent(text.substr(0, cut))) << cut;
    struct Case {
        const char* what;
        std::string text;
    } spoiled[] = {
        {"other header", "KESTREL SAVE 3\n" + text.substr(15)},
        {"bytes after the end", text + "x"},
        {"a length that runs past the end",
         text.substr(0, text.find(':') - 1) + "9" + text.substr(text.find(':'))},
        {"three files", EncodeIntent({entries[0], entries[0], entries[1]})},
    };
    for (const Case& c : spoiled)
        EXPECT_FALSE(DecodeIntent(c.text)) << c.what;
    EXPECT_NE(ContentHash("ab"), ContentHash("ba"));
}

// A note is read by processes other than the one that wrote it: one started
// in another folder, on the other system, or given a note it never wrote.
TEST(SaveIntent, RecoveryActsOnThisPairsFilesWhateverTheNoteCallsThem) {
    using Outcome = Recovery::Outcome;
    ScopedTempFolder root;
    const std::string pair = root / "pair";
    const std::string victim = root / "victim";
    std::mt19937 random(7);
    const SamplePair old = RandomPair(random, 3);
    const SamplePair fresh = RandomPair(random, 4);
    struct Case {
        const char* what;
        std::string prefix;  // the folder part of each name in the note
        const char* stem;
        bool namesReplaced;  // the first rename was done
        bool binaryTempWhole;
        bool backupThere;
        Outcome outcome;
        std::string said;
        bool expectNew;
    } cases[] = {
        {"relative to the folder the save ran from", "pair/", "EQUIP97", false, true, true,
         Outcome::Completed, "was completed", true},
        {"as the other system spells them", "C:\\mods\\pair\\", "equip97", true, true, true,
         Outcome::Completed, "was completed", true},
        {"bare names", "", "EQUIP97", true, false, true, Outcome::RolledBack, "was undone", false},
        {"the same names in another folder", victim + "/", "EQUIP97", true, false, true,
         Outcome::RolledBack, "was undone", false},
        {"a backup gone", pair + "/", "EQUIP97", true, false, false, Outcome::Failed,
         "neither completed nor undone: no copy holds what " + pair + "/EQUIP97.TXT held", true},
        {"other files", victim + "/", "KEEP", false, false, true, Outcome::Failed,
         "does not name the files of", false},
    };
    const char* const suffixes[] = {".TXX", ".TXT", ".T", ".TMP", ".EQP", ".E"};
    for (const Case& c : cases) {
        std::filesystem::remove_all(pair);
        std::filesystem::remove_all(victim);
        std::filesystem::create_directories(pair);
        std::filesystem::create_directories(victim);
        WritePair(pair, old);
        WriteBytes(pair + "/EQUIP97.E", old.binary);
        if (c.backupThere)
            WriteBytes(pair + "/EQUIP97.T", old.names);
        if (c.namesReplaced)
            WriteBytes(pair + "/EQUIP97.TXT", fresh.names);
        else
            WriteBytes(pair + "/EQUIP97.TXX", fresh.names);
        const std::string binaryTemp =
            c.binaryTempWhole ? fresh.binary : fresh.binary.substr(0, fresh.binary.size() / 2);
        WriteBytes(pair + "/EQUIP97.TMP", binaryTemp);
        for (const char* suffix : suffixes)
            WriteBytes(victim + "/" + c.stem + suffix, "keep");
        auto noted = [&](const char* suffix) { return c.prefix + c.stem + suffix; };
        const std::string note = EncodeIntent({
            {noted(".TXX"), noted(".TXT"), noted(".T"), true, fresh.names.size(),
             ContentHash(fresh.names), noted(".TB"), true, old.names.size(),
             ContentHash(old.names)},
            {noted(".TMP"), noted(".EQP"), noted(".E"), true, fresh.binary.size(),
             ContentHash(fresh.binary), noted(".EB"), true, old.binary.size(),
             ContentHash(old.binary)},
        });
        WriteBytes(pair + "/EQUIP97.SAV", note);

        Recovery recovery = RecoverInterruptedSave(PathsFor(pair + "/EQUIP97.EQP"), true);
        EXPECT_EQ(static_cast<int>(recovery.outcome), static_cast<int>(c.outcome))
            << c.what << ": " << recovery.message;
        EXPECT_NE(recovery.message.find(c.said), std::string::npos)
            << c.what << ": " << recovery.message;
        // Compared whole: a diff of random bytes says nothing.
        EXPECT_TRUE(ReadBytes(pair + "/EQUIP97.TXT") == (c.expectNew ? fresh.names : old.names))
            << c.what;
        for (const char* suffix : suffixes)
            EXPECT_EQ(ReadBytes(victim + "/" + c.stem + suffix), "keep")
                << c.what << ": " << suffix;
        if (c.outcome == Outcome::Failed) {
            EXPECT_TRUE(ReadBytes(pair + "/EQUIP97.SAV") == note) << c.what;
            continue;
        }
        EXPECT_TRUE(ReadBytes(pair + "/EQUIP97.EQP") == (c.expectNew ? fresh.binary : old.binary))
            << c.what;
        for (const char* left : {"EQUIP97.TXX", "EQUIP97.TMP", "EQUIP97.SAV"})
            EXPECT_TRUE(ReadBytes(pair + "/" + left) == "<missing>") << c.what << ": " << left;
    }
}

}  // namespace
}  // namespace kestrel
