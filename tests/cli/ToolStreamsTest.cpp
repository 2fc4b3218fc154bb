// kestrel-eqp at the edges of its streams: output that cannot be written,
// bytes from the user that would drive a terminal, and input too large for
// any pair.

// POSIX only: it runs the tool through sh and reads its peak memory.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "model/Equipment.h"
#include "storage/ClipboardText.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
    long peakKb = 0;  // the largest resident size of any process of the line
};

// Runs a shell line with $EQP naming the tool, standard output and error to
// files unless the line sends them elsewhere.
Outcome runLine(const ScopedTempFolder& tmp, const std::string& line) {
    const std::string cmd = "EQP='" + std::string(KESTREL_EQP_PATH) + "'; " + line;
    const std::string out = tmp / "stdout", err = tmp / "stderr";
    pid_t pid = ::fork();
    if (pid == 0) {
        std::freopen("/dev/null", "r", stdin);
        std::freopen(out.c_str(), "w", stdout);
        std::freopen(err.c_str(), "w", stderr);
        ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    Outcome o;
    int raw = 0;
    rusage usage{};
    if (pid > 0 && ::wait4(pid, &raw, 0, &usage) == pid) {
        o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        o.peakKb = usage.ru_maxrss;
    }
    o.out = ReadBytes(out);
    o.err = ReadBytes(err);
    return o;
}

std::string q(const std::string& path) {
    return "'" + path + "'";
}

// A pair whose check lists something: a class without a word.
void writePairWithAProblem(const std::string& folder, int seed) {
    InitLookupTables();
    std::mt19937 random(seed);
    std::vector<Equipment> records;
    for (int k = 0; k < 3; ++k)
        records.push_back(RandomEquipment(random));
    records[1].setEqClass(30);
    WritePair(folder, records);
}

TEST(ToolOutput, AnUnwritableStandardOutputIsAnError) {
    ScopedTempFolder tmp;
    writePairWithAProblem(tmp.path(), 3);
    ScopedTempFolder other;
    writePairWithAProblem(other.path(), 4);
    const std::string pair = q(tmp.path());
    for (const std::string& args :
         {"export " + pair, "export " + pair + " --format csv", "check " + pair,
          "check " + pair + " --format csv", "diff " + pair + " " + q(other.path()),
          "diff " + pair + " " + q(other.path()) + " --format csv", std::string("--help"),
          std::string("import --help")}) {
        SCOPED_TRACE(args);
        ScopedTempFolder scratch;
        Outcome o = runLine(scratch, "\"$EQP\" " + args + " >/dev/full");
        EXPECT_EQ(o.status, 2) << o.err;
        EXPECT_NE(o.err.find("kestrel-eqp: cannot write standard output\n"), std::string::npos)
            << o.err;
    }
}

bool hasRawControl(const std::string& text) {
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\n') || u == 0x7F)
            return true;
    }
    return false;
}

TEST(ToolMessages, ControlCharactersAreSpelledOut) {
    const std::string escape = "\x1B]0;owned\x07\x1B[2J";
    const std::string spelled = "\\x1B]0;owned\\x07\\x1B[2J";
    ScopedTempFolder tmp;
    const std::string heading =
        "EqCode,EqName,EqClass,SoftAttack,HardAttack,AirAttack,NavalAttack,GroundDefense,"
        "AirDefense,CloseDefense,TargetType,Initiative,GunRange,SpottingRange,"
        "RangeDefenseModifier,MoveMode,MovementMode,Movement,Fuel,Ammunition,Unk0,PrestigeCost,"
        "Unk1,Unk2,Unk3,Unk4,MonthAvail,YearAvail,YearExpire,NonOrganicTransport,Country,"
        "UnitSpecial,Unk5,Unk6,Unk7,IconName,AttackSound,MoveSound,DeathSound,LastPart\r\n";
    WriteBytes(tmp / "cell.csv", heading + escape + ",x" + std::string(38, ',') + "\r\n");
    std::string clip = std::string(kClipboardHeader) + "\r\nEquipment Info for\r\n1\r\n" + escape;
    for (int f = 1; f < kFieldCount; ++f)
        clip += "\r\n0";
    WriteBytes(tmp / "line.txt", clip + "\r\n");
    const std::string strange = tmp / ("new" + escape);
    struct Case {
        std::string args;
        const char* said;
    } cases[] = {
        {"import " + q(tmp / "cell.csv") + " " + q(tmp.path()) + " --format csv",
         "EqCode: \"\\x1B]0;owned"},
        {"import " + q(tmp / "line.txt") + " " + q(tmp.path()), "EqCode: \"\\x1B]0;owned"},
        {"import " + q(strange) + " " + q(tmp.path()), "cannot read"},
        {"check " + q(strange), "no such file or folder"},
        {"export " + q(tmp.path()) + " --format " + q(escape), "unknown format"},
        {q(escape), "unknown command"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        Outcome o = runLine(tmp, "\"$EQP\" " + c.args);
        EXPECT_NE(o.status, 0);
        EXPECT_NE(o.err.find(c.said), std::string::npos) << o.err;
        EXPECT_NE(o.err.find(spelled), std::string::npos) << o.err;
        EXPECT_FALSE(hasRawControl(o.err)) << o.err;
    }
}

// AddressSanitizer's shadow memory alone is more than the limit, so under
// the sanitizers the refusals are checked but not their size.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMeasuresMemory = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMeasuresMemory = false;
#else
constexpr bool kMeasuresMemory = true;
#endif
#else
constexpr bool kMeasuresMemory = true;
#endif
constexpr long kPeakLimitKb = 100 * 1024;

// Texts no pair can come from are refused as soon as that shows, without
// being decoded, and cheaply.
TEST(ToolInput, TextsThatCannotFitAreRefusedEarlyAndSmall) {
    ScopedTempFolder tmp;
    const std::string opening = std::string(kClipboardHeader) + "\r\nEquipment Info for\r\n";
    const std::string printOpening =
        "printf '%s\\r\\nEquipment Info for\\r\\n' '" + std::string(kClipboardHeader) + "'";
    // Files of 250 MB cost nothing on disk: all but their first bytes are a hole.
    WriteBytes(tmp / "big.txt", opening + "2\r\n");
    ASSERT_EQ(::truncate((tmp / "big.txt").c_str(), 250 << 20), 0);
    WriteBytes(tmp / "big.csv", "EqCode,EqName\r\n");
    ASSERT_EQ(::truncate((tmp / "big.csv").c_str(), 250 << 20), 0);
    // Names larger than the load reads: the pair would never open.
    std::string names = opening + "2";
    for (int record = 0; record < 2; ++record) {
        names += "\r\n0\r\n" + std::string(9 << 20, 'a');
        for (int f = 2; f < kFieldCount; ++f)
            names += "\r\n0";
    }
    WriteBytes(tmp / "names.txt", names + "\r\n");
    const std::string into = q(tmp / "out");
    ASSERT_EQ(::mkdir((tmp / "out").c_str(), 0755), 0);
    struct Case {
        std::string line;
        const char* said;
    } cases[] = {
        {"head -c 1G /dev/zero | \"$EQP\" import - " + into, "<stdin>:1: no header"},
        {"{ " + printOpening +
             "; printf '2000000\\r\\n'; head -c 300M /dev/zero; } | \"$EQP\" import - " + into,
         "<stdin>:3: the count 2000000 is more than the 32767 records a pair can hold"},
        {"{ " + printOpening +
             "; printf '2\\r\\n'; head -c 300M /dev/zero; } | \"$EQP\" import - " + into,
         "<stdin>: the text is larger than 32 MB"},
        {"{ echo EqCode,EqName; head -c 300M /dev/zero; } | \"$EQP\" import - " + into +
             " --format csv",
         "<stdin>: the text is larger than 32 MB"},
        {"\"$EQP\" import " + q(tmp / "big.txt") + " " + into,
         "big.txt: the text is larger than 32 MB"},
        {"\"$EQP\" import " + q(tmp / "big.csv") + " " + into + " --format csv",
         "big.csv: the text is larger than 32 MB"},
        {"\"$EQP\" import " + q(tmp / "names.txt") + " " + into + " --lenient",
         "names.txt:45: EqName: the names add up to more than the 16 MB a name list can hold"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        Outcome o = runLine(tmp, c.line);
        EXPECT_EQ(o.status, 1) << o.err;
        EXPECT_NE(o.err.find(c.said), std::string::npos) << o.err;
        EXPECT_NE(o.err.find("nothing written"), std::string::npos) << o.err;
        if (kMeasuresMemory) {
            EXPECT_LT(o.peakKb, kPeakLimitKb);
        }
        EXPECT_EQ(ReadBytes(tmp / "out/EQUIP97.EQP"), "<missing>");
    }
}

}  // namespace
}  // namespace kestrel

#endif  // _WIN32
