// kestrel-eqp merge, diff --format changes with apply, and the git drivers,
// run as the built program on pairs written here.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "cli/ToolRunner.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

using testing::RunTool;
using testing::ToolResult;

ToolResult eqp(const ScopedTempFolder& tmp, const std::vector<std::string>& args) {
    return RunTool(KESTREL_EQP_PATH, args, tmp.path());
}

std::vector<Equipment> baseRecords() {
    InitLookupTables();
    std::mt19937 random(25);
    std::vector<Equipment> records;
    for (int i = 0; i < 6; ++i) {
        Equipment e = RandomEquipment(random);
        e.setEqCode(10 * i);
        e.setEqName("Unit " + std::to_string(i));
        e.setSoftAttack(static_cast<Byte>(i));
        records.push_back(e);
    }
    return records;
}

std::string folder(const ScopedTempFolder& tmp, const std::string& name,
                   const std::vector<Equipment>& records) {
    std::string path = tmp / name;
    std::filesystem::create_directories(path);
    WritePair(path, records);
    return path;
}

std::string pairBytes(const std::string& path) {
    return ReadBytes(path + "/EQUIP97.EQP") + "|" + ReadBytes(path + "/EQUIP97.TXT");
}

TEST(KestrelEqpMerge, ConflictsListedOrSettled) {
    ScopedTempFolder tmp;
    auto base = baseRecords(), realism = baseRecords(), campaign = baseRecords();
    realism[2].setSoftAttack(14);
    campaign[2].setSoftAttack(16);
    campaign[4].setHardAttack(3);
    const std::string b = folder(tmp, "base", base), r = folder(tmp, "realism", realism),
                      c = folder(tmp, "campaign", campaign), out = tmp / "out";
    std::filesystem::create_directories(out);

    ToolResult left = eqp(tmp, {"merge", b, r, c, "-o", out});
    EXPECT_EQ(left.status, 1) << left.err;
    EXPECT_EQ(left.out, "record 3 (N 20, \"Unit 2\"): SA base 2, realism 14, campaign 16\n");
    EXPECT_FALSE(std::filesystem::exists(out + "/EQUIP97.EQP"));

    const struct {
        std::string prefer;
        Byte sa;
    } settles[] = {{"later", 16}, {"realism", 14}, {c, 16}};
    for (const auto& s : settles) {
        ToolResult done = eqp(tmp, {"merge", b, r, c, "-o", out, "--prefer", s.prefer});
        ASSERT_EQ(done.status, 0) << done.err;
        auto expected = campaign;
        expected[2].setSoftAttack(s.sa);
        ScopedTempFolder want;
        WritePair(want.path(), expected);
        EXPECT_EQ(pairBytes(out), pairBytes(want.path())) << s.prefer;
    }
}

TEST(KestrelEqpMerge, BadInputWritesNothing) {
    ScopedTempFolder tmp;
    auto base = baseRecords(), mod = baseRecords();
    mod[3].setSoftAttack(40);
    const std::string b = folder(tmp, "base", base), m = folder(tmp, "mod", mod);
    ToolResult diff = eqp(tmp, {"diff", b, m, "--format", "changes"});
    ASSERT_EQ(diff.status, 1) << diff.err;
    const std::string changes = diff.out;
    auto variant = [&](const std::string& from, const std::string& to) {
        std::string t = changes;
        std::size_t at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            t.replace(at, from.size(), to);
        return t;
    };
    WriteBytes(tmp / "v2.txt", variant("changes 1", "changes 2"));
    WriteBytes(tmp / "field.txt", variant("  SA:", "  Speed:"));
    WriteBytes(tmp / "range.txt", variant("-> 40", "-> 256"));
    const std::string before = pairBytes(b);
    const struct {
        const char* what;
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {"base and mod the same", {"merge", b, b + "/EQUIP97.EQP", "-o", tmp / "out"}, "same pair"},
        {"unreadable mod", {"merge", b, tmp / "missing", "-o", b}, "missing"},
        {"other version", {"apply", tmp / "v2.txt", b}, "v2.txt:1: a change file of version 2"},
        {"unknown field", {"apply", tmp / "field.txt", b}, "field.txt:6: unknown field \"Speed\""},
        {"out of range", {"apply", tmp / "range.txt", b}, "range.txt:6: 256 does not fit SA"},
    };
    for (const auto& c : cases) {
        ToolResult r = eqp(tmp, c.args);
        EXPECT_EQ(r.status, 2) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
        EXPECT_EQ(pairBytes(b), before) << c.what;
    }
}

// Random pairs with what the editor keeps unread: masks of no country,
// repeated codes, bytes after the last record, another order.
TEST(KestrelEqpMerge, ChangeFilesCarryAModByteForByte) {
    InitLookupTables();
    for (unsigned seed = 1; seed <= 4; ++seed) {
        ScopedTempFolder tmp;
        std::mt19937 random(seed);
        std::vector<Equipment> base;
        for (int i = 0; i < 40; ++i) {
            Equipment e = RandomEquipment(random);
            e.setEqCode(static_cast<Long>(random() % 30));
            if (random() % 8 == 0)
                e.setCountry(0), e.setUnknownMask({0x12, static_cast<Byte>(random()), 0, 1});
            base.push_back(e);
        }
        auto mod = base;
        for (std::size_t i = mod.size(); i-- > 1;) {
            if (random() % 7 == 0)
                mod.erase(mod.begin() + static_cast<std::ptrdiff_t>(i));
            else if (random() % 3 == 0)
                mod[i] = RandomEquipment(random), mod[i].setEqCode(base[i].EqCode());
        }
        mod.push_back(RandomEquipment(random));
        if (seed % 2 == 0)
            std::reverse(mod.begin() + 1, mod.end());
        const std::string b = folder(tmp, "base", base), m = folder(tmp, "mod", mod);
        WriteBytes(m + "/EQUIP97.EQP", ReadBytes(m + "/EQUIP97.EQP") + "\x01\x02tail");
        ToolResult diff = eqp(tmp, {"diff", b, m, "--format", "changes"});
        ASSERT_EQ(diff.status, 1) << diff.err;
        WriteBytes(tmp / "changes.txt", diff.out);
        ToolResult apply = eqp(tmp, {"apply", tmp / "changes.txt", b});
        ASSERT_EQ(apply.status, 0) << apply.err << apply.out;
        EXPECT_EQ(pairBytes(b), pairBytes(m)) << "seed " << seed;
    }
}

TEST(KestrelEqpMerge, ApplyOntoAChangedBaseListsConflicts) {
    ScopedTempFolder tmp;
    auto base = baseRecords(), mod = baseRecords(), other = baseRecords();
    mod[2].setSoftAttack(14);
    mod[2].setHardAttack(7);
    other[2].setSoftAttack(15);
    other[2].setHardAttack(7);
    const std::string b = folder(tmp, "base", base), m = folder(tmp, "mod", mod),
                      o = folder(tmp, "other", other);
    WriteBytes(tmp / "realism.txt", eqp(tmp, {"diff", b, m, "--format", "changes"}).out);
    const std::string before = pairBytes(o);
    ToolResult r = eqp(tmp, {"apply", tmp / "realism.txt", o});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "record 3 (N 20, \"Unit 2\"): SA base 2, other 15, realism 14\n");
    EXPECT_EQ(pairBytes(o), before);
    ToolResult forced = eqp(tmp, {"apply", tmp / "realism.txt", o, "--force"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(pairBytes(o), pairBytes(m));
}

#ifndef _WIN32
// Two branches that both changed and both added records of one pair, merged
// by git with the drivers of the README.
TEST(KestrelEqpMerge, GitMergesAPairWithTheDrivers) {
    if (testing::runCommand("git --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "git is not installed";
    ScopedTempFolder tmp;
    const std::string repo = tmp / "repo";
    std::filesystem::create_directories(repo);
    const std::string tool = KESTREL_EQP_PATH;
    auto git = [&](const std::string& args) {
        return testing::runCommand("cd " + testing::shellQuoted(repo) + " && git " + args + " >>" +
                                   testing::shellQuoted(tmp / "git.log") + " 2>&1");
    };
    ASSERT_EQ(git("init -q -b main ."), 0);
    git("config user.email kestrel@example.com");
    git("config user.name Kestrel");
    git("config diff.kestrel.textconv " + testing::shellQuoted(tool + " git-textconv"));
    git("config merge.kestrel.driver " + testing::shellQuoted(tool + " git-merge %O %A %B %P"));
    WriteBytes(repo + "/.gitattributes",
               "*.EQP binary diff=kestrel merge=kestrel\n*.TXT merge=kestrel\n");

    auto base = baseRecords();
    WritePair(repo, base);
    ASSERT_EQ(git("add -A") + git("commit -qm base"), 0);
    auto ours = base, theirs = base;
    ours[2].setSoftAttack(14);
    ours[3].setEqName("Tiger II");
    ours.push_back(base[1]), ours.back().setEqCode(100), ours.back().setEqName("Ours");
    theirs[4].setHardAttack(9);
    theirs[3].setAirAttack(2);
    theirs.push_back(base[1]), theirs.back().setEqCode(200), theirs.back().setEqName("Theirs");
    ASSERT_EQ(git("checkout -qb other"), 0);
    WritePair(repo, theirs);
    ASSERT_EQ(git("commit -qam theirs"), 0);
    ASSERT_EQ(git("checkout -q main"), 0);
    WritePair(repo, ours);
    ASSERT_EQ(git("commit -qam ours"), 0);
    ASSERT_EQ(git("diff HEAD~1 -- EQUIP97.EQP"), 0);
    EXPECT_NE(ReadBytes(tmp / "git.log").find("SA 2"), std::string::npos)
        << ReadBytes(tmp / "git.log");

    ASSERT_EQ(git("merge -q --no-edit other"), 0) << ReadBytes(tmp / "git.log");
    auto expected = ours;
    expected[4].setHardAttack(9);
    expected[3].setAirAttack(2);
    expected.push_back(theirs.back());
    ScopedTempFolder want;
    WritePair(want.path(), expected);
    EXPECT_EQ(pairBytes(repo), pairBytes(want.path()));
}
#endif

}  // namespace
}  // namespace kestrel
