// What a save and a load must not do to a modder's files: replace a pair
// half-way, follow a planted link, lose an owner, block on a FIFO, read a
// huge file whole, or rewrite bytes nobody changed.

// POSIX only: these make real symbolic links, FIFOs, owners and flock locks.
// The Windows layer meets the same saves in EquipmentFilesTest,
// PairSaveFaultTest and FileSystemTest.
#ifndef _WIN32

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "storage/SaveIntent.h"
#include "support/MessageRecorder.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

using namespace std::string_literals;

class SafeFiles : public ::testing::Test {
protected:
    void SetUp() override {
        InitLookupTables();
        std::mt19937 random(31);
        old = RandomPair(random, 4);
        WritePair(folder.path(), old);
    }

    Equipments load(const std::string& dataPath) {
        Equipments e;
        e.setDataPath(dataPath);
        GetEquipments(e);
        return e;
    }
    // The pair with its first record renamed, saved to where it was loaded.
    void saveChanged() {
        Equipments e = load(folder / "EQUIP97.EQP");
        e.Item(1)->setEqName("changed");
        messages.messages.clear();
        PutEquipments(e);
    }

    ScopedTempFolder folder;
    MessageRecorder messages;
    SamplePair old;
};

bool startsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

TEST_F(SafeFiles, AFailedBackupReplacesNothing) {
    for (const char* blocked : {"EQUIP97.T", "EQUIP97.E"}) {
        WritePair(folder.path(), old);
        ASSERT_EQ(::mkdir((folder / blocked).c_str(), 0755), 0);
        ASSERT_EQ(::mkdir((folder / (std::string(blocked) + "/inside")).c_str(), 0755), 0);
        saveChanged();
        EXPECT_TRUE(startsWith(messages.joined(), "Equipment File can not be written5\n"))
            << messages.joined();
        EXPECT_NE(messages.joined().find("no file was replaced"), std::string::npos);
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), old.names) << blocked;
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.EQP"), old.binary) << blocked;
        for (const char* left : {"EQUIP97.TXX", "EQUIP97.TMP", "EQUIP97.SAV", "EQUIP97.SVT"})
            EXPECT_EQ(ReadBytes(folder / left), "<missing>") << left;
        ::rmdir((folder / (std::string(blocked) + "/inside")).c_str());
        ::rmdir((folder / blocked).c_str());
    }
}

TEST_F(SafeFiles, LeftoversOfAnEarlierSaveDoNotBlockTheNext) {
    WriteBytes(folder / "EQUIP97.TXX", "partial");
    WriteBytes(folder / "EQUIP97.TMP", "partial");
    WriteBytes(folder / "EQUIP97.SVT", "KESTREL SAVE 1\n");
    ::chmod((folder / "EQUIP97.TXX").c_str(), 0444);
    ::chmod((folder / "EQUIP97.TMP").c_str(), 0444);
    saveChanged();
    EXPECT_EQ(messages.joined(), "");
    EXPECT_TRUE(startsWith(ReadBytes(folder / "EQUIP97.TXT"), "changed\r\n"));
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.TMP"), "<missing>");
}

// An intent file as a save killed after it was put in place leaves it.
TEST_F(SafeFiles, ALoadFinishesOrUndoesASaveCutShort) {
    SamplePair fresh = old;
    fresh.names = "new\r\n" + old.names.substr(old.names.find("\r\n") + 2);
    struct Case {
        const char* what;
        bool tempsWhole;
        bool repair;
        const char* said;
        bool expectNew;
    } cases[] = {
        {"both new files whole", true, true, "was completed", true},
        {"the new name list torn", false, true, "was undone", false},
        {"only looked at", true, false, "left as it is", false},
    };
    for (const Case& c : cases) {
        WritePair(folder.path(), old);
        WriteBytes(folder / "EQUIP97.TXX", c.tempsWhole ? fresh.names : fresh.names.substr(0, 3));
        WriteBytes(folder / "EQUIP97.TMP", fresh.binary);
        IntentEntry names{
            folder / "EQUIP97.TXX", folder / "EQUIP97.TXT",   folder / "EQUIP97.T",  true,
            fresh.names.size(),     ContentHash(fresh.names), folder / "EQUIP97.TB", true,
            old.names.size(),       ContentHash(old.names)};
        IntentEntry binary{
            folder / "EQUIP97.TMP", folder / "EQUIP97.EQP",    folder / "EQUIP97.E",  true,
            fresh.binary.size(),    ContentHash(fresh.binary), folder / "EQUIP97.EB", true,
            old.binary.size(),      ContentHash(old.binary)};
        WriteBytes(folder / "EQUIP97.SAV", EncodeIntent({names, binary}));
        Equipments e;
        e.setDataPath(folder / "EQUIP97.EQP");
        LoadReport report =
            LoadEquipments(e, c.repair ? InterruptedSave::Repair : InterruptedSave::ReportOnly);
        EXPECT_NE(report.message().find(c.said), std::string::npos)
            << c.what << ": " << report.message();
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), c.expectNew ? fresh.names : old.names)
            << c.what;
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.SAV") == "<missing>", c.repair) << c.what;
        ASSERT_GT(e.Count(), 0) << c.what;
        EXPECT_EQ(e.Item(1)->EqName() == "new", c.expectNew) << c.what;
        ::unlink((folder / "EQUIP97.SAV").c_str());
        ::unlink((folder / "EQUIP97.TXX").c_str());
        ::unlink((folder / "EQUIP97.TMP").c_str());
    }
}

// The lock file is this editor's; earlier copies lock the note itself.
TEST_F(SafeFiles, ASaveInProgressIsWaitedForThenLeftAlone) {
    for (const char* heldName : {"EQUIP97.LCK", "EQUIP97.SAV"}) {
        WriteBytes(folder / "EQUIP97.SAV", "KESTREL SAVE 2\n");
        WriteBytes(folder / "EQUIP97.LCK", "");
        int held = ::open((folder / heldName).c_str(), O_RDONLY);
        ASSERT_GE(held, 0);
        ASSERT_EQ(::flock(held, LOCK_EX), 0);
        Equipments e;
        e.setDataPath(folder / "EQUIP97.EQP");
        auto start = std::chrono::steady_clock::now();
        LoadReport report = LoadEquipments(e);
        auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_TRUE(report.has(LoadFinding::Kind::SaveInProgress)) << heldName;
        EXPECT_NE(report.message().find("a save of this pair is in progress"), std::string::npos);
        EXPECT_EQ(e.Count(), 0);
        EXPECT_GE(waited, std::chrono::milliseconds(900));
        ASSERT_EQ(DecodeEquipmentPair(old.names, old.binary, e), 0);
        e.Item(1)->setEqName("changed");
        messages.messages.clear();
        int wait = SetSaveLockWait(100);
        PutEquipments(e);
        SetSaveLockWait(wait);
        EXPECT_NE(messages.joined().find("another save of this pair is under way"),
                  std::string::npos)
            << heldName << ": " << messages.joined();
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), old.names);
        EXPECT_NE(ReadBytes(folder / "EQUIP97.SAV"), "<missing>");
        ::close(held);
        ::unlink((folder / "EQUIP97.SAV").c_str());
    }
}

// What stands at the names the save uses for itself is named, not replaced:
// the user learns why nothing can be saved and what to remove.
TEST_F(SafeFiles, WhatBlocksTheSaveNotesIsNamed) {
    for (const char* name : {"EQUIP97.SAV", "EQUIP97.SVT", "EQUIP97.LCK"}) {
        struct Kind {
            const char* what;
            std::function<void(const std::string&)> make;
            const char* said;
        } kinds[] = {
            {"folder", [](const std::string& p) { ::mkdir(p.c_str(), 0755); },
             " is a folder; remove it"},
            {"FIFO", [](const std::string& p) { ::mkfifo(p.c_str(), 0644); },
             " is not a regular file; remove it"},
        };
        for (const Kind& k : kinds) {
            ::unlink((folder / name).c_str());
            k.make(folder / name);
            Equipments e;
            e.setDataPath(folder / "EQUIP97.EQP");
            ASSERT_EQ(DecodeEquipmentPair(old.names, old.binary, e), 0);
            e.Item(1)->setEqName("changed");
            messages.messages.clear();
            PutEquipments(e);
            EXPECT_NE(messages.joined().find(std::string(name) + k.said), std::string::npos)
                << name << " " << k.what << ": " << messages.joined();
            EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), old.names) << name << " " << k.what;
            ::rmdir((folder / name).c_str());
            ::unlink((folder / name).c_str());
        }
    }
}

// A link at a pair file that leads nowhere is refused with its reason and
// stays the link it was.
TEST_F(SafeFiles, LinksThatLeadNowhereAreRefused) {
    struct Case {
        const char* what;
        const char* target;
        const char* said;
    } cases[] = {
        {"looping", "EQUIP97.EQP", " is a link that loops"},
        {"dangling", "gone/EQUIP97.EQP", ", which does not exist"},
    };
    for (const Case& c : cases) {
        Equipments e = load(folder / "EQUIP97.EQP");
        ::unlink((folder / "EQUIP97.EQP").c_str());
        ASSERT_EQ(::symlink(c.target, (folder / "EQUIP97.EQP").c_str()), 0);
        messages.messages.clear();
        PutEquipments(e);
        EXPECT_NE(messages.joined().find(c.said), std::string::npos)
            << c.what << ": " << messages.joined();
        struct stat st {};
        EXPECT_EQ(::lstat((folder / "EQUIP97.EQP").c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << c.what;
        Equipments again;
        again.setDataPath(folder / "EQUIP97.EQP");
        EXPECT_NE(LoadEquipments(again).message().find(c.said), std::string::npos) << c.what;
        ::unlink((folder / "EQUIP97.EQP").c_str());
        WriteBytes(folder / "EQUIP97.EQP", old.binary);
    }
}

TEST_F(SafeFiles, LinksStayLinksAndAreNeverWrittenThrough) {
    ScopedTempFolder elsewhere;
    WriteBytes(elsewhere / "victim", "precious");
    ::chmod((elsewhere / "victim").c_str(), 0600);
    // The binary file is a link into another folder; the temporary name is
    // a planted link; the backup name a dangling one pointing out of the folder.
    ASSERT_EQ(::rename((folder / "EQUIP97.EQP").c_str(), (elsewhere / "REAL.EQP").c_str()), 0);
    ASSERT_EQ(::symlink((elsewhere / "REAL.EQP").c_str(), (folder / "EQUIP97.EQP").c_str()), 0);
    ASSERT_EQ(::symlink((elsewhere / "victim").c_str(), (folder / "EQUIP97.TXX").c_str()), 0);
    ASSERT_EQ(::symlink((elsewhere / "outside").c_str(), (folder / "EQUIP97.T").c_str()), 0);
    saveChanged();
    EXPECT_EQ(messages.joined(), "");
    struct stat st {};
    ASSERT_EQ(::lstat((folder / "EQUIP97.EQP").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadBytes(elsewhere / "EQUIP97.E"), old.binary);
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.T"), old.names);
    EXPECT_EQ(ReadBytes(elsewhere / "victim"), "precious");
    ASSERT_EQ(::stat((elsewhere / "victim").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadBytes(elsewhere / "outside"), "<missing>");
    EXPECT_TRUE(startsWith(ReadBytes(folder / "EQUIP97.TXT"), "changed\r\n"));
}

TEST_F(SafeFiles, OwnerAndGroupAreKept) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give files to another owner";
    for (const char* name : {"EQUIP97.TXT", "EQUIP97.EQP"}) {
        ASSERT_EQ(::chown((folder / name).c_str(), 4321, 4322), 0);
        ::chmod((folder / name).c_str(), 0600);
    }
    saveChanged();
    EXPECT_EQ(messages.joined(), "");
    for (const char* name : {"EQUIP97.TXT", "EQUIP97.EQP"}) {
        struct stat st {};
        ASSERT_EQ(::stat((folder / name).c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 4321u) << name;
        EXPECT_EQ(st.st_gid, 4322u) << name;
        EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
    }
}

TEST_F(SafeFiles, OnlyBoundedRegularInputIsRead) {
    struct Case {
        const char* what;
        void (*make)(const ScopedTempFolder&);
        const char* said;
    } cases[] = {
        {"binary file a FIFO",
         [](const ScopedTempFolder& f) {
             ::unlink((f / "EQUIP97.EQP").c_str());
             ::mkfifo((f / "EQUIP97.EQP").c_str(), 0644);
         },
         "is not a regular file"},
        {"binary file a link to /dev/zero",
         [](const ScopedTempFolder& f) {
             ::unlink((f / "EQUIP97.EQP").c_str());
             ::symlink("/dev/zero", (f / "EQUIP97.EQP").c_str());
         },
         "is not a regular file"},
        {"name list a FIFO",
         [](const ScopedTempFolder& f) {
             ::unlink((f / "EQUIP97.TXT").c_str());
             ::mkfifo((f / "EQUIP97.TXT").c_str(), 0644);
         },
         "is not a regular file"},
        {"name list of 100 MB",
         [](const ScopedTempFolder& f) { ::truncate((f / "EQUIP97.TXT").c_str(), 100 << 20); },
         "larger than 16 MB"},
        {"name list of 32769 lines",
         [](const ScopedTempFolder& f) {
             std::string lines;
             for (int k = 0; k < 32769; ++k)
                 lines += "x\r\n";
             WriteBytes(f / "EQUIP97.TXT", lines);
         },
         "more than 32768 lines"},
    };
    for (const Case& c : cases) {
        ScopedTempFolder f;
        WritePair(f.path(), old);
        c.make(f);
        Equipments e;
        e.setDataPath(f / "EQUIP97.EQP");
        LoadReport report = LoadEquipments(e);
        EXPECT_FALSE(report.complete) << c.what;
        EXPECT_NE(report.message().find(c.said), std::string::npos)
            << c.what << ": " << report.message();
        EXPECT_TRUE(startsWith(report.message(), "Equipment File can not be read")) << c.what;
    }
}

TEST_F(SafeFiles, WhatIsNotUnderstoodSurvivesLoadAndSave) {
    std::mt19937 random(37);
    const std::string masks[] = {"\x60\x00\x00\x00"s, "\x00\x00\x00\x00"s, "\x00\x00\x00\x01"s,
                                 "\x80\x00\x00\x00"s, "\xFF\xFF\xFF\xFF"s};
    const std::string tails[] = {""s, "\x00"s, "junk after the records"s, std::string(73, '\x01')};
    for (const std::string& tail : tails) {
        SamplePair pair = RandomPair(random, 5);
        for (std::size_t k = 0; k < 5; ++k)
            pair.binary.replace(2 + 73 * k + 30, 4, masks[k]);
        pair.binary += tail;
        pair.names.replace(0, 1, "\n");  // a lone LF is part of a name
        WritePair(folder.path(), pair);
        Equipments e = load(folder / "EQUIP97.EQP");
        const std::string said = messages.joined();
        EXPECT_NE(said.find("5 records have a country mask that matches no country, the first "
                            "is record 1"),
                  std::string::npos)
            << said;
        EXPECT_EQ(said.find("after its last record") != std::string::npos, !tail.empty());
        messages.messages.clear();
        PutEquipments(e);
        EXPECT_EQ(messages.joined(), "");
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.EQP"), pair.binary);
        EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), pair.names);
        // Saved as another pair, the bytes after the records stay behind.
        e.setDataPath(folder / "OTHER.EQP");
        PutEquipments(e);
        EXPECT_EQ(ReadBytes(folder / "OTHER.EQP"), pair.binary.substr(0, 2 + 73 * 5));
    }
}

TEST_F(SafeFiles, NamesAndRecordsThatDisagreeMakeAnIncompleteLoad) {
    WriteBytes(folder / "EQUIP97.TXT", old.names + "extra\r\n");
    Equipments e;
    e.setDataPath(folder / "EQUIP97.EQP");
    LoadReport report = LoadEquipments(e);
    EXPECT_FALSE(report.complete);
    EXPECT_EQ(report.message(),
              "Equipment File can not be read6\nthe name list has 5 lines, the equipment file 4 "
              "records; line 5 (\"extra\") has no record and is left out");
    ASSERT_EQ(report.findings.size(), 1u);
    EXPECT_EQ(report.findings[0].first, 5);
    EXPECT_EQ(report.findings[0].second, 4);
}

}  // namespace
}  // namespace kestrel

#endif  // _WIN32
