#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/Equipments.h"

namespace kestrel {

// The width of each byte of the code page in some unit (pixels of a font).
using ByteWidths = std::array<std::uint16_t, 256>;

// The widest texts the grid shows for each field (indexed by field number)
// over records first to last (1-based, inclusive), widest first, at most
// keep of them and no two alike. A text's width is the sum of its bytes'
// widths, or its length without them; numbers count their digits, which
// fonts draw alike. A caller that measures pixels then has a few texts to
// measure instead of every cell of the column; kerning only moves the
// ranking a little. The records are walked once for all fields.
std::vector<std::vector<std::string>> LongestFieldTexts(const Equipments& equipments,
                                                        std::int32_t first, std::int32_t last,
                                                        std::size_t keep,
                                                        const ByteWidths* widths = nullptr);

// The same for one field, its texts alone: a change to one column need not
// walk the other 39.
std::vector<std::string> LongestFieldTexts(const Equipments& equipments, int field,
                                           std::int32_t first, std::int32_t last, std::size_t keep,
                                           const ByteWidths* widths = nullptr);

}  // namespace kestrel
