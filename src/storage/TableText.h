#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Equipment.h"

namespace kestrel {

// Records as a table for spreadsheets: a heading row of property names, one
// row per record, cells as the CSV export writes them (numbers as their
// codes, EqName and IconName as UTF-8, LastPart as hexadecimal digits so that
// zero bytes survive). Always in field order.

// One cell, UTF-8.
std::string TableCell(const Equipment& e, int field);
// Whether a text field is a name in the code page (EqName, IconName) rather
// than bytes written as hexadecimal digits.
bool IsCodePageTextField(int field);
// Pairs of hexadecimal digits, either case, as the bytes they stand for;
// nothing for an odd count or another character.
std::optional<std::string> HexDigitsToBytes(std::string_view hex);

// The heading row and a row per record, cells parted by separator and CR LF
// line ends; a cell holding the separator, a quote or a line end is quoted
// as spreadsheets quote it. The CSV export and the tab-separated table.
std::string EncodeSeparatedTable(const std::vector<EquipmentRef>& records, char separator);

// Tab-separated rows, CR LF line ends; a cell holding a tab, a quote or a
// line end is quoted as spreadsheets quote it.
std::string EncodeTabTable(const std::vector<EquipmentRef>& records);
// The same table as an HTML document, for spreadsheets that paste that.
std::string EncodeHtmlTable(const std::vector<EquipmentRef>& records);

struct TableDecodeResult {
    std::vector<Equipment> records;
    std::string error;  // empty when the text was accepted
    int row = 0;        // 1-based row of the text the error concerns (1: the heading)
    int column = 0;     // 1-based column, 0 when not one cell
    bool ok() const { return error.empty(); }
};

// Reads tab-separated rows whose first row names the fields: property names
// or headings that name one field, in any order; fields without a column
// take a new record's values. Each value is read as import reads a CSV cell.
// The whole text is checked before any record is handed out; blank rows are
// skipped, at most maxRecords are taken.
TableDecodeResult DecodeTabTable(std::string_view utf8, std::size_t maxRecords);

}  // namespace kestrel
