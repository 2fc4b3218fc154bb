// The two file formats decoded and encoded from bytes in memory.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

using namespace std::string_literals;

class EquipmentCodec : public ::testing::Test {
protected:
    void SetUp() override { InitLookupTables(); }
};

std::string header(int count) {
    return std::string{static_cast<char>(count & 0xFF), static_cast<char>(count >> 8)};
}

// A zero record with the given bytes placed at offset.
std::string recordWith(std::size_t offset, const std::string& bytes) {
    std::string r(73, '\0');
    r[30] = '\x40';  // country 0's mask, so the record is well formed
    r.replace(offset, bytes.size(), bytes);
    return r;
}

TEST_F(EquipmentCodec, HexConversions) {
    EXPECT_EQ(BytesToHex("AB"), "4142");
    EXPECT_EQ(BytesToHex("\x00\x80\x00\x00"s), "00800000");
    EXPECT_EQ(BytesToHex("\x0F\xFF"s), "0FFF");
    EXPECT_EQ(BytesToHex(""), "");
    EXPECT_EQ(HexToBytes("00800000"), "\x00\x80\x00\x00"s);
    EXPECT_EQ(HexToBytes("401"), "\x40"s);  // a last odd digit is ignored
    for (const std::string& mask : CountryMasks)
        EXPECT_EQ(BytesToHex(HexToBytes(mask)), mask);
}

TEST_F(EquipmentCodec, CountryFromMask) {
    struct Case {
        std::string bytes;
        Long country;
    } cases[] = {
        {"\x01\x00\x00\x00"s, 6}, {"\x00\x00\x00\x20"s, 25}, {"\x40\x00\x00\x00"s, 0},
        {"\x00\x00\x00\x00"s, 0}, {"\x60\x00\x00\x00"s, 0},  {"\x00\x80\x00\x00"s, 7},
        {"\x00\x00\x00\x10"s, 0}, {"\x80\x00\x00\x00"s, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountryFromMask(BytesToHex(c.bytes)), c.country);
    EXPECT_EQ(CountryFromMask("00800000"), 7);
    EXPECT_EQ(CountryFromMask("00800000 "), 0);
}

TEST_F(EquipmentCodec, NameListLines) {
    struct Case {
        std::string bytes;
        std::vector<Text> names;
    } cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"A\r\nB\r\n", {"A", "B"}},
        {"A\r\nB", {"A", "B"}},
        {"A\rB\r", {"A", "B"}},
        {"A\nB\n", {"A\nB\n"}},
        {"A\r\n\r\n", {"A", ""}},
        {"\r\r\n\r", {"", "", ""}},
        {"\x80\xFF\r\n\x00x\r\n"s, {"\x80\xFF", "\x00x"s}},
        {"A\n\rB", {"A\n", "B"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeNameList(c.bytes), c.names) << c.bytes;
}

TEST_F(EquipmentCodec, DecodesRecordFields) {
    std::string r = recordWith(0, "\x2A\x01"s);
    for (int k = 2; k <= 29; ++k)
        r[k] = static_cast<char>(k + 100);
    r[21] = 7;
    r.replace(30, 4, "\x01\x00\x00\x00"s);
    r.replace(34, 2, "\xFF\x7F"s);
    r[36] = 'a', r[37] = 'b', r[38] = 'c';
    r.replace(39, 6, "T34\0\0\0"s);
    r.replace(45, 6, "\x01\x00\x02\x00\x00\x03"s);
    r.replace(51, 22, "x\0y"s + std::string(19, '\0'));
    Equipments e;
    ASSERT_EQ(DecodeEquipmentPair("N\r\n", header(1) + r, e), 0);
    ASSERT_EQ(e.Count(), 1);
    const Equipment& q = *e.Item(1);
    EXPECT_EQ(q.EqCode(), 298);
    EXPECT_EQ(q.EqName(), "N");
    EXPECT_EQ(q.EqClass(), 102);
    EXPECT_EQ(q.Unk0(), 120);
    EXPECT_EQ(q.PrestigeCost(), 84);
    EXPECT_EQ(q.Unk1(), 122);
    EXPECT_EQ(q.NonOrganicTransport(), 129);
    EXPECT_EQ(q.Country(), 6);
    EXPECT_EQ(q.UnitSpecial(), 32767);
    EXPECT_EQ(q.Unk7(), 'c');
    EXPECT_EQ(q.IconName(), "T34");
    EXPECT_EQ(q.AttackSound(), 1);
    EXPECT_EQ(q.MoveSound(), 2);
    EXPECT_EQ(q.DeathSound(), 768);
    EXPECT_EQ(q.LastPart(), "x\0y"s);  // a zero inside the field is data
}

TEST_F(EquipmentCodec, PairOutcomes) {
    std::string zero = recordWith(0, "");
    struct Case {
        const char* what;
        std::string names;
        std::string binary;
        Long failed;
        int count;
        int coded;  // records whose EqCode came from the binary file
    } cases[] = {
        {"three records", "a\r\nb\r\nc\r\n", header(3) + zero + zero + zero, 0, 3, 3},
        {"empty pair", "", header(0), 0, 0, 0},
        {"no names, one record", "", header(1) + zero, 1, 0, 0},
        {"extra empty line", "a\r\n\r\n", header(1) + zero, 3, 2, 0},
        {"count 256 for 1 name", "a", "\x00\x01"s + zero, 2, 1, 0},
        {"count high byte 0x80", "a", "\x01\x80"s + zero, 2, 1, 0},
        {"binary empty", "a\r\nb", "", 3, 2, 0},
        {"binary of one byte", "a", "\x01"s, 2, 1, 0},
        {"extra bytes ignored", "a", header(1) + zero + "junk", 0, 1, 1},
        {"second record short", "a\rb", header(2) + zero + zero.substr(0, 72), 2, 2, 1},
        {"EqCode 00 80", "a\rb", header(2) + zero + recordWith(0, "\x00\x80"s), 2, 2, 1},
        {"UnitSpecial high", "a", header(1) + recordWith(35, "\x80"), 1, 1, 1},
        {"AttackSound high", "a", header(1) + recordWith(46, "\xFF"), 1, 1, 1},
        {"MoveSound high", "a", header(1) + recordWith(48, "\x81"), 1, 1, 1},
        {"DeathSound high", "a", header(1) + recordWith(50, "\xC0"), 1, 1, 1},
    };
    for (const Case& c : cases) {
        Equipments e;
        EXPECT_EQ(DecodeEquipmentPair(c.names, c.binary, e), c.failed) << c.what;
        EXPECT_EQ(e.Count(), c.count) << c.what;
        for (Long i = 1; i <= e.Count(); ++i) {
            // A zero record has EqCode 0; a name-only one keeps its line number.
            EXPECT_EQ(e.Item(i)->EqCode(), i <= c.coded ? 0 : i) << c.what << " item " << i;
        }
    }
}

TEST_F(EquipmentCodec, FieldsBeforeAFailingFieldAreSet) {
    std::string r = recordWith(0, "\x05\x00\x09"s);
    r[46] = '\x80';  // AttackSound does not fit
    r.replace(39, 3, "ABC");
    Equipments e;
    EXPECT_EQ(DecodeEquipmentPair("a", header(1) + r, e), 1);
    EXPECT_EQ(e.Item(1)->EqCode(), 5);
    EXPECT_EQ(e.Item(1)->EqClass(), 9);
    EXPECT_EQ(e.Item(1)->IconName(), "ABC");
    EXPECT_EQ(e.Item(1)->LastPart(), "");
}

TEST_F(EquipmentCodec, EveryTruncationOfAValidPair) {
    std::mt19937 random(7);
    SamplePair pair = RandomPair(random, 3);
    Equipments whole;
    ASSERT_EQ(DecodeEquipmentPair(pair.names, pair.binary, whole), 0);
    for (std::size_t length = 0; length < pair.binary.size(); ++length) {
        Equipments e;
        Long failed = DecodeEquipmentPair(pair.names, pair.binary.substr(0, length), e);
        Long expected = length < 2 ? 4 : static_cast<Long>((length - 2) / 73) + 1;
        EXPECT_EQ(failed, expected) << length;
        ASSERT_EQ(e.Count(), 3);
        for (Long i = 1; length >= 2 && i < expected; ++i)
            EXPECT_EQ(*e.Item(i), *whole.Item(i));
    }
    for (std::size_t length = 0; length <= pair.names.size(); ++length) {
        Equipments e;
        std::string names = pair.names.substr(0, length);
        Long n = static_cast<Long>(DecodeNameList(names).size());
        EXPECT_EQ(DecodeEquipmentPair(names, pair.binary, e), n == 3 ? 0 : n + 1) << length;
    }
}

TEST_F(EquipmentCodec, LargestCount) {
    std::mt19937 random(11);
    SamplePair pair = RandomPair(random, 32767);
    Equipments e;
    ASSERT_EQ(DecodeEquipmentPair(pair.names, pair.binary, e), 0);
    EXPECT_EQ(e.Count(), 32767);
    SamplePair again;
    ASSERT_EQ(EncodeNameList(e, again.names), 0);
    ASSERT_EQ(EncodeBinaryFile(e, again.binary), 0);
    EXPECT_EQ(again.binary, pair.binary);
    EXPECT_EQ(again.names, pair.names);
}

TEST_F(EquipmentCodec, RandomPairsRoundTripByteForByte) {
    std::mt19937 random(2024);
    for (int round = 0; round < 50; ++round) {
        SamplePair pair = RandomPair(random, round % 7);
        Equipments e;
        ASSERT_EQ(DecodeEquipmentPair(pair.names, pair.binary, e), 0);
        SamplePair again;
        ASSERT_EQ(EncodeNameList(e, again.names), 0);
        ASSERT_EQ(EncodeBinaryFile(e, again.binary), 0);
        ASSERT_EQ(again.binary, pair.binary) << round;
        ASSERT_EQ(again.names, pair.names) << round;
    }
}

TEST_F(EquipmentCodec, CountryMasksAreWrittenBackAsRead) {
    struct Case {
        std::string mask;
        bool unknown;
    } cases[] = {
        {"\x60\x00\x00\x00"s, true}, {"\x00\x00\x00\x00"s, true},  {"\x00\x00\x00\x01"s, true},
        {"\x80\x00\x00\x00"s, true}, {"\x40\x00\x00\x00"s, false}, {"\x00\x80\x00\x00"s, false},
    };
    for (const Case& c : cases) {
        Equipments e;
        LoadReport report;
        ASSERT_EQ(DecodeEquipmentPair("a", header(1) + recordWith(30, c.mask), e, &report), 0);
        EXPECT_EQ(e.Item(1)->hasUnknownMask(), c.unknown) << BytesToHex(c.mask);
        EXPECT_EQ(report.has(LoadFinding::Kind::UnknownMasks), c.unknown);
        std::string out;
        ASSERT_EQ(EncodeBinaryFile(e, out), 0);
        EXPECT_EQ(out.substr(2 + 30, 4), c.mask);
        // Picking a country, even the one the mask read as, writes its mask.
        e.Item(1)->setCountry(0);
        ASSERT_EQ(EncodeBinaryFile(e, out), 0);
        EXPECT_EQ(out.substr(2 + 30, 4), "\x40\x00\x00\x00"s);
        EXPECT_FALSE(e.Item(1)->hasUnknownMask());
    }
}

Equipment valid() {
    Equipment e;
    e.setEqName("N");
    return e;
}

TEST_F(EquipmentCodec, EncodeRecordChecks) {
    struct Case {
        const char* what;
        void (*change)(Equipment&);
        std::size_t offset;  // where to look in the record
        std::string bytes;   // what must be there; empty: the save fails
    } cases[] = {
        {"EqCode 298", [](Equipment& e) { e.setEqCode(298); }, 0, "\x2A\x01"s},
        {"EqCode 32767", [](Equipment& e) { e.setEqCode(32767); }, 0, "\xFF\x7F"s},
        {"EqCode 32768", [](Equipment& e) { e.setEqCode(32768); }, 0, ""},
        {"EqCode -1", [](Equipment& e) { e.setEqCode(-1); }, 0, ""},
        {"prestige 3065", [](Equipment& e) { e.setPrestigeCost(3065); }, 21, "\xFF"s},
        {"prestige 3066", [](Equipment& e) { e.setPrestigeCost(3066); }, 21, ""},
        {"prestige 18", [](Equipment& e) { e.setPrestigeCost(18); }, 21, "\x02"s},
        {"prestige 30", [](Equipment& e) { e.setPrestigeCost(30); }, 21, "\x02"s},
        {"prestige 42", [](Equipment& e) { e.setPrestigeCost(42); }, 21, "\x04"s},
        {"prestige -6", [](Equipment& e) { e.setPrestigeCost(-6); }, 21, "\x00"s},
        {"prestige -7", [](Equipment& e) { e.setPrestigeCost(-7); }, 21, ""},
        {"country 7", [](Equipment& e) { e.setCountry(7); }, 30, "\x00\x80\x00\x00"s},
        {"country 0", [](Equipment& e) { e.setCountry(0); }, 30, "\x40\x00\x00\x00"s},
        {"country 26", [](Equipment& e) { e.setCountry(26); }, 30, ""},
        {"country -1", [](Equipment& e) { e.setCountry(-1); }, 30, ""},
        {"UnitSpecial 32768", [](Equipment& e) { e.setUnitSpecial(32768); }, 34, ""},
        {"DeathSound 40000", [](Equipment& e) { e.setDeathSound(40000); }, 49, ""},
        {"icon T34", [](Equipment& e) { e.setIconName("T34"); }, 39, "T34\0\0\0"s},
        {"icon cut", [](Equipment& e) { e.setIconName("ABCDEFGH"); }, 39, "ABCDEF\x00\x00"s},
        {"last part cut", [](Equipment& e) { e.setLastPart(std::string(30, 'z')); }, 51,
         std::string(22, 'z')},
    };
    for (const Case& c : cases) {
        Equipments e;
        e.Add(valid());
        e.Add(valid());
        c.change(*e.Item(2));
        std::string out;
        Long failed = EncodeBinaryFile(e, out);
        if (c.bytes.empty()) {
            EXPECT_EQ(failed, 2) << c.what;
            continue;
        }
        ASSERT_EQ(failed, 0) << c.what;
        ASSERT_EQ(out.size(), 148u) << c.what;
        EXPECT_EQ(out.substr(0, 2), "\x02\x00"s);
        // The cut icon test also looks two bytes into the sound after it.
        std::string seen = out.substr(2 + 73 + c.offset, c.bytes.size());
        EXPECT_EQ(seen, c.bytes) << c.what;
    }
}

TEST_F(EquipmentCodec, EncodeNameListChecks) {
    struct Case {
        std::vector<Text> names;
        std::string bytes;
        Long failed;
    } cases[] = {
        {{}, "", 0},
        {{"a", ""}, "a\r\n\r\n", 0},
        {{"\x80\xFF"}, "\x80\xFF\r\n", 0},
        {{"a", "b\rc"}, "", 2},
        {{"a", "b", "c\n"}, "a\r\nb\r\nc\n\r\n", 0},
        {{"a", "b", "c\r\n"}, "", 3},
    };
    for (const Case& c : cases) {
        Equipments e;
        for (const Text& name : c.names) {
            Equipment q;
            q.setEqName(name);
            e.Add(q);
        }
        std::string out;
        EXPECT_EQ(EncodeNameList(e, out), c.failed);
        if (c.failed == 0) {
            EXPECT_EQ(out, c.bytes);
        }
    }
    Equipments empty;
    std::string out;
    EXPECT_EQ(EncodeBinaryFile(empty, out), 0);
    EXPECT_EQ(out, "\x00\x00"s);
}

}  // namespace
}  // namespace kestrel
