#pragma once

#include <string>
#include <string_view>

#include "model/Equipments.h"

namespace kestrel {

// Character codes as upper-case hexadecimal pairs ("AB" gives "4142").
std::string BytesToHex(std::string_view bytes);
// The inverse of BytesToHex on the digit-only country mask texts.
std::string HexToBytes(std::string_view hex);
// The country index whose mask text equals mask (entries 1 to 25), else 0.
Long CountryFromMask(const std::string& mask);

// Loads the pair named by equipments.DataPath(), appending records, and saves
// it with temporary files and backups. Both report failures through
// ReportMessage and return normally.
void GetEquipments(Equipments& equipments);
void PutEquipments(const Equipments& equipments);

}  // namespace kestrel
