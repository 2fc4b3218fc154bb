// The merge of mods and the change files that carry one mod: small cases one
// rule each, and seeded random lists checked against each other.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "model/EquipmentChanges.h"
#include "model/EquipmentMerge.h"
#include "storage/ChangeFileText.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

using Records = std::vector<Equipment>;

Equipments listOf(const Records& records, const std::string& trailing = std::string()) {
    Equipments list;
    list.setDataPath("list.EQP");
    for (const auto& r : records)
        list.Add(r);
    list.setTrailingBytes("list.EQP", trailing);
    return list;
}

// Five records N 0, 10, ..., 40 with SoftAttack 0 to 4.
Records base5() {
    InitLookupTables();
    std::mt19937 random(5);
    Records records;
    for (int i = 0; i < 5; ++i) {
        Equipment e = RandomEquipment(random);
        e.setEqCode(10 * i);
        e.setEqName("Unit " + std::to_string(i));
        e.setSoftAttack(static_cast<Byte>(i));
        records.push_back(e);
    }
    return records;
}

Equipment added(Long code, Byte sa) {
    Equipment e = base5()[1];
    e.setEqCode(code);
    e.setEqName("New " + std::to_string(code));
    e.setSoftAttack(sa);
    return e;
}

const Equipment::MaskBytes kOddMask{0x12, 0x34, 0x00, 0x01};

using Edit = std::function<void(Records&)>;

TEST(EquipmentMerge, OneRuleEach) {
    const Edit same = [](Records&) {};
    const struct {
        const char* rule;
        std::vector<Edit> mods;
        Edit expected;  // applied to the base; ignored where conflicts are expected
        std::vector<MergeConflict::Kind> conflicts;
        FieldMask fields = kAllFields;
    } cases[] = {
        {"no change", {same, same}, same, {}},
        {"one mod",
         {[](Records& r) { r[2].setSoftAttack(14); }, same},
         [](Records& r) { r[2].setSoftAttack(14); },
         {}},
        {"two mods agreeing",
         {[](Records& r) { r[2].setSoftAttack(14); }, [](Records& r) { r[2].setSoftAttack(14); }},
         [](Records& r) { r[2].setSoftAttack(14); },
         {}},
        {"two mods, two fields",
         {[](Records& r) { r[2].setSoftAttack(14); }, [](Records& r) { r[2].setHardAttack(9); }},
         [](Records& r) {
             r[2].setSoftAttack(14);
             r[2].setHardAttack(9);
         },
         {}},
        {"conflicting",
         {[](Records& r) { r[2].setSoftAttack(14); }, [](Records& r) { r[2].setSoftAttack(16); }},
         same,
         {MergeConflict::Kind::Field}},
        {"add, in the order of the mods",
         {[](Records& r) { r.push_back(added(60, 1)); },
          [](Records& r) { r.push_back(added(50, 1)); }},
         [](Records& r) {
             r.push_back(added(60, 1));
             r.push_back(added(50, 1));
         },
         {}},
        {"add twice alike",
         {[](Records& r) { r.push_back(added(50, 1)); },
          [](Records& r) { r.push_back(added(50, 1)); }},
         [](Records& r) { r.push_back(added(50, 1)); },
         {}},
        {"add twice differently",
         {[](Records& r) { r.push_back(added(50, 1)); },
          [](Records& r) { r.push_back(added(50, 2)); }},
         same,
         {MergeConflict::Kind::Field}},
        {"remove",
         {[](Records& r) { r.erase(r.begin() + 3); }, same},
         [](Records& r) { r.erase(r.begin() + 3); },
         {}},
        {"remove against change",
         {[](Records& r) { r.erase(r.begin() + 3); }, [](Records& r) { r[3].setSoftAttack(9); }},
         same,
         {MergeConflict::Kind::RemovedAndChanged}},
        {"unknown mask kept beside a change",
         {[](Records& r) { r[2].setSoftAttack(14); }},
         [](Records& r) { r[2].setSoftAttack(14); },
         {}},
        {"unknown mask taken from a mod",
         {[](Records& r) { r[3].setCountry(0), r[3].setUnknownMask(kOddMask); }},
         [](Records& r) { r[3].setCountry(0), r[3].setUnknownMask(kOddMask); },
         {}},
        {"the first record is never changed",
         {[](Records& r) { r[0].setSoftAttack(99); }},
         same,
         {}},
        {"only the fields asked for",
         {[](Records& r) {
             r[2].setSoftAttack(14);
             r[2].setHardAttack(9);
         }},
         [](Records& r) { r[2].setSoftAttack(14); },
         {},
         fieldBit(static_cast<int>(Field::SoftAttack))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        Records base = base5();
        base[2].setCountry(0), base[2].setUnknownMask(kOddMask);
        const Equipments baseList = listOf(base, "\x01\x02");
        std::vector<Equipments> mods;
        for (const auto& edit : c.mods) {
            Records m = base;
            edit(m);
            mods.push_back(listOf(m, "\x01\x02"));
        }
        std::vector<const Equipments*> modPointers;
        for (const auto& m : mods)
            modPointers.push_back(&m);
        EquipmentMerge merge(baseList, modPointers, MatchBy::Code, c.fields);
        std::vector<MergeConflict::Kind> kinds;
        for (const auto& conflict : merge.conflicts())
            kinds.push_back(conflict.kind);
        EXPECT_EQ(kinds, c.conflicts);
        EXPECT_EQ(merge.complete(), c.conflicts.empty());
        if (!c.conflicts.empty())
            continue;
        Records expected = base;
        c.expected(expected);
        MergedList result = merge.result();
        EXPECT_EQ(result.records, expected);
        EXPECT_EQ(result.trailingBytes, "\x01\x02");
    }
}

TEST(EquipmentMerge, ChoicesSettleConflicts) {
    Records base = base5();
    Records a = base, b = base;
    a[2].setSoftAttack(14);
    b[2].setSoftAttack(16);
    a.erase(a.begin() + 4);
    b[4].setHardAttack(1);
    const Equipments lb = listOf(base), la = listOf(a, "A"), lbb = listOf(b, "B");
    EquipmentMerge merge(lb, {&la, &lbb});
    ASSERT_EQ(merge.conflicts().size(), 3u);  // SA, removed and changed, trailing bytes
    EXPECT_EQ(merge.unsettled(), 3u);
    EXPECT_FALSE(merge.choose(1, 5));  // no such mod
    EXPECT_EQ(merge.prefer(0), 0u);    // mod 0 takes part in all three
    MergedList first = merge.result();
    EXPECT_EQ(first.records.size(), 4u);
    EXPECT_EQ(first.records[2].SoftAttack(), 14);
    EXPECT_EQ(first.trailingBytes, "A");
    merge.preferLater();
    MergedList later = merge.result();
    ASSERT_EQ(later.records.size(), 5u);
    EXPECT_EQ(later.records[2].SoftAttack(), 16);
    EXPECT_EQ(later.records[4].HardAttack(), 1);
    EXPECT_EQ(later.from[2][static_cast<int>(Field::SoftAttack)], 1);
    EXPECT_EQ(later.from[2][static_cast<int>(Field::HardAttack)], kFromBase);
    EXPECT_TRUE(merge.choose(0, kFromBase));
    EXPECT_EQ(merge.result().records[2].SoftAttack(), 2);
}

TEST(EquipmentMerge, RenumberedModAsksForPositions) {
    Records base = base5(), renumbered = base5();
    for (auto& r : renumbered)
        r.setEqCode(r.EqCode() + 1000);
    const Equipments lb = listOf(base), lr = listOf(renumbered);
    EXPECT_EQ(EquipmentMerge(lb, {&lr}).poorlyMatchedMod(), 0);
    EquipmentMerge byPosition(lb, {&lr}, MatchBy::Position);
    EXPECT_EQ(byPosition.poorlyMatchedMod(), -1);
    Records expected = renumbered;
    expected[0] = base[0];
    EXPECT_EQ(byPosition.result().records, expected);
}

// --- seeded random lists -----------------------------------------------------

struct RandomMod {
    Records records;
    std::string trailing;
    std::vector<Long> touched;  // codes of base records it changed or removed
};

Records randomBase(std::mt19937& random, int n, bool repeatCodes) {
    Records records;
    for (int i = 0; i < n; ++i) {
        Equipment e = RandomEquipment(random);
        e.setEqCode(repeatCodes ? static_cast<Long>(random() % (n / 2 + 1)) : 10 * i);
        if (random() % 10 == 0)
            e.setCountry(0), e.setUnknownMask({static_cast<Byte>(random()), 0x55, 0,
                                               static_cast<Byte>(random())});
        records.push_back(e);
    }
    return records;
}

// Changes, removals and additions, never of the first record; removals only
// of records the other mod leaves alone (keep).
RandomMod randomMod(std::mt19937& random, const Records& base, const std::vector<Long>& keep,
                    Long firstNewCode) {
    RandomMod mod;
    Records& r = mod.records;
    r = base;
    for (std::size_t i = r.size(); i-- > 1;) {
        const Long code = r[i].EqCode();
        const unsigned roll = random() % 10;
        if (roll == 0 && std::find(keep.begin(), keep.end(), code) == keep.end()) {
            mod.touched.push_back(code);
            r.erase(r.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (roll < 4) {
            mod.touched.push_back(code);
            r[i].setSoftAttack(static_cast<Byte>(random() % 3));
            if (random() % 2)
                r[i].setEqName("Renamed " + std::to_string(random() % 3));
            if (random() % 4 == 0)
                r[i].setCountry(0),
                    r[i].setUnknownMask({0x77, static_cast<Byte>(random() % 2), 0, 0});
        }
    }
    for (unsigned k = random() % 4; k > 0; --k) {
        Equipment e = RandomEquipment(random);
        e.setEqCode(firstNewCode + static_cast<Long>(random() % 3));
        e.setSoftAttack(1);
        r.push_back(e);
    }
    mod.trailing = random() % 3 == 0 ? std::string("\x00\x7F", 2) : std::string();
    return mod;
}

Records applied(const Records& base, const std::string& trailing, const Records& mod,
                const std::string& modTrailing, std::string& resultTrailing, bool force,
                const Records* onto = nullptr, const std::string& ontoTrailing = std::string()) {
    const Equipments lb = listOf(base, trailing), lm = listOf(mod, modTrailing);
    const std::string text = EncodeChanges(ChangesBetween(lb, lm));
    ChangesDecodeResult decoded = DecodeChanges(text);
    EXPECT_TRUE(decoded.ok()) << decoded.error << " at line " << decoded.line;
    EXPECT_EQ(EncodeChanges(decoded.changes), text);
    const Equipments target = onto ? listOf(*onto, ontoTrailing) : lb;
    AppliedChanges out = ApplyChanges(decoded.changes, target, force);
    EXPECT_TRUE(out.settled);
    resultTrailing = out.trailingBytes;
    return out.records;
}

TEST(EquipmentMerge, RandomModsAgreeWithTheirChangeFiles) {
    InitLookupTables();
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const Records base = randomBase(random, 30, false);
        const Equipments lb = listOf(base);
        RandomMod a = randomMod(random, base, {}, 1000);
        RandomMod b = randomMod(random, base, a.touched, 1000);
        const Equipments la = listOf(a.records, a.trailing), lbm = listOf(b.records, b.trailing);

        // B's removals keep clear of A's records; A's must keep clear of B's.
        bool clear = true;
        for (Long code : b.touched) {
            bool inA = std::any_of(a.records.begin(), a.records.end(),
                                   [&](const Equipment& e) { return e.EqCode() == code; });
            clear = clear && inA;
        }
        EXPECT_EQ(EquipmentMerge(lb, {&la}).result().records, a.records);
        EXPECT_EQ(EquipmentMerge(lb, {&la, &lb}).result().records, a.records);
        EXPECT_EQ(EquipmentMerge(lb, {&la}).result().trailingBytes, a.trailing);
        if (!clear)
            continue;

        EquipmentMerge merge(lb, {&la, &lbm});
        merge.preferLater();
        ASSERT_TRUE(merge.complete());
        MergedList merged = merge.result();
        std::string afterA, afterB;
        Records stepA = applied(base, "", a.records, a.trailing, afterA, true);
        EXPECT_EQ(stepA, a.records);
        Records stepB = applied(base, "", b.records, b.trailing, afterB, true, &stepA, afterA);
        EXPECT_EQ(stepB, merged.records);
        EXPECT_EQ(afterB, merged.trailingBytes);
    }
}

TEST(ChangeFile, RoundTripGivesTheModExactly) {
    InitLookupTables();
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed + 100);
        const Records base = randomBase(random, 25, seed % 2 == 0);
        Records mod = randomMod(random, base, {}, 7).records;
        if (seed % 3 == 0)
            std::shuffle(mod.begin() + 1, mod.end(), random);  // a sorted mod
        const std::string trailing = seed % 4 == 0 ? "tail" : "";
        for (MatchBy by : {MatchBy::Code, MatchBy::Position}) {
            const Equipments lb = listOf(base, "old"), lm = listOf(mod, trailing);
            const std::string text = EncodeChanges(ChangesBetween(lb, lm, by));
            ChangesDecodeResult decoded = DecodeChanges(text);
            ASSERT_TRUE(decoded.ok()) << decoded.error << " at line " << decoded.line << "\n"
                                      << text;
            AppliedChanges out = ApplyChanges(decoded.changes, lb);
            EXPECT_TRUE(out.conflicts.empty());
            EXPECT_EQ(out.records, mod);
            EXPECT_EQ(out.trailingBytes, trailing);
            // Applied to the mod itself, every change is already there.
            EXPECT_EQ(ApplyChanges(decoded.changes, lm).applied, 0u);
        }
    }
}

TEST(ChangeFile, ChangedBaseListsExactlyTheConflictingFields) {
    Records base = base5(), mod = base5(), other = base5();
    mod[2].setSoftAttack(14);
    mod[2].setHardAttack(7);
    mod[3].setEqName("Tiger II");
    other[2].setSoftAttack(15);  // a third value: conflict
    other[2].setHardAttack(7);   // already the new value: fine
    other[3].setAirAttack(1);    // a field the changes do not touch
    const Equipments lb = listOf(base), lm = listOf(mod), lo = listOf(other);
    const EquipmentChanges changes = ChangesBetween(lb, lm);
    AppliedChanges out = ApplyChanges(changes, lo);
    ASSERT_EQ(out.conflicts.size(), 1u);
    EXPECT_EQ(out.conflicts[0].position, 3);
    EXPECT_EQ(out.conflicts[0].field, static_cast<int>(Field::SoftAttack));
    AppliedChanges forced = ApplyChanges(changes, lo, true);
    EXPECT_EQ(forced.records[2].SoftAttack(), 14);
    EXPECT_EQ(forced.records[3].EqName(), "Tiger II");
    EXPECT_EQ(forced.records[3].AirAttack(), 1);
}

TEST(ChangeFile, BadLinesAreRefusedWithTheirLine) {
    Records base = base5(), mod = base5();
    mod[2].setSoftAttack(14);
    mod.push_back(added(50, 3));
    const std::string text = EncodeChanges(ChangesBetween(listOf(base), listOf(mod)));
    // Line 6 is "  SA: 2 -> 14"; line 8 starts the added record.
    ASSERT_NE(text.find("\n  SA: 2 -> 14\n"), std::string::npos) << text;
    auto lineReplaced = [&](int number, const std::string& by) {
        std::string t = text;
        std::size_t at = 0;
        for (int k = 1; k < number; ++k)
            at = t.find('\n', at) + 1;
        t.replace(at, t.find('\n', at) - at, by);
        return t;
    };
    const struct {
        const char* what;
        int line;
        std::string replacement;
        const char* error;
    } cases[] = {
        {"another version", 1, "Kestrel equipment changes 2", "version 2"},
        {"not a change file", 1, "hello", "not a change file"},
        {"unknown field", 6, "  XY: 2 -> 14", "unknown field \"XY\""},
        {"value out of range", 6, "  SA: 2 -> 300", "300 does not fit SA (0 to 255)"},
        {"not a number", 6, "  SA: 2 -> many", "\"many\" is not a number for SA"},
        {"no such word", 6, "  CL: 1 -> Spaceship", "no word \"Spaceship\" for CL"},
        {"no arrow", 6, "  SA: 14", "OLD -> NEW"},
        {"unknown line", 3, "recrods 5 -> 6", "a line a change file does not have"},
        {"field twice", 9, "  SA: 2 -> 14", "field SA given twice"},
        {"bad escape", 6, "  Name: \"a\\q\" -> \"b\"", "unknown escape \\q"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string edited = lineReplaced(c.line, c.replacement);
        if (std::string(c.what) == "field twice")
            edited = lineReplaced(6, "  SA: 2 -> 14\n  SA: 2 -> 14");
        ChangesDecodeResult r = DecodeChanges(edited);
        EXPECT_FALSE(r.ok());
        EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
        EXPECT_EQ(r.line, std::string(c.what) == "field twice" ? 7 : c.line);
    }
    // An added record given in part.
    std::string partial = text;
    std::size_t sa = partial.rfind("\n  SA: ");
    partial.erase(sa, partial.find('\n', sa + 1) - sa);
    ChangesDecodeResult r = DecodeChanges(partial);
    EXPECT_NE(r.error.find("lacks field SA"), std::string::npos) << r.error;
}

}  // namespace
}  // namespace kestrel
