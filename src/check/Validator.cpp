#include "check/Validator.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string_view>
#include <tuple>
#include <unordered_map>

#include "model/RecordFormat.h"
#include "storage/EquipmentFiles.h"
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
        // Made in its place: a list of copies has a problem on every record.
        Problem& p = mOut.emplace_back();
        p.severity = severity;
        p.kind = kind;
        p.record = mPosition;
        p.eqCode = mRecord.EqCode();
        p.eqName = mRecord.EqName();
        p.field = field;
        p.message = std::move(message);
    }

private:
    const Equipment& mRecord;
    Long mPosition;
    std::vector<Problem>& mOut;
};

// A number's digits, in a buffer of the caller's.
struct Digits {
    char buffer[24];
    std::string_view text;
    explicit Digits(std::int64_t value)
        : text(buffer, static_cast<std::size_t>(
                           std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer)) {}
    Digits(const Digits&) = delete;  // text points into buffer
    Digits& operator=(const Digits&) = delete;
};

// Pieces joined in one allocation: the messages that a list of copies or
// of unknown codes has on every record are built so.
std::string joined(std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (std::string_view piece : pieces)
        size += piece.size();
    std::string text;
    text.reserve(size);
    for (std::string_view piece : pieces)
        text.append(piece);
    return text;
}

std::string valueOf(const Equipment& record, int field) {
    return joined({fieldName(field), " ", Digits(record.number(field)).text});
}

void checkWord(const Equipment& record, Field f, Byte code, std::size_t words,
               RecordProblems& problems) {
    if (code >= words)
        problems.add(Severity::Warning, ProblemKind::NoWord, fieldOf(f),
                     joined({fieldName(fieldOf(f)), " ", Digits(record.number(fieldOf(f))).text,
                             " has no word"}));
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

bool CheckReadsField(int field) {
    switch (static_cast<Field>(field)) {
        case Field::EqCode:
        case Field::EqName:
        case Field::EqClass:
        case Field::TargetType:
        case Field::MoveMode:
        case Field::MovementMode:
        case Field::PrestigeCost:
        case Field::NonOrganicTransport:
        case Field::Country:
        case Field::UnitSpecial:
        case Field::IconName:
        case Field::AttackSound:
        case Field::MoveSound:
        case Field::DeathSound:
        case Field::LastPart:
            return true;
        default:
            return false;
    }
}

namespace {

// The duplicate-code problem of record at position, naming other.
void addDuplicate(const Equipment& record, Long position, Long other, std::vector<Problem>& out) {
    // Built in one buffer: a list of copies has a message like this on
    // nearly every record, and the check follows every whole-list command.
    std::string message =
        joined({fieldName(fieldOf(Field::EqCode)), " ", Digits(record.EqCode()).text,
                " is also used by record ", Digits(other).text});
    RecordProblems(record, position, out)
        .add(Severity::Warning, ProblemKind::DuplicateCode, fieldOf(Field::EqCode),
             std::move(message));
}

// A duplicate-code problem that names other instead: its message ends in
// the record it names.
void nameOther(Problem& duplicate, Long other) {
    duplicate.message.resize(duplicate.message.rfind(' ') + 1);
    duplicate.message += std::to_string(other);
}

// The first two positions of each EqCode. Flat tables cover every code a
// save accepts; others are rare.
class CodePositions {
public:
    explicit CodePositions(const Equipments& list)
        : mFirst(kMaxTwoByte + 1, 0), mSecond(kMaxTwoByte + 1, 0) {
        Long position = 0;
        for (const EquipmentRef& record : list)
            add(record->EqCode(), ++position);
    }
    // codes: the list's, in list order.
    explicit CodePositions(const std::vector<Long>& codes)
        : mFirst(kMaxTwoByte + 1, 0), mSecond(kMaxTwoByte + 1, 0) {
        Long position = 0;
        for (Long code : codes)
            add(code, ++position);
    }

    // Appends the duplicate-code problem of record at position, if it has one.
    void check(const Equipment& record, Long position, std::vector<Problem>& out) {
        if (const Long other = otherOf(record.EqCode(), position))
            addDuplicate(record, position, other, out);
    }
    // The record a duplicate-code problem of the record with code at
    // position names; 0 when it has none.
    Long otherOf(Long code, Long position) {
        Slots s = slots(code);
        if (*s.second == 0)
            return 0;
        return *s.first == position ? *s.second : *s.first;
    }

private:
    struct Slots {
        Long* first;
        Long* second;
    };
    void add(Long code, Long position) {
        Slots s = slots(code);
        if (*s.first == 0)
            *s.first = position;
        else if (*s.second == 0)
            *s.second = position;
    }
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

std::vector<Problem> PermutedProblems(const Equipments& list,
                                      const std::vector<std::int32_t>& order,
                                      std::vector<Problem> problems) {
    const auto n = static_cast<std::size_t>(list.Count());
    if (order.size() != n)
        return CheckList(list);
    std::vector<char> taken(n, 0);
    for (std::int32_t from : order) {
        if (from < 0 || static_cast<std::size_t>(from) >= n ||
            taken[static_cast<std::size_t>(from)])
            return CheckList(list);
        taken[static_cast<std::size_t>(from)] = 1;
    }
    std::vector<Problem> out;
    out.reserve(problems.size());
    // The list's own findings come before any record's.
    std::size_t k = 0;
    for (; k < problems.size() && problems[k].record == 0; ++k)
        out.push_back(std::move(problems[k]));
    // Where each record's problems start (the check gives them in list
    // order), so that they are taken in the new order, each moved once.
    std::vector<std::size_t> start(n + 1, 0);
    bool duplicates = false;
    for (std::size_t i = k; i < problems.size(); ++i) {
        const Long record = problems[i].record;
        if (record < 1 || static_cast<std::size_t>(record) > n ||
            (i > k && record < problems[i - 1].record))
            return CheckList(list);
        ++start[static_cast<std::size_t>(record)];
        duplicates |= problems[i].kind == ProblemKind::DuplicateCode;
    }
    start[0] = k;
    for (std::size_t r = 1; r <= n; ++r)
        start[r] += start[r - 1];
    // Each record keeps its code, so those with a duplicate still have one;
    // it names another record when the first two under the code changed.
    // Without a duplicate before there is none after: the codes are the same.
    std::vector<Long> codes;
    std::optional<CodePositions> positions;
    if (duplicates) {
        codes.reserve(n);
        for (const EquipmentRef& record : list)
            codes.push_back(record->EqCode());
        positions.emplace(codes);
    }
    // The problems are taken from all over the old list, and a duplicate's
    // message, which names a new record, lies elsewhere again: both are
    // fetched some records ahead, or each would wait for memory.
    constexpr std::size_t kAhead = 16;
    auto lastOf = [&](std::size_t p) -> const Problem* {
        const auto was = static_cast<std::size_t>(order[p]);
        return start[was] < start[was + 1] ? &problems[start[was + 1] - 1] : nullptr;
    };
    for (std::size_t p = 0; p < n; ++p) {
        if (p + kAhead < n) {
            if (const Problem* ahead = lastOf(p + kAhead))
                __builtin_prefetch(ahead);
        }
        if (duplicates && p + kAhead / 2 < n) {
            const Problem* ahead = lastOf(p + kAhead / 2);
            if (ahead && ahead->kind == ProblemKind::DuplicateCode)
                __builtin_prefetch(ahead->message.data());
        }
        const auto was = static_cast<std::size_t>(order[p]);
        const auto position = static_cast<Long>(p) + 1;
        // The check puts a record's duplicate after its other problems.
        bool duplicate = false;
        for (std::size_t i = start[was]; i < start[was + 1]; ++i) {
            Problem& problem = problems[i];
            if (problem.kind == ProblemKind::DuplicateCode) {
                if (i + 1 < start[was + 1])
                    continue;
                duplicate = true;
            }
            problem.record = position;
            out.push_back(std::move(problem));
        }
        if (!duplicates)
            continue;
        const Long other = positions->otherOf(codes[p], position);
        if (duplicate && other == 0)
            out.pop_back();
        else if (duplicate)
            nameOther(out.back(), other);
        else if (other != 0)
            addDuplicate(*list.Item(position), position, other, out);
    }
    return out;
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

std::string SaveFailureMessage(const Equipments& list, const SaveResult& result) {
    std::string text = result.message;
    // The counter alone leaves the user to guess which of 40 values is at fault.
    if (result.refusedRecord != 0) {
        for (const Problem& problem : SaveRefusals(list, result.refusedRecord))
            text += "\n" + FormatProblem(problem);
    }
    return text;
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

// A record changed in place, and what problems held of it before.
struct Changed {
    Long position = 0;
    std::size_t first = 0;  // its run in problems
    std::size_t last = 0;
    Long oldCode = 0;  // the EqCode it had, when it had a problem to tell
    bool hadDuplicate = false;
};

using NumberedSplices = std::vector<std::pair<Long, ProblemSplice>>;

// The record's own run replaced by mine, unless it holds that already.
void spliceRun(const Changed& c, std::vector<Problem> mine, const std::vector<Problem>& problems,
               NumberedSplices& splices) {
    const auto first = problems.begin() + static_cast<long>(c.first);
    if (mine.size() == c.last - c.first && std::equal(mine.begin(), mine.end(), first))
        return;
    splices.push_back({c.position, {c.first, c.last - c.first, std::move(mine)}});
}

std::size_t indexOf(const std::vector<Long>& sorted, Long value) {
    return static_cast<std::size_t>(std::lower_bound(sorted.begin(), sorted.end(), value) -
                                    sorted.begin());
}

void sortUnique(std::vector<Long>& codes) {
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
}

// The positions of the records under each of codes (sorted, no two alike),
// in list order: one pass over the list.
std::vector<std::vector<Long>> positionsUnder(const Equipments& list,
                                              const std::vector<Long>& codes) {
    std::vector<std::vector<Long>> groups(codes.size());
    Long at = 0;
    for (const EquipmentRef& r : list) {
        ++at;
        const std::size_t k = indexOf(codes, r->EqCode());
        if (k < codes.size() && codes[k] == r->EqCode())
            groups[k].push_back(at);
    }
    return groups;
}

}  // namespace

std::vector<ProblemSplice> RecheckSplices(const Equipments& list, std::vector<Long> positions,
                                          const std::vector<Problem>& problems, bool permuted) {
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    std::vector<Changed> changed;
    std::vector<Long> codes;  // the old and new codes of the changed records
    bool codesKept = true;
    bool anyDuplicate = false;
    for (Long position : positions) {
        Changed c;
        c.position = position;
        std::tie(c.first, c.last) = rangeOf(problems, position);
        const Long code = list.Item(position)->EqCode();
        codes.push_back(code);
        if (c.first < c.last) {
            c.oldCode = problems[c.first].eqCode;
            c.hadDuplicate = problems[c.last - 1].kind == ProblemKind::DuplicateCode;
            codes.push_back(c.oldCode);
        }
        codesKept = codesKept && c.first < c.last && c.oldCode == code;
        anyDuplicate = anyDuplicate || c.hadDuplicate;
        changed.push_back(c);
    }

    NumberedSplices splices;
    // Records that only changed places among themselves, none of them a
    // duplicate before, each had a code no other record had, and still
    // have: no group changes, and the pass over the list's codes (the most
    // of a move's re-check in a long list) is not needed.
    if (codesKept || (permuted && !anyDuplicate)) {
        // Every record keeps its code, so every group is as it was and each
        // duplicate names the same record as before.
        for (const Changed& c : changed) {
            const Equipment& record = *list.Item(c.position);
            std::vector<Problem> mine;
            CheckRecord(record, c.position, mine);
            if (c.hadDuplicate) {
                mine.push_back(problems[c.last - 1]);
                mine.back().eqName = record.EqName();
            }
            spliceRun(c, std::move(mine), problems, splices);
        }
    } else {
        // The positions under each of those codes now, and before the change.
        sortUnique(codes);
        std::vector<std::vector<Long>> now = positionsUnder(list, codes);
        auto isChanged = [&](Long p) {
            return std::binary_search(positions.begin(), positions.end(), p);
        };
        std::vector<std::vector<Long>> before(codes.size());
        for (std::size_t k = 0; k < codes.size(); ++k)
            std::copy_if(now[k].begin(), now[k].end(), std::back_inserter(before[k]),
                         [&](Long p) { return !isChanged(p); });
        // Changed records back under their old codes; one without problems
        // had its old code to itself, so it was in no group.
        for (const Changed& c : changed) {
            if (c.first == c.last)
                continue;
            std::vector<Long>& group = before[indexOf(codes, c.oldCode)];
            group.insert(std::upper_bound(group.begin(), group.end(), c.position), c.position);
        }

        for (const Changed& c : changed) {
            const Equipment& record = *list.Item(c.position);
            std::vector<Problem> mine;
            CheckRecord(record, c.position, mine);
            if (const Long other = otherIn(now[indexOf(codes, record.EqCode())], c.position))
                addDuplicate(record, c.position, other, mine);
            spliceRun(c, std::move(mine), problems, splices);
        }
        // Another record's duplicate changes when the record its group
        // names does.
        for (std::size_t k = 0; k < codes.size(); ++k) {
            for (Long p : now[k]) {
                const Long was = otherIn(before[k], p);
                const Long is = otherIn(now[k], p);
                if (was == is || isChanged(p))
                    continue;
                const std::size_t end = rangeOf(problems, p).second;
                ProblemSplice splice;
                // With a duplicate before, it is the last of the record's run.
                splice.first = was ? end - 1 : end;
                splice.removed = was ? 1 : 0;
                if (is)
                    addDuplicate(*list.Item(p), p, is, splice.inserted);
                splices.push_back({p, std::move(splice)});
            }
        }
    }

    // One splice per record, the last record's first: each leaves the runs
    // of the records before it where they were.
    std::sort(splices.begin(), splices.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<ProblemSplice> ordered;
    ordered.reserve(splices.size());
    for (auto& s : splices)
        ordered.push_back(std::move(s.second));
    return ordered;
}

ProblemSplice InsertOrRemoveSplice(const Equipments& list, Long position, Long count,
                                   const std::vector<Problem>& problems, std::vector<Long>& codes) {
    ProblemSplice splice;
    splice.shift = count;
    const auto from = std::lower_bound(problems.begin(), problems.end(), position, beforeRecord);
    splice.first = static_cast<std::size_t>(from - problems.begin());
    if (count < 0) {
        splice.removed = rangeOf(problems, position - count - 1).second - splice.first;
    } else {
        for (Long p = position; p < position + count; ++p) {
            CheckRecord(*list.Item(p), p, splice.inserted);
            codes.push_back(list.Item(p)->EqCode());
        }
    }
    // Every duplicate from position on may name a record that moved or went:
    // its group is settled again, with the members before position that name
    // one after it. Without duplicates there is nothing to settle.
    for (auto p = from; p != problems.end(); ++p) {
        if (p->kind == ProblemKind::DuplicateCode)
            codes.push_back(p->eqCode);
    }
    return splice;
}

std::vector<ProblemSplice> DuplicateSplices(const Equipments& list, std::vector<Long> codes,
                                            const std::vector<Problem>& problems) {
    sortUnique(codes);
    std::vector<ProblemSplice> splices;
    if (codes.empty())
        return splices;
    const std::vector<std::vector<Long>> groups = positionsUnder(list, codes);
    NumberedSplices numbered;
    for (const std::vector<Long>& group : groups) {
        for (Long p : group) {
            const auto [first, last] = rangeOf(problems, p);
            const bool had = first < last && problems[last - 1].kind == ProblemKind::DuplicateCode;
            ProblemSplice splice;
            splice.first = had ? last - 1 : last;
            splice.removed = had ? 1 : 0;
            if (const Long other = otherIn(group, p))
                addDuplicate(*list.Item(p), p, other, splice.inserted);
            if (had && splice.inserted.size() == 1 && splice.inserted[0] == problems[last - 1])
                continue;
            if (splice.removed == 0 && splice.inserted.empty())
                continue;
            numbered.push_back({p, std::move(splice)});
        }
    }
    std::sort(numbered.begin(), numbered.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    splices.reserve(numbered.size());
    for (auto& s : numbered)
        splices.push_back(std::move(s.second));
    return splices;
}

void ApplySplice(std::vector<Problem>& problems, ProblemSplice splice) {
    const std::size_t kept = std::min(splice.removed, splice.inserted.size());
    const std::size_t after = splice.first + splice.inserted.size();
    const auto at = problems.begin() + static_cast<long>(splice.first);
    std::move(splice.inserted.begin(), splice.inserted.begin() + static_cast<long>(kept), at);
    if (splice.removed > kept) {
        problems.erase(at + static_cast<long>(kept), at + static_cast<long>(splice.removed));
    } else {
        problems.insert(at + static_cast<long>(kept),
                        std::make_move_iterator(splice.inserted.begin() + static_cast<long>(kept)),
                        std::make_move_iterator(splice.inserted.end()));
    }
    ShiftRecords(problems, after, splice.shift);
}

void ShiftRecords(std::vector<Problem>& problems, std::size_t first, Long shift) {
    if (shift == 0)
        return;
    for (auto p = problems.begin() + static_cast<long>(first); p != problems.end(); ++p)
        p->record += shift;
}

void RecheckInsertOrRemove(const Equipments& list, Long position, Long count,
                           std::vector<Problem>& problems) {
    std::vector<Long> codes;
    ApplySplice(problems, InsertOrRemoveSplice(list, position, count, problems, codes));
    for (ProblemSplice& splice : DuplicateSplices(list, std::move(codes), problems))
        ApplySplice(problems, std::move(splice));
}

void RecheckRecords(const Equipments& list, std::vector<Long> positions,
                    std::vector<Problem>& problems) {
    for (ProblemSplice& splice : RecheckSplices(list, std::move(positions), problems))
        ApplySplice(problems, std::move(splice));
}

void RecheckRecord(const Equipments& list, Long position, std::vector<Problem>& problems) {
    RecheckRecords(list, {position}, problems);
}

}  // namespace kestrel
