#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/Equipment.h"

namespace kestrel::cli {

// One heading row of the 40 property names, then one row per record, CR LF
// line ends. Numbers as their codes, EqName and IconName as UTF-8, LastPart
// as hexadecimal digits so that zero bytes survive a spreadsheet.
std::string EncodeCsv(const std::vector<EquipmentRef>& records);

struct CsvDecodeResult {
    std::vector<Equipment> records;
    std::string error;             // empty when the text was accepted
    int line = 0;                  // 1-based line where the offending row starts
    std::vector<int> recordLines;  // the line each record's row starts on
    // Numbers given with a fraction and stored rounded: (record, field).
    std::vector<std::pair<std::size_t, int>> rounded;
    // Cells taken as they stand that look garbled, with their lines.
    std::vector<std::pair<int, std::string>> warnings;
    bool ok() const { return error.empty(); }
};

// Reads what EncodeCsv writes and what a spreadsheet makes of it: a UTF-8 byte
// order mark, LF or CR LF, quoted fields, columns in any order. The whole
// text is checked before any record is handed out.
CsvDecodeResult DecodeCsv(std::string_view text);

}  // namespace kestrel::cli
