#pragma once

#include <cmath>
#include <cstddef>

#include "model/Equipment.h"

namespace kestrel {

// The limits of the binary equipment file, defined here once for every layer
// above the model: the encoder, the check that tells the user beforehand what
// a save will refuse or change, and the editor's commands that add records.
constexpr std::size_t kRecordSize = 73;
constexpr std::size_t kIconSize = 6;
constexpr std::size_t kLastPartSize = 22;
constexpr Long kMaxTwoByte = 32767;  // the count and every two-byte field
// The most records a list can hold: the file's count is a two-byte field.
constexpr Long kMaxRecords = kMaxTwoByte;
constexpr Long kMaxCountry = 25;
constexpr Long kMaxCostByte = 255;
constexpr Long kCostStep = 12;  // the file stores the prestige cost in twelves

// The byte the file stores for a prestige cost: halves go to the even
// neighbour (18 gives 2, 30 gives 2, 42 gives 4). Outside 0 to 255 the cost
// cannot be saved.
inline long SavedCostByte(Long cost) {
    return static_cast<long>(std::nearbyint(static_cast<double>(cost) / kCostStep));
}

}  // namespace kestrel
