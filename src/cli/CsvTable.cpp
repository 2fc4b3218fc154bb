#include "cli/CsvTable.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <deque>
#include <optional>

#include "cli/Shown.h"
#include "storage/EquipmentFiles.h"
#include "storage/TableText.h"
#include "text/CodePage.h"
#include "text/Mojibake.h"
#include "text/NumberReaders.h"

namespace kestrel::cli {

namespace {

struct Row {
    // Views into the text where a cell stands in it as it reads; else into
    // unquoted, the cell with its doubled quotes made single (a deque, so
    // that a cell added does not move the others).
    std::vector<std::string_view> cells;
    std::deque<std::string> unquoted;
    int line = 0;
};

// Hands out one row of cells at a time, so that a large table is never held
// twice; an unterminated quote is the only failure, reported with the line
// its row began on.
class RowReader {
public:
    explicit RowReader(std::string_view text) : text_(text) {}

    // False at the end of the text or on a failure (result.error set).
    bool next(Row& row, CsvDecodeResult& result) {
        if (i_ >= text_.size())
            return false;
        row.line = line_;
        std::size_t used = 0;
        for (;;) {
            if (used == row.cells.size())
                row.cells.emplace_back();
            if (used == row.unquoted.size())
                row.unquoted.emplace_back();
            std::string_view& cell = row.cells[used];
            std::string& copy = row.unquoted[used];
            ++used;
            const std::size_t start = i_;
            bool copied = false;
            if (i_ < text_.size() && text_[i_] == '"') {
                ++i_;
                for (;;) {
                    std::size_t quote = text_.find('"', i_);
                    if (quote == std::string_view::npos) {
                        result.error = "a quoted field is not closed";
                        result.line = row.line;
                        return false;
                    }
                    for (std::size_t k = i_; k < quote; ++k)
                        line_ += text_[k] == '\n';
                    const bool doubled = quote + 1 < text_.size() && text_[quote + 1] == '"';
                    if (doubled && !copied) {
                        copy.assign(text_.data() + start + 1, quote - start - 1);
                        copied = true;
                    } else if (copied) {
                        copy.append(text_.data() + i_, quote - i_);
                    }
                    if (doubled) {
                        copy += '"';
                        i_ = quote + 2;
                        continue;
                    }
                    if (!copied)
                        cell = text_.substr(start + 1, quote - start - 1);
                    i_ = quote + 1;
                    break;
                }
            }
            // After a closing quote, anything up to the separator is kept, as
            // spreadsheets do.
            std::size_t end = text_.find_first_of(",\r\n", i_);
            if (end == std::string_view::npos)
                end = text_.size();
            if (i_ == start) {
                cell = text_.substr(start, end - start);
            } else if (end > i_) {
                if (!copied)
                    copy.assign(cell);
                copy.append(text_.data() + i_, end - i_);
                copied = true;
            }
            if (copied)
                cell = copy;
            i_ = end;
            if (i_ >= text_.size())
                break;
            if (text_[i_] == ',') {
                ++i_;
                continue;
            }
            if (text_[i_] == '\r')
                ++i_;
            if (i_ < text_.size() && text_[i_] == '\n')
                ++i_;
            ++line_;
            break;
        }
        row.cells.resize(used);
        return true;
    }

private:
    std::string_view text_;
    std::size_t i_ = 0;
    int line_ = 1;
};

bool isBlankRow(const Row& row) {
    for (const auto& c : row.cells) {
        if (!c.empty())
            return false;
    }
    return true;
}

}  // namespace

std::string EncodeCsv(const std::vector<EquipmentRef>& records) {
    return EncodeSeparatedTable(records, ',');
}

CsvDecodeResult DecodeCsv(std::string_view text) {
    CsvDecodeResult result;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    RowReader reader(text);
    Row heading;
    if (!reader.next(heading, result)) {
        if (result.ok()) {
            result.error = "there is no heading row";
            result.line = 1;
        }
        return result;
    }

    // Columns are found by heading, so a spreadsheet may reorder them.
    std::vector<int> fieldOfColumn(heading.cells.size(), -1);
    std::vector<int> columnOfField(kFieldCount, -1);
    for (std::size_t c = 0; c < heading.cells.size(); ++c) {
        std::string name(heading.cells[c]);
        while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) {
            name.pop_back();
        }
        for (int f = 0; f < kFieldCount; ++f) {
            if (name == fieldName(f)) {
                if (columnOfField[f] >= 0) {
                    result.error = "the heading names " + name + " twice";
                    result.line = heading.line;
                    return result;
                }
                columnOfField[f] = static_cast<int>(c);
                fieldOfColumn[c] = f;
            }
        }
        if (fieldOfColumn[c] < 0 && !name.empty()) {
            result.error = "the heading has an unknown column \"" + ShownValue(name) + "\"";
            result.line = heading.line;
            return result;
        }
    }
    for (int f = 0; f < kFieldCount; ++f) {
        if (columnOfField[f] < 0) {
            result.error = std::string("the heading has no column ") + fieldName(f);
            result.line = heading.line;
            return result;
        }
    }

    std::vector<Equipment> records;
    records.reserve(std::min<std::size_t>(text.size() / 160, kMaxRecords));
    std::uint64_t nameListBytes = 0;
    Row row;
    while (reader.next(row, result)) {
        if (isBlankRow(row))
            continue;
        // Refused here, before the rest is decoded, rather than by the save.
        if (records.size() == static_cast<std::size_t>(kMaxRecords)) {
            result.error = "the text holds more than the " + std::to_string(kMaxRecords) +
                           " records a pair can hold";
            result.line = row.line;
            return result;
        }
        Equipment e;
        for (int f = 0; f < kFieldCount; ++f) {
            auto fail = [&](const std::string& why) {
                result.error = std::string(fieldName(f)) + ": " + why;
                result.line = row.line;
            };
            std::size_t c = static_cast<std::size_t>(columnOfField[f]);
            if (c >= row.cells.size()) {
                fail("the row has no cell for it");
                return result;
            }
            const std::string_view cell = row.cells[c];
            FieldKind kind = fieldKind(f);
            if (kind == FieldKind::Text) {
                // No pair holds so long a text, and converting it would
                // cost as much again.
                if (cell.size() > kMaxNameListBytes) {
                    fail("the value is larger than 16 MB, more than a pair can hold");
                    return result;
                }
                if (IsCodePageTextField(f)) {
                    auto bytes = Utf8ToCodePage(cell);
                    if (!bytes) {
                        fail("\"" + ShownValue(cell) +
                             "\" holds a character the code page cannot hold");
                        return result;
                    }
                    // A spreadsheet that opened the text with the wrong
                    // encoding saves every accented letter as two or three.
                    // Any bytes are a valid name, so this is only said.
                    if (LooksLikeMisreadUtf8(*bytes)) {
                        result.warnings.push_back(
                            {row.line, std::string(fieldName(f)) + ": \"" + ShownValue(cell) +
                                           "\" reads like UTF-8 taken for Windows-1252 (\"" +
                                           ShownValue(*bytes) + "\" meant?)"});
                    }
                    if (f == static_cast<int>(Field::EqName)) {
                        nameListBytes += bytes->size() + 2;
                        if (nameListBytes > kMaxNameListBytes) {
                            fail("the names add up to more than the 16 MB a name list can hold");
                            return result;
                        }
                    }
                    e.setText(f, std::move(*bytes));
                } else {
                    auto bytes = HexDigitsToBytes(cell);
                    if (!bytes) {
                        fail("\"" + ShownValue(cell) + "\" is not pairs of hexadecimal digits");
                        return result;
                    }
                    e.setText(f, *bytes);
                }
                continue;
            }
            auto value = ReadWholeNumber(cell);
            if (!value) {
                fail("\"" + ShownValue(cell) + "\" is not a whole number");
                return result;
            }
            if (kind == FieldKind::Byte && !FitsByte(*value)) {
                fail(std::to_string(*value) + " is not between 0 and 255");
                return result;
            }
            if (!ReadLeadingWholeNumber(cell))
                result.rounded.emplace_back(records.size(), f);
            e.setNumber(f, *value);
        }
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            if (c >= fieldOfColumn.size() && !row.cells[c].empty()) {
                result.error = "the row has more cells than the heading has columns";
                result.line = row.line;
                return result;
            }
        }
        records.push_back(std::move(e));
        result.recordLines.push_back(row.line);
    }
    if (!result.ok())
        return result;
    result.records = std::move(records);
    return result;
}

}  // namespace kestrel::cli
