#pragma once

#include <cstdint>
#include <vector>

#include "model/Equipments.h"

namespace kestrel {

// A set of the 40 fields, bit n standing for field n.
using FieldMask = std::uint64_t;
constexpr FieldMask kAllFields = (FieldMask{1} << kFieldCount) - 1;
constexpr FieldMask fieldBit(int field) {
    return FieldMask{1} << field;
}

// The fields among which a and b hold different values. Country differs too
// where the two hold different country mask bytes that name no country.
// The list's records in list order, for the matching and the merge to index.
std::vector<const Equipment*> RecordsOf(const Equipments& list);

FieldMask ChangedFields(const Equipment& a, const Equipment& b, FieldMask among = kAllFields);

// Sets the given fields of into to from's values, leaving the others alone;
// Country brings the mask bytes it was read with.
void TakeFields(Equipment& into, const Equipment& from, FieldMask fields);

enum class MatchBy {
    Code,      // the n-th record of a code in one list with the n-th of it in the other
    Position,  // record n with record n
};

enum class DifferenceKind { Changed, OnlyInFirst, OnlyInSecond };

struct RecordDifference {
    DifferenceKind kind = DifferenceKind::Changed;
    std::int32_t first = 0;   // 1-based position in the first list; 0 when only in the second
    std::int32_t second = 0;  // 1-based position in the second list; 0 when only in the first
    FieldMask fields = 0;     // what changed, for a Changed pair
};

// A code held by more than one record of either list, with the positions
// that hold it, in list order.
struct DuplicateCode {
    Long code = 0;
    std::vector<std::int32_t> first;
    std::vector<std::int32_t> second;
};

// What two lists differ in. Only positions and field sets are kept, so that
// a list of tens of thousands of differences stays small and a viewer renders
// each row's values from the two lists when it is shown.
struct EquipmentComparison {
    MatchBy by = MatchBy::Code;
    // The pairs that differ and the records of the first list without a
    // partner, in first-list order; then those only in the second list, in
    // second-list order.
    std::vector<RecordDifference> differences;
    std::int32_t same = 0;                  // matched pairs equal in every compared field
    std::vector<DuplicateCode> duplicates;  // ascending code; matching by code only

    bool identical() const { return differences.empty(); }
};

// Which record of one list is matched with which of the other, as the
// comparison matches them: partnerOfFirst[i] is the 0-based position in the
// second list of the partner of record i + 1 of the first, or -1.
struct RecordMatching {
    std::vector<std::int32_t> partnerOfFirst;
    std::vector<std::int32_t> partnerOfSecond;
};
RecordMatching MatchRecords(const Equipments& first, const Equipments& second,
                            MatchBy by = MatchBy::Code,
                            std::vector<DuplicateCode>* duplicates = nullptr);

// Compares the two lists in the given fields only; records that differ
// elsewhere count as the same. The result depends on nothing but the lists.
EquipmentComparison CompareEquipments(const Equipments& first, const Equipments& second,
                                      MatchBy by = MatchBy::Code, FieldMask fields = kAllFields);

}  // namespace kestrel
