#pragma once

#include <cstdint>
#include <vector>

#include "model/Equipments.h"

namespace kestrel {

// The arrangement the list's exchange sort leaves behind: for i = 2 to n - 1,
// for j = i + 1 to n, exchange positions i and j when key i > key j. keys[p]
// is the key at position p + 1; the result's entry p is the 0-based original
// position of the record that ends at position p + 1. Position 1 stays. Equal
// keys end in exactly the order that exchange sort gives them, which is not
// their original order, but without its quadratic number of exchanges.
std::vector<std::int32_t> ExchangeSortOrder(const std::vector<std::int32_t>& keys);

// Gives each position the contents of the record order names for it, moving
// every record's contents once; the record objects stay at their positions.
// Throws std::invalid_argument unless order is a permutation of 0 to Count - 1.
void ApplyOrder(Equipments& equipments, const std::vector<std::int32_t>& order);

}  // namespace kestrel
