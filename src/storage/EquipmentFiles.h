#pragma once

#include <string>
#include <string_view>
#include <vector>

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

namespace kestrel {

// Where the files of one pair live: fixed names in the folder of DataPath,
// the binary file being DataPath itself.
struct EquipmentFilePaths {
    std::string folder;  // with its trailing separator, or empty
    std::string nameList;
    std::string nameListTemp;
    std::string nameListBackup;
    std::string binary;
    std::string binaryTemp;
    std::string binaryBackup;
};
// Looks in the folder for a name list under other letter case.
EquipmentFilePaths PathsFor(const std::string& dataPath);

// The names of a name list: lines end at CR LF or a lone CR; a last line
// without a terminator is a name too.
std::vector<Text> DecodeNameList(std::string_view nameBytes);

// Appends one name-only record per line (EqCode the line number) and fills
// items 1 to n from the binary file. Returns 0, or the counter the read
// message shows for what failed.
Long DecodeEquipmentPair(std::string_view nameBytes, std::string_view binaryBytes,
                         Equipments& equipments);

// The bytes of the two files for the collection. Return 0, or the counter
// the write message shows for the record (or Count + 1) that cannot be written.
Long EncodeNameList(const Equipments& equipments, std::string& out);
Long EncodeBinaryFile(const Equipments& equipments, std::string& out);

inline const char* const kReadMessage = "Equipment File can not be read";
inline const char* const kWriteMessage = "Equipment File can not be written";

}  // namespace kestrel
