// The shared check of a list: each kind of problem on a record that has it,
// and agreement with what the encoder really refuses and changes.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "check/Validator.h"
#include "model/ExchangeSort.h"
#include "storage/EquipmentFiles.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {

// Failures show a problem as its line.
void PrintTo(const Problem& problem, std::ostream* out) {
    *out << FormatProblem(problem);
}

namespace {

class Validator : public ::testing::Test {
protected:
    void SetUp() override { InitLookupTables(); }
    // Random reorderings of a list, each reordering's problems against a
    // whole check.
    void reorderAndCompare(bool duplicates);
};

// A record every check passes.
Equipment cleanRecord() {
    Equipment e;
    e.setEqCode(298);
    e.setEqName("Tiger I");
    e.setEqClass(3);
    e.setPrestigeCost(84);
    e.setCountry(7);
    e.setUnitSpecial(32767);
    e.setIconName("TIGER1");
    e.setLastPart(std::string(22, 'x'));
    return e;
}

TEST_F(Validator, EachKindIsFoundOnTheRecordThatHasIt) {
    struct Case {
        const char* what;
        std::function<void(Equipment&)> spoil;
        Severity severity;
        ProblemKind kind;
        Field field;
        const char* message;
    };
    using S = Severity;
    using K = ProblemKind;
    const Case cases[] = {
        {"EqCode above", [](Equipment& e) { e.setEqCode(32768); }, S::Error, K::TwoByteOutOfRange,
         Field::EqCode, "EqCode 32768 is outside 0 to 32767; the save refuses it"},
        {"EqCode below", [](Equipment& e) { e.setEqCode(-1); }, S::Error, K::TwoByteOutOfRange,
         Field::EqCode, "EqCode -1 is outside 0 to 32767; the save refuses it"},
        {"UnitSpecial high bit", [](Equipment& e) { e.setUnitSpecial(32768); }, S::Error,
         K::TwoByteOutOfRange, Field::UnitSpecial, nullptr},
        {"AttackSound", [](Equipment& e) { e.setAttackSound(-5); }, S::Error, K::TwoByteOutOfRange,
         Field::AttackSound, nullptr},
        {"MoveSound", [](Equipment& e) { e.setMoveSound(40000); }, S::Error, K::TwoByteOutOfRange,
         Field::MoveSound, nullptr},
        {"DeathSound", [](Equipment& e) { e.setDeathSound(1 << 20); }, S::Error,
         K::TwoByteOutOfRange, Field::DeathSound, nullptr},
        {"cost rounds to 256", [](Equipment& e) { e.setPrestigeCost(3066); }, S::Error,
         K::CostOutOfRange, Field::PrestigeCost,
         "PrestigeCost 3066 is outside -6 to 3065; the save refuses it"},
        {"cost rounds below 0", [](Equipment& e) { e.setPrestigeCost(-7); }, S::Error,
         K::CostOutOfRange, Field::PrestigeCost, nullptr},
        {"Country 26", [](Equipment& e) { e.setCountry(26); }, S::Error, K::CountryOutOfRange,
         Field::Country, "Country 26 is outside 0 to 25; the save refuses it"},
        {"Country -1", [](Equipment& e) { e.setCountry(-1); }, S::Error, K::CountryOutOfRange,
         Field::Country, nullptr},
        {"CR in name", [](Equipment& e) { e.setEqName("Tiger\rI"); }, S::Error, K::LineBreakInName,
         Field::EqName, nullptr},
        {"CR LF in name", [](Equipment& e) { e.setEqName("Tiger\r\nI"); }, S::Error,
         K::LineBreakInName, Field::EqName,
         "EqName holds a CR, which would split the name list; the save refuses it"},
        {"icon of 7", [](Equipment& e) { e.setIconName("TIGER1X"); }, S::Warning, K::TextCut,
         Field::IconName, "IconName is 7 bytes long; the save keeps the first 6, \"TIGER1\""},
        {"tail of 23", [](Equipment& e) { e.setLastPart(std::string(23, '\0')); }, S::Warning,
         K::TextCut, Field::LastPart, "LastPart is 23 bytes long; the save keeps the first 22"},
        {"cost 30", [](Equipment& e) { e.setPrestigeCost(30); }, S::Warning, K::CostRounded,
         Field::PrestigeCost, "PrestigeCost 30 is not a multiple of 12; the save rounds it to 24"},
        {"cost 3065", [](Equipment& e) { e.setPrestigeCost(3065); }, S::Warning, K::CostRounded,
         Field::PrestigeCost,
         "PrestigeCost 3065 is not a multiple of 12; the save rounds it to 3060"},
        {"cost -6", [](Equipment& e) { e.setPrestigeCost(-6); }, S::Warning, K::CostRounded,
         Field::PrestigeCost, nullptr},
        {"class", [](Equipment& e) { e.setEqClass(30); }, S::Warning, K::NoWord, Field::EqClass,
         "EqClass 30 has no word"},
        {"class 22", [](Equipment& e) { e.setEqClass(22); }, S::Warning, K::NoWord, Field::EqClass,
         nullptr},
        {"target type", [](Equipment& e) { e.setTargetType(4); }, S::Warning, K::NoWord,
         Field::TargetType, nullptr},
        {"move mode", [](Equipment& e) { e.setMoveMode(2); }, S::Warning, K::NoWord,
         Field::MoveMode, nullptr},
        {"movement method", [](Equipment& e) { e.setMovementMode(13); }, S::Warning, K::NoWord,
         Field::MovementMode, nullptr},
        {"transport", [](Equipment& e) { e.setNonOrganicTransport(255); }, S::Warning, K::NoWord,
         Field::NonOrganicTransport, "NonOrganicTransport 255 has no word"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Equipments list;
        list.Add(cleanRecord());
        c.spoil(*list.Add(cleanRecord()));
        list.Item(2)->setEqCode(list.Item(2)->EqCode() == 298 ? 299 : list.Item(2)->EqCode());
        std::vector<Problem> problems = CheckList(list);
        ASSERT_EQ(problems.size(), 1u);
        const Problem& p = problems[0];
        EXPECT_EQ(p.severity, c.severity);
        EXPECT_EQ(p.kind, c.kind);
        EXPECT_EQ(p.field, static_cast<int>(c.field));
        EXPECT_EQ(p.record, 2);
        EXPECT_EQ(p.eqCode, list.Item(2)->EqCode());
        EXPECT_EQ(p.eqName, list.Item(2)->EqName());
        if (c.message) {
            EXPECT_EQ(p.message, c.message);
        }
    }
}

// The Problems panel leaves the problems as they are after a change of a
// field the check does not read: for each such field no value may change
// them, and each field it reads must have a value that does.
TEST_F(Validator, OnlyTheFieldsTheCheckReadsChangeAProblem) {
    const std::vector<std::int64_t> numbers = {-70000, -1, 0, 1, 7, 13, 255, 256, 32768, 65536};
    const std::vector<Text> texts = {"", "x", "a\rb", std::string(40, 'y'), std::string(60, 'z')};
    for (int field = 0; field < kFieldCount; ++field) {
        SCOPED_TRACE(fieldName(field));
        const Equipment clean = cleanRecord();
        std::vector<Problem> before;
        CheckRecord(clean, 1, before);
        bool changed = false;
        auto probe = [&](const Equipment& e) {
            std::vector<Problem> after;
            CheckRecord(e, 1, after);
            if (!CheckReadsField(field)) {
                EXPECT_EQ(after, before);
            }
            changed = changed || after != before;
        };
        if (fieldKind(field) == FieldKind::Text) {
            for (const Text& text : texts) {
                Equipment e = clean;
                e.setText(field, text);
                probe(e);
            }
        } else {
            for (std::int64_t number : numbers) {
                Equipment e = clean;
                e.setNumber(field, number);
                probe(e);
            }
        }
        EXPECT_EQ(changed, CheckReadsField(field));
    }
}

TEST_F(Validator, DuplicateCodesNameTheFirstOtherRecord) {
    Equipments list;
    for (Long code : {5, 7, 5, 5, -3, -3, 40000}) {
        Equipment e = cleanRecord();
        e.setEqCode(code);
        list.Add(e);
    }
    std::vector<std::string> found;
    for (const Problem& p : CheckList(list)) {
        if (p.kind == ProblemKind::DuplicateCode)
            found.push_back(std::to_string(p.record) + ": " + p.message);
    }
    const std::vector<std::string> expected = {
        "1: EqCode 5 is also used by record 3",  "3: EqCode 5 is also used by record 1",
        "4: EqCode 5 is also used by record 1",  "5: EqCode -3 is also used by record 6",
        "6: EqCode -3 is also used by record 5",
    };
    EXPECT_EQ(found, expected);
}

TEST_F(Validator, TooManyRecordsIsAnErrorOfTheFile) {
    Equipments list;
    list.reserve(32768);
    for (Long i = 0; i < 32767; ++i) {
        Equipment e = cleanRecord();
        e.setEqCode(i);
        list.Add(e);
    }
    EXPECT_TRUE(CheckList(list).empty());
    list.Add(cleanRecord());
    std::vector<Problem> problems = CheckList(list);
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems[0].kind, ProblemKind::TooManyRecords);
    EXPECT_EQ(problems[0].severity, Severity::Error);
    EXPECT_EQ(problems[0].record, 0);
    EXPECT_EQ(SaveRefusals(list, list.Count() + 1).size(), 1u);
}

// Random records with random faults: the check's errors are exactly what the
// encoder refuses, and on a record it accepts, a field that a save and a load
// change carries a warning.
TEST_F(Validator, ErrorsAndWarningsAgreeWithTheEncoder) {
    std::mt19937 random(31);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    for (int round = 0; round < 3000; ++round) {
        Equipment e = RandomEquipment(random);
        for (int faults = pick(3); faults > 0; --faults) {
            switch (pick(7)) {
                case 0:
                    e.setEqCode(pick(2) ? 32767 + pick(3) : -pick(2));
                    break;
                case 1:
                    e.setPrestigeCost(pick(3200) - 20);
                    break;
                case 2:
                    e.setCountry(pick(30) - 2);
                    break;
                case 3:
                    e.setUnitSpecial(32766 + pick(4));
                    break;
                case 4:
                    e.setEqName(e.EqName() + (pick(2) ? "\r" : "\n"));
                    break;
                case 5:
                    e.setIconName(std::string(static_cast<std::size_t>(pick(9)), 'I'));
                    break;
                default:
                    e.setLastPart(std::string(static_cast<std::size_t>(19 + pick(6)), 'L'));
            }
        }
        Equipments list;
        list.Add(e);
        std::string names, binary;
        const bool refused =
            EncodeNameList(list, names) != 0 || EncodeBinaryFile(list, binary) != 0;
        std::vector<Problem> problems = CheckList(list);
        ASSERT_EQ(refused, CountOf(problems, Severity::Error) > 0) << round;
        ASSERT_EQ(refused, !SaveRefusals(list, 1).empty()) << round;
        if (refused)
            continue;
        Equipments back;
        ASSERT_EQ(DecodeEquipmentPair(names, binary, back), 0);
        for (int f = 0; f < kFieldCount; ++f) {
            bool changed = fieldKind(f) == FieldKind::Text ? back.Item(1)->text(f) != e.text(f)
                                                           : back.Item(1)->number(f) != e.number(f);
            bool warned = false;
            for (const Problem& p : problems)
                warned = warned || (p.field == f && (p.kind == ProblemKind::TextCut ||
                                                     p.kind == ProblemKind::CostRounded));
            // Trailing zero bytes a load drops are the file's padding, not a cut.
            if (f == static_cast<int>(Field::IconName) || f == static_cast<int>(Field::LastPart))
                changed = changed &&
                          e.text(f).size() > (f == static_cast<int>(Field::IconName) ? 6u : 22u);
            EXPECT_EQ(changed, warned) << round << " " << fieldName(f);
        }
    }
}

// A panel re-checks one record after each edit; the result must be what a
// whole check would give.
TEST_F(Validator, RecheckingChangedRecordsGivesTheWholeCheck) {
    std::mt19937 random(41);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    Equipments list;
    for (int i = 0; i < 60; ++i) {
        Equipment e = cleanRecord();
        e.setEqCode(pick(40));
        list.Add(e);
    }
    std::vector<Problem> problems = CheckList(list);
    for (int round = 0; round < 600; ++round) {
        // Often one record, as an edit; sometimes a few, as an exchange.
        std::vector<Long> changed;
        for (int edits = pick(3) == 0 ? 1 + pick(4) : 1; edits > 0; --edits) {
            const Long position = 1 + pick(list.Count());
            changed.push_back(position);
            Equipment& e = *list.Item(position);
            switch (pick(5)) {
                case 0:
                case 1:
                    e.setEqCode(pick(40));
                    break;
                case 2:
                    e.setEqClass(static_cast<Byte>(pick(30)));
                    break;
                case 3:
                    e.setCountry(pick(28));
                    break;
                default:
                    e.setEqName(pick(2) ? "a\rb" : "ok");
            }
        }
        RecheckRecords(list, changed, problems);
        ASSERT_EQ(problems, CheckList(list)) << round;
    }
}

// A move up or down only changes places among a few records; the re-check
// told so must still give the whole check, duplicates or not.
TEST_F(Validator, RecheckingRecordsMovedAmongThemselvesGivesTheWholeCheck) {
    std::mt19937 random(47);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    Equipments list;
    for (int i = 0; i < 50; ++i) {
        Equipment e = cleanRecord();
        // Codes under 10 are shared by several records, the others mostly not.
        e.setEqCode(pick(3) == 0 ? pick(10) : 10 + pick(400));
        if (pick(5) == 0)
            e.setEqClass(30);
        list.Add(e);
    }
    std::vector<Problem> problems = CheckList(list);
    for (int round = 0; round < 600; ++round) {
        // A run of two to four records turned by one place, as a move of a
        // record past the others does; sometimes two such moves at once.
        std::vector<Long> moved;
        for (int moves = pick(4) == 0 ? 2 : 1; moves > 0; --moves) {
            const Long count = 2 + pick(3);
            const Long first = 1 + pick(list.Count() - count + 1);
            for (Long p = first; p + 1 < first + count; ++p)
                std::swap(*list.Item(p), *list.Item(p + 1));
            for (Long p = first; p < first + count; ++p)
                moved.push_back(p);
        }
        for (ProblemSplice& splice : RecheckSplices(list, moved, problems, true))
            ApplySplice(problems, std::move(splice));
        ASSERT_EQ(problems, CheckList(list)) << round;
    }
}

// A sort's problems come from the ones before it: the records' own move
// with them, the duplicates name the records that now come first.
TEST_F(Validator, ProblemsOfReorderedRecordsAreTheWholeCheck) {
    // Without a duplicate code the reordering skips looking for them.
    for (bool duplicates : {true, false})
        reorderAndCompare(duplicates);
}

void Validator::reorderAndCompare(bool duplicates) {
    std::mt19937 random(53);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    Equipments list;
    for (int i = 0; i < 60; ++i) {
        Equipment e = cleanRecord();
        e.setEqCode(!duplicates ? 3 * i : pick(2) == 0 ? pick(12) : 12 + pick(400));
        if (pick(4) == 0)
            e.setEqClass(30);
        if (pick(6) == 0)
            e.setCountry(26);
        list.Add(e);
    }
    std::vector<Problem> problems = CheckList(list);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::int32_t> order(static_cast<std::size_t>(list.Count()));
        std::iota(order.begin(), order.end(), 0);
        switch (round % 3) {
            case 0:
                std::shuffle(order.begin(), order.end(), random);
                break;
            case 1:
                std::reverse(order.begin() + pick(30), order.end() - pick(30));
                break;
            default:
                std::swap(order[static_cast<std::size_t>(pick(60))],
                          order[static_cast<std::size_t>(pick(60))]);
        }
        ApplyOrder(list, order);
        problems = PermutedProblems(list, order, std::move(problems));
        ASSERT_EQ(problems, CheckList(list)) << round << (duplicates ? " duplicates" : "");
    }
}

// Records taken in or out move the problems after them, and every duplicate
// that names a record that moved or went names another.
TEST_F(Validator, InsertingOrRemovingRecordsGivesTheWholeCheck) {
    std::mt19937 random(43);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    auto record = [&] {
        Equipment e = cleanRecord();
        e.setEqCode(pick(25));
        if (pick(4) == 0)
            e.setEqClass(30);
        if (pick(6) == 0)
            e.setCountry(26);
        return e;
    };
    Equipments list;
    for (int i = 0; i < 40; ++i)
        list.Add(record());
    std::vector<Problem> problems = CheckList(list);
    for (int round = 0; round < 600; ++round) {
        const Long count = 1 + pick(3);
        if (list.Count() > 60 || (list.Count() > count && pick(2) == 0)) {
            const Long position = 1 + pick(list.Count() - count + 1);
            list.RemoveRange(position, count);
            RecheckInsertOrRemove(list, position, -count, problems);
        } else {
            const Long position = 1 + pick(list.Count() + 1);
            Equipments grown;
            for (Long p = 1; p <= list.Count() + count; ++p) {
                if (p >= position && p < position + count)
                    grown.Add(record());
                else
                    grown.Add(*list.Item(p < position ? p : p - count));
            }
            list = std::move(grown);
            RecheckInsertOrRemove(list, position, count, problems);
        }
        ASSERT_EQ(problems, CheckList(list)) << round;
    }
}

// A re-check replaces only the problems that change, the duplicates of the
// records sharing an old or a new code among them.
TEST_F(Validator, RecheckingTouchesOnlyWhatChanged) {
    using Change = std::pair<Long, std::function<void(Equipment&)>>;
    auto code = [](Long c) { return [c](Equipment& e) { e.setEqCode(c); }; };
    struct Case {
        const char* what;
        std::vector<Change> changes;
        std::set<Long> touched;  // records whose problems are replaced
    };
    // Codes by position: 1:10 2:20 3:10 4:30 5:40000 6:10 7:50 8:50.
    const Case cases[] = {
        {"an error fixed", {{5, [](Equipment& e) { e.setCountry(7); }}}, {5}},
        {"a new problem", {{4, [](Equipment& e) { e.setEqClass(30); }}}, {4}},
        {"a changed message", {{2, [](Equipment& e) { e.setEqClass(31); }}}, {2}},
        {"a new error on a record with a duplicate",
         {{6, [](Equipment& e) { e.setAttackSound(-1); }}},
         {6}},
        {"a record with a duplicate renamed", {{3, [](Equipment& e) { e.setEqName("New"); }}}, {3}},
        {"a free code for a record without problems", {{4, code(31)}}, {}},
        {"a duplicate created in another record", {{4, code(20)}}, {2, 4}},
        {"the first of a group leaves it", {{1, code(60)}}, {1, 3, 6}},
        {"a group gains a new first", {{2, code(10)}}, {1, 2}},
        {"a pair broken", {{8, code(70)}}, {7, 8}},
        {"from one group into another", {{8, code(20)}}, {2, 7, 8}},
        {"a code outside two bytes shared", {{4, code(40000)}}, {4, 5}},
        {"a group member given its own code", {{6, code(10)}}, {}},
        {"two records exchange their codes", {{2, code(10)}, {3, code(20)}}, {1, 2, 3}},
        {"two records exchange codes of different groups",
         {{1, code(50)}, {8, code(10)}},
         {1, 3, 6, 7, 8}},
        {"two records take one free code", {{2, code(90)}, {4, code(90)}}, {2, 4}},
        {"a pair leaves its code together", {{7, code(91)}, {8, code(92)}}, {7, 8}},
        {"renamed, and a group left",
         {{3, [](Equipment& e) { e.setEqName("X"); }}, {1, code(60)}},
         {1, 3, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Equipments list;
        for (Long code : {10, 20, 10, 30, 40000, 10, 50, 50}) {
            Equipment e = cleanRecord();
            e.setEqCode(code);
            e.setEqName("Unit" + std::to_string(list.Count() + 1));
            list.Add(e);
        }
        list.Item(2)->setEqClass(30);
        list.Item(5)->setCountry(26);
        std::vector<Problem> problems = CheckList(list);
        std::vector<Long> positions;
        for (const Change& change : c.changes) {
            change.second(*list.Item(change.first));
            positions.push_back(change.first);
        }

        std::vector<ProblemSplice> splices = RecheckSplices(list, positions, problems);
        std::set<Long> touched;
        for (const ProblemSplice& s : splices) {
            for (std::size_t k = s.first; k < s.first + s.removed; ++k)
                touched.insert(problems[k].record);
            for (const Problem& p : s.inserted)
                touched.insert(p.record);
        }
        EXPECT_EQ(touched, c.touched);
        for (ProblemSplice& s : splices)
            ApplySplice(problems, std::move(s));
        EXPECT_EQ(problems, CheckList(list));
    }
}

TEST_F(Validator, TheOneLineForm) {
    struct Case {
        Long record;
        Long code;
        Text name;
        std::string expected;
    };
    const Case cases[] = {
        {12, 298, "Tiger I", "record 12 (N 298, \"Tiger I\"): m"},
        {3, -1, "a\r\nb\t\x01\x7F\xC4", "record 3 (N -1, \"a\\r\\nb\\t\\x01\\x7F\xC4\"): m"},
        {0, 5, "ignored", "file: m"},
    };
    for (const Case& c : cases) {
        Problem p;
        p.record = c.record;
        p.eqCode = c.code;
        p.eqName = c.name;
        p.message = "m";
        EXPECT_EQ(FormatProblem(p), c.expected);
    }
}

}  // namespace
}  // namespace kestrel
