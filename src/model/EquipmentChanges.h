#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/EquipmentComparison.h"

namespace kestrel {

// One record a mod changed, removed or added, named so that it can be found
// in another copy of the base: matching by code, by its code and which record
// of that code it is; matching by position, by its position.
struct RecordChange {
    enum class Kind { Change, Remove, Add };
    Kind kind = Kind::Change;
    // Change and Remove: the position in the base; Add: in the mod.
    std::int32_t position = 0;
    Long code = 0;
    // Which record of the code it is (1 for the first): in the base for a
    // change or removal, in the mod for an added record.
    std::int32_t occurrence = 1;
    Text name;             // the name the record goes by, for people
    FieldMask fields = 0;  // Change: the changed fields; Remove and Add: all
    Equipment before;      // Change: the old values; Remove: the record
    Equipment after;       // Change: the new values; Add: the record
    int line = 0;          // where a change file gave it, for messages
};

// What turns a base into a mod: the changed, removed and added records, the
// mod's order where it is not the base's with removals taken out and
// additions appended, and the bytes after the last record where they differ.
struct EquipmentChanges {
    MatchBy by = MatchBy::Code;
    std::int32_t baseCount = 0;
    std::int32_t modCount = 0;
    // Changes and removals in base order, then additions in mod order.
    std::vector<RecordChange> records;
    // Per mod position, the base position of its record (> 0) or -k for the
    // k-th addition; empty when the plain order gives the mod's.
    std::vector<std::int32_t> order;
    std::optional<std::string> trailingBefore, trailingAfter;  // both or neither
    int orderLine = 0, trailingLine = 0;                       // where a change file gave them
};

EquipmentChanges ChangesBetween(const Equipments& base, const Equipments& mod,
                                MatchBy by = MatchBy::Code);

// Where a change does not fit the list it is applied to.
struct ChangeConflict {
    enum class Kind {
        Field,     // the list holds a third value: neither the old nor the new
        Missing,   // the changed record is not in the list
        Order,     // the list does not have the base's records to order
        Trailing,  // the list ends in other bytes than the old ones
    };
    Kind kind = Kind::Field;
    std::size_t change = 0;     // into EquipmentChanges::records (Field, Missing)
    std::int32_t position = 0;  // the record's position in the list (Field)
    int field = -1;             // Field
};

struct AppliedChanges {
    std::vector<Equipment> records;
    std::string trailingBytes;
    std::vector<ChangeConflict> conflicts;
    // Conflicts force cannot settle: a record to change that is not there.
    bool settled = true;
    std::size_t applied = 0;  // changes that did something
};

// Applies the changes to list. A change applies where the list still holds
// the old value or already holds the new one; elsewhere it is a conflict,
// which force settles by taking the new value. A removal or an addition the
// list already has applies as nothing.
AppliedChanges ApplyChanges(const EquipmentChanges& changes, const Equipments& list,
                            bool force = false);

}  // namespace kestrel
