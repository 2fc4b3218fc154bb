#include "model/EquipmentMerge.h"

#include <algorithm>
#include <unordered_map>

namespace kestrel {

namespace {

bool takesPart(const MergeConflict& c, int k) {
    return std::find(c.mods.begin(), c.mods.end(), k) != c.mods.end();
}

}  // namespace

bool SameField(const Equipment& a, const Equipment& b, int field) {
    if (fieldKind(field) == FieldKind::Text)
        return a.text(field) == b.text(field);
    if (field == static_cast<int>(Field::Country) && a.MaskAsRead() != b.MaskAsRead())
        return false;
    return a.number(field) == b.number(field);
}

void TakeField(Equipment& into, const Equipment& from, int field) {
    TakeFields(into, from, fieldBit(field));
}

const std::string& EquipmentMerge::trailingBytesOf(const Equipments& list) {
    static const std::string none;
    return list.TrailingBytesPath() == list.DataPath() ? list.TrailingBytes() : none;
}

EquipmentMerge::EquipmentMerge(const Equipments& base, std::vector<const Equipments*> mods,
                               MatchBy by, FieldMask fields)
    : mBase(&base), mMods(std::move(mods)), mFields(fields & kAllFields) {
    mBaseRecords = RecordsOf(base);
    const std::size_t n = mBaseRecords.size();
    const std::size_t modCount = mMods.size();
    std::vector<RecordMatching> matchings;
    matchings.reserve(modCount);
    for (std::size_t k = 0; k < modCount; ++k) {
        mModRecords.push_back(RecordsOf(*mMods[k]));
        matchings.push_back(MatchRecords(base, *mMods[k], by));
        if (by == MatchBy::Code && mPoorlyMatched < 0) {
            const auto matched = static_cast<std::size_t>(std::count_if(
                matchings[k].partnerOfFirst.begin(), matchings[k].partnerOfFirst.end(),
                [](std::int32_t j) { return j >= 0; }));
            if (2 * matched < std::min(n, mModRecords[k].size()))
                mPoorlyMatched = static_cast<int>(k);
        }
    }

    // Base records first, in base order, so that entries follow the list.
    mEntryOfBase.assign(n, -1);
    std::vector<std::int32_t> partners(modCount);
    std::vector<FieldMask> changed(modCount);
    for (std::size_t i = 0; i < n; ++i) {
        bool touched = false, removed = false, changes = false;
        for (std::size_t k = 0; k < modCount; ++k) {
            const std::int32_t j = matchings[k].partnerOfFirst[i];
            partners[k] = j + 1;
            changed[k] = 0;
            if (j < 0) {
                removed = touched = true;
                continue;
            }
            const Equipment& x = *mBaseRecords[i];
            const Equipment& y = *mModRecords[k][static_cast<std::size_t>(j)];
            if (x == y)
                continue;
            changed[k] = ChangedFields(x, y, mFields);
            if (changed[k] != 0)
                changes = touched = true;
        }
        if (!touched)
            continue;
        if (i == 0) {
            for (std::size_t k = 0; k < modCount; ++k) {
                if (partners[k] == 0 || changed[k] != 0)
                    mFirstKeptFrom.push_back(static_cast<int>(k));
            }
            continue;
        }
        MergeEntry e;
        e.base = static_cast<std::int32_t>(i) + 1;
        e.partners = partners;
        e.changed = changed;
        for (FieldMask m : changed)
            e.fields |= m;
        e.removedBySome = removed;
        e.changedBySome = changes;
        mEntryOfBase[i] = static_cast<std::int32_t>(mEntries.size());
        mEntries.push_back(std::move(e));
    }

    // Added records: the n-th record a mod adds with a code is the same
    // record as the n-th another mod adds with it.
    std::unordered_map<Long, std::vector<std::size_t>> addedOfCode;
    for (std::size_t k = 0; k < modCount; ++k) {
        std::unordered_map<Long, std::size_t> seen;
        const auto& records = mModRecords[k];
        for (std::size_t j = 0; j < records.size(); ++j) {
            if (matchings[k].partnerOfSecond[j] >= 0)
                continue;
            const Long code = records[j]->EqCode();
            const std::size_t nth = seen[code]++;
            auto& ofCode = addedOfCode[code];
            if (nth >= ofCode.size()) {
                MergeEntry e;
                e.partners.assign(modCount, 0);
                e.changed.assign(modCount, 0);
                e.fields = kAllFields;
                ofCode.push_back(mEntries.size());
                mEntries.push_back(std::move(e));
            }
            MergeEntry& e = mEntries[ofCode[nth]];
            e.partners[k] = static_cast<std::int32_t>(j) + 1;
            e.changed[k] = kAllFields;
        }
    }

    for (std::size_t e = 0; e < mEntries.size(); ++e)
        addConflicts(e);

    const std::string& baseTail = trailingBytesOf(base);
    MergeConflict tail;
    tail.kind = MergeConflict::Kind::TrailingBytes;
    bool differ = false;
    for (std::size_t k = 0; k < modCount; ++k) {
        const std::string& t = trailingBytesOf(*mMods[k]);
        if (t == baseTail)
            continue;
        if (!tail.mods.empty() &&
            t != trailingBytesOf(*mMods[static_cast<std::size_t>(tail.mods[0])]))
            differ = true;
        tail.mods.push_back(static_cast<int>(k));
    }
    if (differ)
        mConflicts.push_back(std::move(tail));
    else if (!tail.mods.empty())
        mTrailingFrom = tail.mods[0];
    mChoices.assign(mConflicts.size(), kNoChoice);
}

void EquipmentMerge::addConflicts(std::size_t index) {
    MergeEntry& e = mEntries[index];
    const int modCount = static_cast<int>(mMods.size());
    if (e.removedBySome && e.changedBySome) {
        MergeConflict c;
        c.kind = MergeConflict::Kind::RemovedAndChanged;
        c.entry = index;
        for (int k = 0; k < modCount; ++k) {
            if (e.partners[static_cast<std::size_t>(k)] == 0 ||
                e.changed[static_cast<std::size_t>(k)])
                c.mods.push_back(k);
        }
        mConflicts.push_back(std::move(c));
    }
    for (int f = 0; f < kFieldCount; ++f) {
        if (!(e.fields & fieldBit(f)))
            continue;
        MergeConflict c;
        c.kind = MergeConflict::Kind::Field;
        c.entry = index;
        c.field = f;
        const Equipment* first = nullptr;
        bool differ = false;
        for (int k = 0; k < modCount; ++k) {
            if (!(e.changed[static_cast<std::size_t>(k)] & fieldBit(f)))
                continue;
            const Equipment* value = modRecord(e, k);
            if (!first)
                first = value;
            else if (!SameField(*first, *value, f))
                differ = true;
            c.mods.push_back(k);
        }
        if (differ) {
            e.conflicts |= fieldBit(f);
            mConflicts.push_back(std::move(c));
        }
    }
}

const Equipment* EquipmentMerge::modRecord(const MergeEntry& entry, int k) const {
    const std::int32_t j = entry.partners[static_cast<std::size_t>(k)];
    return j > 0 ? mModRecords[static_cast<std::size_t>(k)][static_cast<std::size_t>(j - 1)]
                 : nullptr;
}

const Equipment* EquipmentMerge::baseRecord(const MergeEntry& entry) const {
    return entry.base > 0 ? mBaseRecords[static_cast<std::size_t>(entry.base - 1)] : nullptr;
}

bool EquipmentMerge::choose(std::size_t c, int source) {
    if (c >= mConflicts.size())
        return false;
    const MergeConflict& conflict = mConflicts[c];
    const bool added =
        conflict.kind == MergeConflict::Kind::Field && mEntries[conflict.entry].added();
    if (source == kFromBase ? added : !takesPart(conflict, source))
        return false;
    mChoices[c] = source;
    return true;
}

void EquipmentMerge::preferLater() {
    for (std::size_t c = 0; c < mConflicts.size(); ++c)
        mChoices[c] = mConflicts[c].mods.back();
}

std::size_t EquipmentMerge::prefer(int k) {
    for (std::size_t c = 0; c < mConflicts.size(); ++c) {
        if (takesPart(mConflicts[c], k))
            mChoices[c] = k;
    }
    return unsettled();
}

std::size_t EquipmentMerge::unsettled() const {
    std::size_t open = 0;
    // A field of a record the choices remove needs no choice of its own.
    std::vector<bool> removed(mEntries.size(), false);
    for (std::size_t c = 0; c < mConflicts.size(); ++c) {
        const MergeConflict& conflict = mConflicts[c];
        if (conflict.kind == MergeConflict::Kind::RemovedAndChanged && mChoices[c] >= 0 &&
            modRecord(mEntries[conflict.entry], mChoices[c]) == nullptr)
            removed[conflict.entry] = true;
    }
    for (std::size_t c = 0; c < mConflicts.size(); ++c) {
        if (mChoices[c] != kNoChoice)
            continue;
        const MergeConflict& conflict = mConflicts[c];
        if (conflict.kind == MergeConflict::Kind::Field && removed[conflict.entry])
            continue;
        ++open;
    }
    return open;
}

MergedList EquipmentMerge::result(bool touchedOnly) const {
    // Each entry's choices, found once: removal and per-field sources.
    struct Settled {
        int removal = kNoChoice;  // the RemovedAndChanged choice, when there is one
        bool hasRemoval = false;
        std::vector<std::pair<int, int>> fields;  // (field, source)
    };
    std::vector<Settled> settled(mEntries.size());
    int trailingFrom = mTrailingFrom;
    for (std::size_t c = 0; c < mConflicts.size(); ++c) {
        const MergeConflict& conflict = mConflicts[c];
        switch (conflict.kind) {
            case MergeConflict::Kind::TrailingBytes:
                trailingFrom = mChoices[c] == kNoChoice ? kFromBase : mChoices[c];
                break;
            case MergeConflict::Kind::RemovedAndChanged:
                settled[conflict.entry].hasRemoval = true;
                settled[conflict.entry].removal = mChoices[c];
                break;
            case MergeConflict::Kind::Field:
                settled[conflict.entry].fields.emplace_back(conflict.field, mChoices[c]);
                break;
        }
    }

    MergedList out;
    std::array<std::int8_t, kFieldCount> fromBase;
    fromBase.fill(static_cast<std::int8_t>(kFromBase));
    const std::size_t size = (touchedOnly ? 0 : mBaseRecords.size()) + mEntries.size();
    out.records.reserve(size);
    out.from.reserve(size);
    out.recordOfEntry.assign(mEntries.size(), -1);
    const int modCount = static_cast<int>(mMods.size());

    auto takeChanges = [&](const MergeEntry& e, const Settled& s, Equipment& record,
                           std::array<std::int8_t, kFieldCount>& from) {
        for (int f = 0; f < kFieldCount; ++f) {
            if (!(e.fields & fieldBit(f)))
                continue;
            int source = kFromBase;
            if (e.conflicts & fieldBit(f)) {
                for (const auto& [field, choice] : s.fields) {
                    if (field == f)
                        source = choice;
                }
                if (source == kNoChoice)
                    continue;  // shown as it stands until chosen
            } else {
                for (int k = 0; k < modCount && source == kFromBase; ++k) {
                    if (e.changed[static_cast<std::size_t>(k)] & fieldBit(f))
                        source = k;
                }
            }
            if (source == kFromBase)
                continue;
            TakeField(record, *modRecord(e, source), f);
            from[static_cast<std::size_t>(f)] = static_cast<std::int8_t>(source);
        }
    };

    for (std::size_t i = 0; i < mBaseRecords.size(); ++i) {
        const std::int32_t index = mEntryOfBase[i];
        if (index < 0 && touchedOnly)
            continue;
        if (index < 0) {
            out.records.push_back(*mBaseRecords[i]);
            out.from.push_back(fromBase);
            continue;
        }
        const MergeEntry& e = mEntries[static_cast<std::size_t>(index)];
        const Settled& s = settled[static_cast<std::size_t>(index)];
        const auto at = static_cast<std::int32_t>(out.records.size());
        if (s.hasRemoval) {
            if (s.removal == kNoChoice || s.removal == kFromBase) {
                out.recordOfEntry[static_cast<std::size_t>(index)] = at;
                out.records.push_back(*mBaseRecords[i]);
                out.from.push_back(fromBase);
                continue;
            }
            if (modRecord(e, s.removal) == nullptr)
                continue;
        } else if (e.removedBySome) {
            continue;
        }
        Equipment record = *mBaseRecords[i];
        auto from = fromBase;
        takeChanges(e, s, record, from);
        out.recordOfEntry[static_cast<std::size_t>(index)] = at;
        out.records.push_back(std::move(record));
        out.from.push_back(from);
    }
    out.baseCount = static_cast<std::int32_t>(out.records.size());

    for (std::size_t index = 0; index < mEntries.size(); ++index) {
        const MergeEntry& e = mEntries[index];
        if (!e.added())
            continue;
        int first = 0;
        while (e.partners[static_cast<std::size_t>(first)] == 0)
            ++first;
        Equipment record = *modRecord(e, first);
        std::array<std::int8_t, kFieldCount> from;
        from.fill(static_cast<std::int8_t>(first));
        for (const auto& [field, choice] : settled[index].fields) {
            if (choice >= 0) {
                TakeField(record, *modRecord(e, choice), field);
                from[static_cast<std::size_t>(field)] = static_cast<std::int8_t>(choice);
            }
        }
        out.recordOfEntry[index] = static_cast<std::int32_t>(out.records.size());
        out.records.push_back(std::move(record));
        out.from.push_back(from);
    }
    out.trailingBytes = trailingFrom == kFromBase
                            ? trailingBytesOf(*mBase)
                            : trailingBytesOf(*mMods[static_cast<std::size_t>(trailingFrom)]);
    return out;
}

}  // namespace kestrel
