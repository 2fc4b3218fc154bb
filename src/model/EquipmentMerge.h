#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/EquipmentComparison.h"

namespace kestrel {

// Where a merged value comes from: the base list, or mod k (0-based).
constexpr int kFromBase = -1;
// A conflict nobody has settled yet.
constexpr int kNoChoice = -2;

struct MergeConflict {
    enum class Kind {
        Field,              // mods set one field of one record to different values
        RemovedAndChanged,  // a mod removed a record another mod changed
        TrailingBytes,      // mods end their binary files with different bytes
    };
    Kind kind = Kind::Field;
    std::size_t entry = 0;  // into EquipmentMerge::entries(); unused for TrailingBytes
    int field = -1;         // for Field
    std::vector<int> mods;  // the mods taking part, ascending
};

// A record of the merge that at least one mod touches: a base record a mod
// changed or removed, or a record a mod added.
struct MergeEntry {
    std::int32_t base = 0;  // 1-based position in the base; 0 for an added record
    // Per mod, the 1-based position of the mod's record for it; 0 where the
    // mod removed it (a base record) or does not hold it (an added one).
    std::vector<std::int32_t> partners;
    // Per mod, the fields it sets: for a base record those it changed (among
    // the merged fields), for an added record all of them.
    std::vector<FieldMask> changed;
    FieldMask fields = 0;     // the union of changed
    FieldMask conflicts = 0;  // fields with a Field conflict
    bool removedBySome = false;
    bool changedBySome = false;

    bool added() const { return base == 0; }
};

// The merged list: its records in order, and for each field of each record
// the list its value was taken from.
struct MergedList {
    std::vector<Equipment> records;
    std::vector<std::array<std::int8_t, kFieldCount>> from;
    std::int32_t baseCount = 0;  // records of the base kept, which come first
    // Per entry of the merge, the index of its record in records; -1 where
    // the merge removes it.
    std::vector<std::int32_t> recordOfEntry;
    std::string trailingBytes;  // to follow the last record
};

// Several mods of one base combined field by field. Each mod is matched to
// the base as the comparison matches two lists; a field no mod changed keeps
// the base's value, one that mods changed alike takes their value, and one
// they changed differently is a conflict to settle by a choice. Records a mod
// adds follow the base's, in the order of the mods and of their lists; two
// mods adding the n-th record of one code add the same record. The first
// record of the base is never changed or removed, as the comparison never
// changes it. The lists must outlive the merge.
class EquipmentMerge {
public:
    // fields limits what is taken from the mods' changed records; records
    // they add or remove are taken whole.
    EquipmentMerge(const Equipments& base, std::vector<const Equipments*> mods,
                   MatchBy by = MatchBy::Code, FieldMask fields = kAllFields);

    const Equipments& base() const { return *mBase; }
    const Equipments& mod(int k) const { return *mMods[static_cast<std::size_t>(k)]; }
    int modCount() const { return static_cast<int>(mMods.size()); }

    // Matching by code, the first mod whose records mostly find no partner
    // in the base (a renumbered mod, to merge by position), else -1.
    int poorlyMatchedMod() const { return mPoorlyMatched; }
    // The mods that changed or removed the base's first record, which the
    // merge keeps as it is.
    const std::vector<int>& firstRecordKeptFrom() const { return mFirstKeptFrom; }

    // Touched base records in base order, then added records.
    const std::vector<MergeEntry>& entries() const { return mEntries; }
    const std::vector<MergeConflict>& conflicts() const { return mConflicts; }

    // The record mod k holds for an entry (null where it holds none), and the
    // base's (null for an added record).
    const Equipment* modRecord(const MergeEntry& entry, int k) const;
    const Equipment* baseRecord(const MergeEntry& entry) const;
    // The bytes after the last record of a list, as a save of it would write them.
    static const std::string& trailingBytesOf(const Equipments& list);

    // Settles conflict c: kFromBase keeps the base's value (or record), k takes
    // mod k's. A mod must take part in the conflict, and an added record has
    // no base value; false for a choice that is not one of these.
    bool choose(std::size_t c, int source);
    int choice(std::size_t c) const { return mChoices[c]; }
    // Settles every conflict for the latest mod taking part in it.
    void preferLater();
    // Settles the conflicts mod k takes part in for mod k; returns how many
    // are left without a choice.
    std::size_t prefer(int k);
    std::size_t unsettled() const;
    bool complete() const { return unsettled() == 0; }

    // The merged list. Conflicts without a choice keep the base's value (an
    // added record the first adding mod's), so that a viewer can show it
    // while the user chooses; complete() says whether it is the merge.
    // touchedOnly leaves out the base records no mod touches, for a viewer
    // of the entries that need not copy the whole list.
    MergedList result(bool touchedOnly = false) const;

private:
    void addConflicts(std::size_t entry);

    const Equipments* mBase;
    std::vector<const Equipments*> mMods;
    std::vector<std::vector<const Equipment*>> mModRecords;
    std::vector<const Equipment*> mBaseRecords;
    FieldMask mFields;
    int mPoorlyMatched = -1;
    std::vector<int> mFirstKeptFrom;
    std::vector<MergeEntry> mEntries;
    std::vector<std::int32_t> mEntryOfBase;  // per base record, its entry or -1
    std::vector<MergeConflict> mConflicts;
    std::vector<int> mChoices;
    // The trailing bytes' source when mods changed them alike; kFromBase else.
    int mTrailingFrom = kFromBase;
};

// Whether a and b hold the same value in field, Country's mask bytes included.
bool SameField(const Equipment& a, const Equipment& b, int field);
// Sets one field of into to from's value, Country with its mask bytes.
void TakeField(Equipment& into, const Equipment& from, int field);

}  // namespace kestrel
