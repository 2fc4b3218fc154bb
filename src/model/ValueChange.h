#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Equipments.h"

namespace kestrel {

// One field set on many records at once: a value, or a change relative to
// each record's own (+5, -5, *1.1), or a bit of UnitSpecial set or cleared.
struct ValueChange {
    enum class Kind { Set, Add, Scale, SetBit, ClearBit, SetText };
    int field = -1;
    Kind kind = Kind::Set;
    std::int64_t number = 0;     // Set, Add; the bit's value for SetBit / ClearBit
    std::int64_t numerator = 1;  // Scale: numerator / denominator, exactly
    std::int64_t denominator = 1;
    std::string text;  // SetText (IconName), code-page bytes
};

// The fields a bulk change may set: the numbers, the coded fields and IconName.
bool SettableInBulk(int field);

// The values a field can hold in the files: lowest and highest.
std::pair<std::int64_t, std::int64_t> BulkRange(int field);

// What a field takes, as every refusal of a value ends: "SA takes 0 to
// 255.", "CL takes 0 to 21, or one of its words.", "Icon takes up to 6
// characters."
std::string RangeSentence(int field);

enum class BitMode { None, Set, Clear };

// Reads the text typed for field: a whole number or (coded fields) a word,
// or +n, -n, *f; with a bit mode, the number (1 to 16) of the UnitSpecial bit.
// error says why when it cannot be read.
struct ValueChangeRead {
    ValueChange change;
    std::string error;
    bool ok() const { return error.empty(); }
};
ValueChangeRead ReadValueChange(int field, std::string_view text, BitMode bits = BitMode::None);

// The new values of the records at positions (position 1 is skipped, as
// it is never changed), or why not: the first record whose result the field
// cannot hold. Numbers in values; text fields in texts.
struct BulkResult {
    std::vector<std::pair<std::int32_t, std::int64_t>> values;
    std::vector<std::pair<std::int32_t, std::string>> texts;
    std::string error;
    bool ok() const { return error.empty(); }
};
BulkResult ApplyValueChange(const ValueChange& change, const Equipments& list,
                            const std::vector<std::int32_t>& positions);

}  // namespace kestrel
