#include "model/EquipmentChanges.h"

#include <unordered_map>

#include "model/EquipmentMerge.h"

namespace kestrel {

namespace {

// Per record, which record of its code it is, counting from 1 in list order.
std::vector<std::int32_t> occurrences(const std::vector<const Equipment*>& records) {
    std::unordered_map<Long, std::int32_t> seen;
    seen.reserve(records.size());
    std::vector<std::int32_t> nth(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        nth[i] = ++seen[records[i]->EqCode()];
    return nth;
}

}  // namespace

EquipmentChanges ChangesBetween(const Equipments& base, const Equipments& mod, MatchBy by) {
    const auto a = RecordsOf(base);
    const auto b = RecordsOf(mod);
    const RecordMatching m = MatchRecords(base, mod, by);
    const auto nthA = occurrences(a);
    const auto nthB = occurrences(b);

    EquipmentChanges changes;
    changes.by = by;
    changes.baseCount = base.Count();
    changes.modCount = mod.Count();
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::int32_t j = m.partnerOfFirst[i];
        if (j >= 0 && *a[i] == *b[static_cast<std::size_t>(j)])
            continue;
        RecordChange c;
        c.position = static_cast<std::int32_t>(i) + 1;
        c.code = a[i]->EqCode();
        c.occurrence = nthA[i];
        c.name = a[i]->EqName();
        c.before = *a[i];
        if (j < 0) {
            c.kind = RecordChange::Kind::Remove;
            c.fields = kAllFields;
        } else {
            c.kind = RecordChange::Kind::Change;
            c.after = *b[static_cast<std::size_t>(j)];
            c.fields = ChangedFields(c.before, c.after);
        }
        changes.records.push_back(std::move(c));
    }

    // The plain order: the base's records in base order, then the additions.
    std::vector<std::int32_t> order;
    order.reserve(b.size());
    std::int32_t added = 0;
    bool plain = true;
    std::int32_t lastBase = 0;
    for (std::size_t j = 0; j < b.size(); ++j) {
        const std::int32_t i = m.partnerOfSecond[j];
        if (i >= 0) {
            plain = plain && added == 0 && i + 1 > lastBase;
            lastBase = i + 1;
            order.push_back(i + 1);
            continue;
        }
        order.push_back(-++added);
        RecordChange c;
        c.kind = RecordChange::Kind::Add;
        c.position = static_cast<std::int32_t>(j) + 1;
        c.code = b[j]->EqCode();
        c.occurrence = nthB[j];
        c.name = b[j]->EqName();
        c.fields = kAllFields;
        c.after = *b[j];
        changes.records.push_back(std::move(c));
    }
    if (!plain)
        changes.order = std::move(order);

    const std::string& before = EquipmentMerge::trailingBytesOf(base);
    const std::string& after = EquipmentMerge::trailingBytesOf(mod);
    if (before != after) {
        changes.trailingBefore = before;
        changes.trailingAfter = after;
    }
    return changes;
}

AppliedChanges ApplyChanges(const EquipmentChanges& changes, const Equipments& list, bool force) {
    const auto records = RecordsOf(list);
    const std::size_t n = records.size();
    std::unordered_map<Long, std::vector<std::int32_t>> ofCode;
    if (changes.by == MatchBy::Code) {
        ofCode.reserve(changes.records.size());
        for (const RecordChange& c : changes.records)
            ofCode.emplace(c.code, std::vector<std::int32_t>());
        for (std::size_t i = 0; i < n; ++i) {
            auto it = ofCode.find(records[i]->EqCode());
            if (it != ofCode.end())
                it->second.push_back(static_cast<std::int32_t>(i));
        }
    }
    // The 0-based position of the list's record a change names, or -1.
    auto locate = [&](const RecordChange& c) -> std::int32_t {
        if (changes.by == MatchBy::Position)
            return c.position >= 1 && static_cast<std::size_t>(c.position) <= n ? c.position - 1
                                                                                : -1;
        auto it = ofCode.find(c.code);
        if (it == ofCode.end() || c.occurrence < 1 ||
            static_cast<std::size_t>(c.occurrence) > it->second.size())
            return -1;
        return it->second[static_cast<std::size_t>(c.occurrence - 1)];
    };

    AppliedChanges out;
    std::vector<Equipment> work;
    work.reserve(n + changes.records.size());
    for (const Equipment* e : records)
        work.push_back(*e);
    std::vector<bool> dropped(n, false);
    // Per addition, the position of its record in work.
    std::vector<std::int32_t> addedAt;

    auto conflictFields = [&](std::size_t index, std::int32_t at, FieldMask fields) {
        for (int f = 0; f < kFieldCount; ++f) {
            if (fields & fieldBit(f)) {
                ChangeConflict conflict;
                conflict.kind = ChangeConflict::Kind::Field;
                conflict.change = index;
                conflict.position = at + 1;
                conflict.field = f;
                out.conflicts.push_back(conflict);
            }
        }
    };

    for (std::size_t index = 0; index < changes.records.size(); ++index) {
        const RecordChange& c = changes.records[index];
        const std::int32_t at = locate(c);
        switch (c.kind) {
            case RecordChange::Kind::Change: {
                if (at < 0) {
                    ChangeConflict conflict;
                    conflict.kind = ChangeConflict::Kind::Missing;
                    conflict.change = index;
                    out.conflicts.push_back(conflict);
                    out.settled = false;
                    break;
                }
                Equipment& target = work[static_cast<std::size_t>(at)];
                FieldMask third = 0;
                bool did = false;
                for (int f = 0; f < kFieldCount; ++f) {
                    if (!(c.fields & fieldBit(f)) || SameField(target, c.after, f))
                        continue;
                    if (!SameField(target, c.before, f))
                        third |= fieldBit(f);
                    if (force || !(third & fieldBit(f))) {
                        TakeField(target, c.after, f);
                        did = true;
                    }
                }
                conflictFields(index, at, third);
                out.applied += did ? 1 : 0;
                break;
            }
            case RecordChange::Kind::Remove: {
                if (at < 0)
                    break;  // already gone
                const FieldMask third =
                    ChangedFields(*records[static_cast<std::size_t>(at)], c.before);
                conflictFields(index, at, third);
                if (third == 0 || force) {
                    dropped[static_cast<std::size_t>(at)] = true;
                    ++out.applied;
                }
                break;
            }
            case RecordChange::Kind::Add: {
                // An addition the list already holds is the one it names only
                // when that record is not the base's.
                std::int32_t there = at;
                if (changes.by == MatchBy::Position && c.position <= changes.baseCount)
                    there = -1;
                if (there < 0) {
                    addedAt.push_back(static_cast<std::int32_t>(work.size()));
                    work.push_back(c.after);
                    ++out.applied;
                    break;
                }
                addedAt.push_back(there);
                const FieldMask third =
                    ChangedFields(*records[static_cast<std::size_t>(there)], c.after);
                conflictFields(index, there, third);
                if (third != 0 && force) {
                    TakeFields(work[static_cast<std::size_t>(there)], c.after, third);
                    ++out.applied;
                }
                break;
            }
        }
    }

    std::string trailing = EquipmentMerge::trailingBytesOf(list);
    if (changes.trailingAfter && trailing != *changes.trailingAfter) {
        if (trailing != *changes.trailingBefore) {
            ChangeConflict conflict;
            conflict.kind = ChangeConflict::Kind::Trailing;
            out.conflicts.push_back(conflict);
        }
        if (force || trailing == *changes.trailingBefore) {
            trailing = *changes.trailingAfter;
            ++out.applied;
        }
    }
    out.trailingBytes = trailing;

    // The mod's order is the base's records rearranged: it fits a list
    // holding the base's records, and a list already holding the mod needs none.
    bool reorder = !changes.order.empty() && (out.applied > 0 || !out.conflicts.empty());
    if (reorder && n != static_cast<std::size_t>(changes.baseCount)) {
        ChangeConflict conflict;
        conflict.kind = ChangeConflict::Kind::Order;
        out.conflicts.push_back(conflict);
        reorder = false;
    }
    std::vector<bool> placed(work.size(), false);
    out.records.reserve(work.size());
    if (reorder) {
        for (std::int32_t source : changes.order) {
            std::int32_t at = -1;
            if (source > 0)
                at = source - 1;
            else if (static_cast<std::size_t>(-source) <= addedAt.size())
                at = addedAt[static_cast<std::size_t>(-source - 1)];
            if (at < 0 || static_cast<std::size_t>(at) >= work.size() ||
                placed[static_cast<std::size_t>(at)] ||
                (static_cast<std::size_t>(at) < n && dropped[static_cast<std::size_t>(at)]))
                continue;
            placed[static_cast<std::size_t>(at)] = true;
            out.records.push_back(std::move(work[static_cast<std::size_t>(at)]));
        }
    }
    for (std::size_t i = 0; i < work.size(); ++i) {
        if (!placed[i] && !(i < n && dropped[i]))
            out.records.push_back(std::move(work[i]));
    }
    return out;
}

}  // namespace kestrel
