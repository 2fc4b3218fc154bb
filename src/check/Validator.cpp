#include "check/Validator.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <unordered_map>

#include "storage/RecordFormat.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {

namespace {

constexpr int fieldOf(Field f) {
    return static_cast<int>(f);
}

class RecordProblems {
public:
    RecordProblems(const Equipment& record, Long position, std::vector<Problem>& out)
        : mRecord(record), mPosition(position), mOut(out) {}

    void add(Severity severity, ProblemKind kind, int field, std::string message) {
        Problem p;
        p.severity = severity;
        p.kind = kind;
        p.record = mPosition;
        p.eqCode = mRecord.EqCode();
        p.eqName = mRecord.EqName();
        p.field = field;
        p.message = std::move(message);
        mOut.push_back(std::move(p));
    }

private:
    const Equipment& mRecord;
    Long mPosition;
    std::vector<Problem>& mOut;
};

std::string valueOf(const Equipment& record, int field) {
    return std::string(fieldName(field)) + " " + std::to_string(record.number(field));
}

void checkWord(const Equipment& record, Field f, Byte code, std::size_t words,
               RecordProblems& problems) {
    if (code >= words)
        problems.add(Severity::Warning, ProblemKind::NoWord, fieldOf(f),
                     valueOf(record, fieldOf(f)) + " has no word");
}

void checkCut(const Equipment& record, Field f, std::size_t size, RecordProblems& problems) {
    const Text& text = record.text(fieldOf(f));
    if (text.size() <= size)
        return;
    std::string message = std::string(fieldName(fieldOf(f))) + " is " +
                          std::to_string(text.size()) + " bytes long; the save keeps the first " +
                          std::to_string(size);
    // The tail is raw bytes, often zeros: quoting it would show the user little.
    if (f == Field::IconName)
        message += ", \"" + SpelledOut(text.substr(0, size)) + "\"";
    problems.add(Severity::Warning, ProblemKind::TextCut, fieldOf(f), std::move(message));
}

// The lowest and highest costs whose twelfths still round into a byte.
std::string costRange() {
    return std::to_string(-kCostStep / 2) + " to " +
           std::to_string(kMaxCostByte * kCostStep + kCostStep / 2 - 1);
}

}  // namespace

void CheckRecord(const Equipment& record, Long position, std::vector<Problem>& out) {
    RecordProblems problems(record, position, out);
    const char* const refused = "; the save refuses it";
    auto twoByte = [&](Field f, Long v) {
        if (v < 0 || v > kMaxTwoByte)
            problems.add(Severity::Error, ProblemKind::TwoByteOutOfRange, fieldOf(f),
                         valueOf(record, fieldOf(f)) + " is outside 0 to " +
                             std::to_string(kMaxTwoByte) + refused);
    };

    twoByte(Field::EqCode, record.EqCode());
    // Only a CR ends a line of the name list; a lone LF is read back as it was.
    if (std::memchr(record.EqName().data(), '\r', record.EqName().size())) {
        problems.add(Severity::Error, ProblemKind::LineBreakInName, fieldOf(Field::EqName),
                     std::string("EqName holds a CR, which would split the name list") + refused);
    }
    checkWord(record, Field::EqClass, record.EqClass(), ClassNames.size(), problems);
    checkWord(record, Field::TargetType, record.TargetType(), TargetTypeNames.size(), problems);
    checkWord(record, Field::MoveMode, record.MoveMode(), MoveModeNames.size(), problems);
    checkWord(record, Field::MovementMode, record.MovementMode(), MovementMethodNames.size(),
              problems);

    const Long cost = record.PrestigeCost();
    const long saved = SavedCostByte(cost);
    if (saved < 0 || saved > kMaxCostByte) {
        problems.add(
            Severity::Error, ProblemKind::CostOutOfRange, fieldOf(Field::PrestigeCost),
            valueOf(record, fieldOf(Field::PrestigeCost)) + " is outside " + costRange() + refused);
    } else if (cost % kCostStep != 0) {
        problems.add(Severity::Warning, ProblemKind::CostRounded, fieldOf(Field::PrestigeCost),
                     valueOf(record, fieldOf(Field::PrestigeCost)) +
                         " is not a multiple of 12; the save rounds it to " +
                         std::to_string(saved * kCostStep));
    }

    checkWord(record, Field::NonOrganicTransport, record.NonOrganicTransport(),
              TransportNames.size(), problems);
    if (record.Country() < 0 || record.Country() > kMaxCountry) {
        problems.add(Severity::Error, ProblemKind::CountryOutOfRange, fieldOf(Field::Country),
                     valueOf(record, fieldOf(Field::Country)) + " is outside 0 to " +
                         std::to_string(kMaxCountry) + refused);
    }
    twoByte(Field::UnitSpecial, record.UnitSpecial());
    checkCut(record, Field::IconName, kIconSize, problems);
    twoByte(Field::AttackSound, record.AttackSound());
    twoByte(Field::MoveSound, record.MoveSound());
    twoByte(Field::DeathSound, record.DeathSound());
    checkCut(record, Field::LastPart, kLastPartSize, problems);
    // A country mask the load could not place is reported by LoadProblems
    // from the file's bytes; the record keeps it for the save.
}

namespace {

// The duplicate-code problem of record at position, naming other.
void addDuplicate(const Equipment& record, Long position, Long other, std::vector<Problem>& out) {
    RecordProblems(record, position, out)
        .add(Severity::Warning, ProblemKind::DuplicateCode, fieldOf(Field::EqCode),
             valueOf(record, fieldOf(Field::EqCode)) + " is also used by record " +
                 std::to_string(other));
}

// The first two positions of each EqCode. Flat tables cover every code a
// save accepts; others are rare.
class CodePositions {
public:
    explicit CodePositions(const Equipments& list)
        : mFirst(kMaxTwoByte + 1, 0), mSecond(kMaxTwoByte + 1, 0) {
        Long position = 0;
        for (const EquipmentRef& record : list) {
            Slots s = slots(record->EqCode());
            ++position;
            if (*s.first == 0)
                *s.first = position;
            else if (*s.second == 0)
                *s.second = position;
        }
    }

    // Appends the duplicate-code problem of record at position, if it has one.
    void check(const Equipment& record, Long position, std::vector<Problem>& out) {
        Slots s = slots(record.EqCode());
        if (*s.second == 0)
            return;
        addDuplicate(record, position, *s.first == position ? *s.second : *s.first, out);
    }

private:
    struct Slots {
        Long* first;
        Long* second;
    };
    Slots slots(Long code) {
        if (code >= 0 && code <= kMaxTwoByte)
            return {&mFirst[static_cast<std::size_t>(code)],
                    &mSecond[static_cast<std::size_t>(code)]};
        auto& pair = mOutside[code];
        return {&pair.first, &pair.second};
    }

    std::vector<Long> mFirst;
    std::vector<Long> mSecond;
    std::unordered_map<Long, std::pair<Long, Long>> mOutside;
};

}  // namespace

void CheckDuplicateCodes(const Equipments& list, std::vector<Problem>& out) {
    CodePositions codes(list);
    Long position = 0;
    for (const EquipmentRef& record : list)
        codes.check(*record, ++position, out);
}

namespace {

void checkCount(const Equipments& list, std::vector<Problem>& out) {
    if (list.Count() <= kMaxTwoByte)
        return;
    Problem p;
    p.severity = Severity::Error;
    p.kind = ProblemKind::TooManyRecords;
    p.message = std::to_string(list.Count()) + " records, more than the " +
                std::to_string(kMaxTwoByte) +
                " the equipment file can count; the save refuses them";
    out.push_back(std::move(p));
}

}  // namespace

std::vector<Problem> CheckList(const Equipments& list) {
    std::vector<Problem> problems;
    checkCount(list, problems);
    CodePositions codes(list);
    Long position = 0;
    for (const EquipmentRef& record : list) {
        CheckRecord(*record, ++position, problems);
        codes.check(*record, position, problems);
    }
    return problems;
}

std::vector<Problem> SaveRefusals(const Equipments& list, Long counter) {
    std::vector<Problem> problems;
    if (counter >= 1 && counter <= list.Count())
        CheckRecord(*list.Item(counter), counter, problems);
    else
        checkCount(list, problems);
    problems.erase(std::remove_if(problems.begin(), problems.end(),
                                  [](const Problem& p) { return p.severity != Severity::Error; }),
                   problems.end());
    return problems;
}

namespace {

bool beforeRecord(const Problem& p, Long position) {
    return p.record < position;
}
bool beforeProblemOf(Long position, const Problem& p) {
    return position < p.record;
}

// Where the problems of the record at position sit in a CheckList result.
std::pair<std::size_t, std::size_t> rangeOf(const std::vector<Problem>& problems, Long position) {
    auto first = std::lower_bound(problems.begin(), problems.end(), position, beforeRecord);
    auto last = std::upper_bound(first, problems.end(), position, beforeProblemOf);
    return {static_cast<std::size_t>(first - problems.begin()),
            static_cast<std::size_t>(last - problems.begin())};
}

// The record a duplicate-code problem of position names, for a group of
// positions sharing one code (in order); 0 when it has none.
Long otherIn(const std::vector<Long>& group, Long position) {
    if (group.size() < 2)
        return 0;
    return group[0] == position ? group[1] : group[0];
}

}  // namespace

std::vector<ProblemSplice> RecheckSplices(const Equipments& list, Long position,
                                          const std::vector<Problem>& problems) {
    const Equipment& record = *list.Item(position);
    const auto [first, last] = rangeOf(problems, position);
    // A record's duplicate problem is its last and holds the code it had.
    const bool hadDuplicate = last > first && problems[last - 1].kind == ProblemKind::DuplicateCode;
    const Long code = record.EqCode();
    const Long oldCode = first < last ? problems[first].eqCode : code;

    std::vector<Problem> mine;
    CheckRecord(record, position, mine);
    // The positions sharing the old and the new code, now.
    std::vector<Long> sharingNew;
    std::vector<Long> sharingOld;
    if (oldCode == code && first < last) {
        // Same code, so the same group: the duplicate names the same record.
        if (hadDuplicate) {
            mine.push_back(problems[last - 1]);
            mine.back().eqName = record.EqName();
        }
    } else {
        Long at = 0;
        for (const EquipmentRef& r : list) {
            ++at;
            if (r->EqCode() == code)
                sharingNew.push_back(at);
            else if (hadDuplicate && r->EqCode() == oldCode)
                sharingOld.push_back(at);
        }
        if (const Long other = otherIn(sharingNew, position))
            addDuplicate(record, position, other, mine);
    }

    std::vector<std::pair<Long, ProblemSplice>> splices;
    if (mine.size() != last - first ||
        !std::equal(mine.begin(), mine.end(), problems.begin() + static_cast<long>(first))) {
        splices.push_back({position, {first, last - first, std::move(mine)}});
    }
    // Another record's duplicate changes when the record its group names
    // changes: before, the record at position was in the old group and not
    // in the new one.
    auto follow = [&](const std::vector<Long>& before, const std::vector<Long>& after) {
        for (Long at : after) {
            if (at == position)
                continue;
            const Long was = otherIn(before, at);
            const Long is = otherIn(after, at);
            if (was == is)
                continue;
            const auto [from, to] = rangeOf(problems, at);
            ProblemSplice splice;
            // With a duplicate before, it is the last of the record's run.
            splice.first = was ? to - 1 : to;
            splice.removed = was ? 1 : 0;
            if (is)
                addDuplicate(*list.Item(at), at, is, splice.inserted);
            splices.push_back({at, std::move(splice)});
        }
    };
    if (!sharingNew.empty()) {
        std::vector<Long> before;
        std::copy_if(sharingNew.begin(), sharingNew.end(), std::back_inserter(before),
                     [position](Long at) { return at != position; });
        follow(before, sharingNew);
    }
    if (!sharingOld.empty()) {
        std::vector<Long> before = sharingOld;
        before.insert(std::upper_bound(before.begin(), before.end(), position), position);
        follow(before, sharingOld);
    }

    // One splice per record, and runs in record order: the last record's
    // first keeps the earlier ones' places.
    std::sort(splices.begin(), splices.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<ProblemSplice> ordered;
    ordered.reserve(splices.size());
    for (auto& s : splices)
        ordered.push_back(std::move(s.second));
    return ordered;
}

void ApplySplice(std::vector<Problem>& problems, ProblemSplice splice) {
    const std::size_t kept = std::min(splice.removed, splice.inserted.size());
    const auto at = problems.begin() + static_cast<long>(splice.first);
    std::move(splice.inserted.begin(), splice.inserted.begin() + static_cast<long>(kept), at);
    if (splice.removed > kept) {
        problems.erase(at + static_cast<long>(kept), at + static_cast<long>(splice.removed));
    } else {
        problems.insert(at + static_cast<long>(kept),
                        std::make_move_iterator(splice.inserted.begin() + static_cast<long>(kept)),
                        std::make_move_iterator(splice.inserted.end()));
    }
}

void RecheckRecord(const Equipments& list, Long position, std::vector<Problem>& problems) {
    for (ProblemSplice& splice : RecheckSplices(list, position, problems))
        ApplySplice(problems, std::move(splice));
}

}  // namespace kestrel
