// The two file formats decoded and encoded from bytes in memory.

#include <gtest/gtest.h>

#include <functional>
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
        // With no CR at all, LF ends the lines; with any CR, a lone LF is part of a name.
        {"A\nB\n", {"A", "B"}},
        {"A\nB\r\n", {"A\nB"}},
        {"A\n\n", {"A", ""}},
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
        {"no names, one record", "", header(1) + zero, 1, 1, 1},
        {"extra empty line", "a\r\n\r\n", header(1) + zero, 0, 1, 1},
        {"count 256 for 1 name", "a", "\x00\x01"s + zero, 2, 1, 1},
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

// Names and records that disagree: the records the file holds are listed with
// the names by line, and the message says what differs and where.
TEST_F(EquipmentCodec, CountsThatDifferFromTheNames) {
    auto coded = [](int code) { return recordWith(0, std::string(1, static_cast<char>(code))); };
    const std::string three = header(3) + coded(10) + coded(11) + coded(12);
    const std::string lf = kLfLineEndsMessage;
    struct Case {
        const char* what;
        std::string names;
        std::string binary;
        Long failed;
        std::vector<Text> listed;
        std::vector<Long> codes;
        std::string message;
    } cases[] = {
        {"a blank last line",
         "a\r\nb\r\nc\r\n\r\n",
         three,
         0,
         {"a", "b", "c"},
         {10, 11, 12},
         "the name list has 4 lines, the equipment file 3 records; line 4 is empty; it is left "
         "out, and a save writes the list without it"},
        {"one name more",
         "a\r\nb\r\nc\r\nd\r\n",
         three,
         5,
         {"a", "b", "c"},
         {10, 11, 12},
         "Equipment File can not be read5\nthe name list has 4 lines, the equipment file 3 "
         "records; line 4 (\"d\") has no record and is left out"},
        {"two blank lines",
         "a\r\nb\r\nc\r\n\r\n\r\n",
         three,
         6,
         {"a", "b", "c"},
         {10, 11, 12},
         "Equipment File can not be read6\nthe name list has 5 lines, the equipment file 3 "
         "records; lines 4 and 5 (\"\", \"\") have no record and are left out"},
        {"one name fewer",
         "a\r\nb\r\n",
         three,
         3,
         {"a", "b", ""},
         {10, 11, 12},
         "Equipment File can not be read3\nthe name list has 2 lines, the equipment file 3 "
         "records; record 3 has no name line and is listed with an empty name"},
        {"no names",
         "",
         three,
         1,
         {"", "", ""},
         {10, 11, 12},
         "Equipment File can not be read1\nthe name list has 0 lines, the equipment file 3 "
         "records; records 1 to 3 have no name line and are listed with empty names"},
        {"LF line ends", "a\nb\nc\n", three, 0, {"a", "b", "c"}, {10, 11, 12}, lf},
        {"LF line ends and a blank last line",
         "a\nb\nc\n\n",
         three,
         0,
         {"a", "b", "c"},
         {10, 11, 12},
         lf + "\nthe name list has 4 lines, the equipment file 3 records; line 4 is empty; it is "
              "left out, and a save writes the list without it"},
        {"a CR keeps a lone LF in its name",
         "a\nb\r\nc\r\n",
         three,
         3,
         {"a\nb", "c", ""},
         {10, 11, 12},
         "Equipment File can not be read3\nthe name list has 2 lines, the equipment file 3 "
         "records; record 3 has no name line and is listed with an empty name"},
        {"a name more and a record short",
         "a\r\nb\r\nc\r\nd\r\n",
         header(3) + coded(10) + coded(11),
         3,
         {"a", "b", "c"},
         {10, 11, 3},
         "Equipment File can not be read3\nthe name list has 4 lines, the equipment file 3 "
         "records; line 4 (\"d\") has no record and is left out\nthe equipment file ends in "
         "record 3: it holds 2 whole records of 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Equipments e;
        LoadReport report;
        EXPECT_EQ(DecodeEquipmentPair(c.names, c.binary, e, &report), c.failed);
        EXPECT_EQ(report.complete, c.failed == 0);
        EXPECT_EQ(report.message(), c.message);
        std::vector<Text> names;
        std::vector<Long> codes;
        for (const EquipmentRef& r : e) {
            names.push_back(r->EqName());
            codes.push_back(r->EqCode());
        }
        EXPECT_EQ(names, c.listed);
        EXPECT_EQ(codes, c.codes);
    }
}

// Every name left out is named, up to twenty, and the rest counted.
TEST_F(EquipmentCodec, NamesLeftOutAreNamed) {
    std::string names;
    for (int k = 1; k <= 24; ++k)
        names += "n" + std::to_string(k) + "\r\n";
    Equipments e;
    LoadReport report;
    EXPECT_EQ(DecodeEquipmentPair(names, header(1) + recordWith(0, ""), e, &report), 25);
    EXPECT_EQ(report.message(),
              "Equipment File can not be read25\nthe name list has 24 lines, the equipment file 1 "
              "record; lines 2 to 24 (\"n2\", \"n3\", \"n4\", \"n5\", \"n6\", \"n7\", \"n8\", "
              "\"n9\", \"n10\", \"n11\", \"n12\", \"n13\", \"n14\", \"n15\", \"n16\", \"n17\", "
              "\"n18\", \"n19\", \"n20\", \"n21\" and 3 more) have no record and are left out");
}

// What a save changes to fit the file is what the file gives back.
TEST_F(EquipmentCodec, FitsOfASave) {
    struct Case {
        const char* what;
        std::function<void(Equipment&)> set;
        std::vector<int> fields;
        std::function<void(Equipment&)> fitted;
    } cases[] = {
        {"fits", [](Equipment& e) { e.setPrestigeCost(96); }, {}, nullptr},
        {"cost",
         [](Equipment& e) { e.setPrestigeCost(100); },
         {static_cast<int>(Field::PrestigeCost)},
         [](Equipment& e) { e.setPrestigeCost(96); }},
        {"cost half way",
         [](Equipment& e) { e.setPrestigeCost(18); },
         {static_cast<int>(Field::PrestigeCost)},
         [](Equipment& e) { e.setPrestigeCost(24); }},
        {"icon and last part",
         [](Equipment& e) {
             e.setIconName("ABCDEFGH");
             e.setLastPart(std::string(23, 'x'));
         },
         {static_cast<int>(Field::IconName), static_cast<int>(Field::LastPart)},
         [](Equipment& e) {
             e.setIconName("ABCDEF");
             e.setLastPart(std::string(22, 'x'));
         }},
        {"zeros at a text's end",
         [](Equipment& e) { e.setIconName("AB\0"s); },
         {static_cast<int>(Field::IconName)},
         [](Equipment& e) { e.setIconName("AB"); }},
        {"refused: not listed",
         [](Equipment& e) {
             e.setPrestigeCost(100);
             e.setEqCode(40000);
         },
         {},
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Equipments list;
        Equipment clean;
        clean.setEqName("a");
        list.Add(clean);
        Equipment e = clean;
        c.set(e);
        list.Add(e);
        std::vector<RecordFit> fits = FitsOfASave(list);
        if (c.fields.empty()) {
            EXPECT_TRUE(fits.empty());
            continue;
        }
        ASSERT_EQ(fits.size(), 1u);
        EXPECT_EQ(fits[0].position, 2);
        EXPECT_EQ(fits[0].fields, c.fields);
        Equipment expected = e;
        c.fitted(expected);
        EXPECT_EQ(fits[0].fitted, expected);
        // Saved and read back, the file holds the fitted record.
        SamplePair saved;
        ASSERT_EQ(EncodeNameList(list, saved.names), 0);
        ASSERT_EQ(EncodeBinaryFile(list, saved.binary), 0);
        Equipments again;
        ASSERT_EQ(DecodeEquipmentPair(saved.names, saved.binary, again), 0);
        EXPECT_EQ(*again.Item(2), expected);
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
