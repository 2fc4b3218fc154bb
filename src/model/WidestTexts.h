#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Equipments.h"

namespace kestrel {

// The longest texts the grid shows for a field over records first to last
// (1-based, inclusive), longest first, at most keep of them and no two
// alike. Lengths are in bytes, so a caller that measures pixels only has
// a few texts to measure instead of every cell of the column.
std::vector<std::string> LongestFieldTexts(const Equipments& equipments, int field,
                                           std::int32_t first, std::int32_t last, std::size_t keep);

}  // namespace kestrel
