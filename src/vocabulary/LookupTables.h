#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kestrel {

// Code-to-word tables, 0-based; an item's position is the code it stands for.
extern std::array<std::string, 22> ClassNames;
extern std::array<std::string, 4> TargetTypeNames;
extern std::array<std::string, 2> MoveModeNames;
extern std::array<std::string, 13> MovementMethodNames;
extern std::array<std::string, 4> TransportNames;
extern std::array<std::string, 26> CountryNames;

// Country index to the eight hexadecimal digits of its one-bit mask in the
// binary file (0x40000000 shifted right by the index).
extern std::array<std::string, 26> CountryMasks;

// The separator of the cells of a grid row built as one text.
extern std::string gTab;

// Writes every table above and gTab again with the values they start
// with. Safe to call at any time.
void InitLookupTables();

// The word of code in table, or the code as a decimal number when the table
// has no entry for it, so that an unknown code never hides a record.
template <std::size_t N>
std::string WordOf(const std::array<std::string, N>& table, std::int64_t code) {
    if (code >= 0 && static_cast<std::uint64_t>(code) < N) {
        return table[static_cast<std::size_t>(code)];
    }
    return std::to_string(code);
}

}  // namespace kestrel
