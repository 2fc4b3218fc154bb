#include "cli/CsvTable.h"

#include <cctype>
#include <optional>

#include "storage/EquipmentFiles.h"
#include "text/CodePage.h"
#include "text/NumberReaders.h"

namespace kestrel::cli {

namespace {

bool isCodePageText(int field) {
    return field == static_cast<int>(Field::EqName) || field == static_cast<int>(Field::IconName);
}

void appendCell(std::string& out, const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        out += cell;
        return;
    }
    out += '"';
    for (char c : cell) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::optional<std::string> hexToBytes(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int hi = digit(hex[i]);
        int lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        bytes += static_cast<char>(hi * 16 + lo);
    }
    return bytes;
}

struct Row {
    std::vector<std::string> cells;
    int line = 0;
};

// Splits the text into rows of cells; an unterminated quote is the only
// failure, reported with the line its row began on.
bool splitRows(std::string_view text, std::vector<Row>& rows, CsvDecodeResult& result) {
    std::size_t i = 0;
    int line = 1;
    while (i < text.size()) {
        Row row;
        row.line = line;
        std::string cell;
        bool endOfRow = false;
        while (!endOfRow) {
            cell.clear();
            if (i < text.size() && text[i] == '"') {
                ++i;
                for (;;) {
                    if (i >= text.size()) {
                        result.error = "a quoted field is not closed";
                        result.line = row.line;
                        return false;
                    }
                    char c = text[i++];
                    if (c == '"') {
                        if (i < text.size() && text[i] == '"') {
                            cell += '"';
                            ++i;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n')
                        ++line;
                    cell += c;
                }
                // Anything between the closing quote and the separator is kept,
                // as spreadsheets do.
                while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                    cell += text[i++];
                }
            } else {
                while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                    cell += text[i++];
                }
            }
            row.cells.push_back(cell);
            if (i >= text.size()) {
                endOfRow = true;
            } else if (text[i] == ',') {
                ++i;
            } else {
                if (text[i] == '\r')
                    ++i;
                if (i < text.size() && text[i] == '\n')
                    ++i;
                ++line;
                endOfRow = true;
            }
        }
        rows.push_back(std::move(row));
    }
    return true;
}

bool isBlankRow(const Row& row) {
    for (const auto& c : row.cells) {
        if (!c.empty())
            return false;
    }
    return true;
}

}  // namespace

std::string EncodeCsv(const std::vector<EquipmentRef>& records) {
    std::string out;
    out.reserve(64 * kFieldCount + records.size() * 200);
    for (int f = 0; f < kFieldCount; ++f) {
        if (f > 0)
            out += ',';
        out += fieldName(f);
    }
    out += "\r\n";
    for (const auto& record : records) {
        for (int f = 0; f < kFieldCount; ++f) {
            if (f > 0)
                out += ',';
            if (fieldKind(f) != FieldKind::Text) {
                out += std::to_string(record->number(f));
            } else if (isCodePageText(f)) {
                appendCell(out, CodePageToUtf8(record->text(f)));
            } else {
                out += BytesToHex(record->text(f));
            }
        }
        out += "\r\n";
    }
    return out;
}

CsvDecodeResult DecodeCsv(std::string_view text) {
    CsvDecodeResult result;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    std::vector<Row> rows;
    if (!splitRows(text, rows, result))
        return result;
    if (rows.empty()) {
        result.error = "there is no heading row";
        result.line = 1;
        return result;
    }

    // Columns are found by heading, so a spreadsheet may reorder them.
    const Row& heading = rows.front();
    std::vector<int> fieldOfColumn(heading.cells.size(), -1);
    std::vector<int> columnOfField(kFieldCount, -1);
    for (std::size_t c = 0; c < heading.cells.size(); ++c) {
        std::string name = heading.cells[c];
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
            result.error = "the heading has an unknown column \"" + name + "\"";
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
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const Row& row = rows[r];
        if (isBlankRow(row))
            continue;
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
            const std::string& cell = row.cells[c];
            FieldKind kind = fieldKind(f);
            if (kind == FieldKind::Text) {
                if (isCodePageText(f)) {
                    auto bytes = Utf8ToCodePage(cell);
                    if (!bytes) {
                        fail("\"" + cell + "\" holds a character the code page cannot hold");
                        return result;
                    }
                    e.setText(f, *bytes);
                } else {
                    auto bytes = hexToBytes(cell);
                    if (!bytes) {
                        fail("\"" + cell + "\" is not pairs of hexadecimal digits");
                        return result;
                    }
                    e.setText(f, *bytes);
                }
                continue;
            }
            auto value = ReadWholeNumber(cell);
            if (!value) {
                fail("\"" + cell + "\" is not a whole number");
                return result;
            }
            if (kind == FieldKind::Byte && !FitsByte(*value)) {
                fail(std::to_string(*value) + " is not between 0 and 255");
                return result;
            }
            e.setNumber(f, *value);
        }
        records.push_back(std::move(e));
    }
    result.records = std::move(records);
    return result;
}

}  // namespace kestrel::cli
