#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Equipments.h"
#include "model/RecordFormat.h"
#include "storage/LoadReport.h"
#include "storage/PairPaths.h"

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

// What a load does where it finds a save of the pair that was cut short:
// finish or undo it before reading, or only say so (a pair opened to compare
// with is not ours to change).
enum class InterruptedSave { Repair, ReportOnly };
// GetEquipments without the message: what the load found, for the caller to
// tell.
LoadReport LoadEquipments(Equipments& equipments,
                          InterruptedSave interrupted = InterruptedSave::Repair);

// What a save did. ok is false when the message says something went wrong.
struct SaveResult {
    bool ok = true;
    std::string message;
};
SaveResult SaveEquipments(const Equipments& equipments);

}  // namespace kestrel

namespace kestrel {

// The names of a name list: lines end at CR LF or a lone CR; a last line
// without a terminator is a name too.
std::vector<Text> DecodeNameList(std::string_view nameBytes);

// The number of lines DecodeNameList would give, counting no further than
// stopAfter.
std::size_t CountNameLines(std::string_view nameBytes, std::size_t stopAfter);

// Appends one name-only record per line (EqCode the line number) and fills
// items 1 to n from the binary file. Returns 0, or the counter the read
// message shows for what failed. The findings go to report where given;
// bytes after the last record are kept in equipments for its next save.
Long DecodeEquipmentPair(std::string_view nameBytes, std::string_view binaryBytes,
                         Equipments& equipments, LoadReport* report = nullptr);

// The bytes of the two files for the collection. Return 0, or the counter
// the write message shows for the record (or Count + 1) that cannot be
// written.
Long EncodeNameList(const Equipments& equipments, std::string& out);
Long EncodeBinaryFile(const Equipments& equipments, std::string& out);

// The largest name list the pair may have, and the largest binary file.
constexpr std::size_t kMaxNameLines = 32768;
constexpr std::uint64_t kMaxNameListBytes = 16u << 20;
constexpr std::uint64_t kMaxBinaryBytes = 2 + kRecordSize * static_cast<std::uint64_t>(kMaxRecords);

inline const char* const kReadMessage = "Equipment File can not be read";
inline const char* const kWriteMessage = "Equipment File can not be written";

}  // namespace kestrel
