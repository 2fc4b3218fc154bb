#include "storage/TableText.h"

#include <optional>

#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "storage/EquipmentFiles.h"
#include "text/CodePage.h"
#include "text/NumberReaders.h"

namespace kestrel {

namespace {

bool isCodePageText(int field) {
    return field == static_cast<int>(Field::EqName) || field == static_cast<int>(Field::IconName);
}

std::optional<std::string> hexToBytes(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = digit(hex[i]), lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        bytes += static_cast<char>(hi * 16 + lo);
    }
    return bytes;
}

void appendTabCell(std::string& out, const std::string& cell) {
    if (cell.find_first_of("\t\"\r\n") == std::string::npos) {
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

void appendHtml(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
}

// A cell shown in a message: its first 40 characters.
std::string shown(std::string_view cell) {
    std::string out;
    for (char c : cell.substr(0, 40))
        out += static_cast<unsigned char>(c) < 32 ? ' ' : c;
    if (cell.size() > 40)
        out += "...";
    return out;
}

// Splits the text into rows of cells, quotes as spreadsheets write them.
// False on a quote that is not closed.
bool splitRows(std::string_view text, std::vector<std::vector<std::string>>& rows) {
    std::vector<std::string> row;
    std::string cell;
    std::size_t i = 0;
    bool any = false;
    while (i < text.size()) {
        char c = text[i];
        if (c == '"' && cell.empty()) {
            std::size_t j = i + 1;
            std::string quoted;
            for (;;) {
                const std::size_t quote = text.find('"', j);
                if (quote == std::string_view::npos)
                    return false;
                quoted.append(text.substr(j, quote - j));
                if (quote + 1 < text.size() && text[quote + 1] == '"') {
                    quoted += '"';
                    j = quote + 2;
                    continue;
                }
                i = quote + 1;
                break;
            }
            cell = std::move(quoted);
            any = true;
            continue;
        }
        if (c == '\t') {
            row.push_back(std::move(cell));
            cell.clear();
            any = true;
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            row.push_back(std::move(cell));
            cell.clear();
            rows.push_back(std::move(row));
            row.clear();
            any = false;
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        cell += c;
        any = true;
        ++i;
    }
    if (any) {
        row.push_back(std::move(cell));
        rows.push_back(std::move(row));
    }
    return true;
}

bool blank(const std::vector<std::string>& row) {
    for (const std::string& c : row) {
        if (!c.empty())
            return false;
    }
    return true;
}

// Reads one cell into e's field as import reads it; empty when accepted.
std::string readCell(Equipment& e, int field, const std::string& cell) {
    if (fieldKind(field) == FieldKind::Text) {
        if (isCodePageText(field)) {
            std::optional<std::string> bytes = Utf8ToCodePage(cell);
            if (!bytes)
                return "\"" + shown(cell) + "\" holds a character the code page cannot hold";
            e.setText(field, *bytes);
        } else {
            std::optional<std::string> bytes = hexToBytes(cell);
            if (!bytes)
                return "\"" + shown(cell) + "\" is not pairs of hexadecimal digits";
            e.setText(field, *bytes);
        }
        return {};
    }
    std::optional<std::int32_t> value = ReadWholeNumber(cell);
    if (!value)
        return "\"" + shown(cell) + "\" is not a whole number";
    if (fieldKind(field) == FieldKind::Byte && !FitsByte(*value))
        return std::to_string(*value) + " is not between 0 and 255";
    e.setNumber(field, *value);
    return {};
}

}  // namespace

std::string TableCell(const Equipment& e, int field) {
    if (fieldKind(field) != FieldKind::Text)
        return std::to_string(e.number(field));
    if (isCodePageText(field))
        return CodePageToUtf8(e.text(field));
    return BytesToHex(e.text(field));
}

std::string EncodeTabTable(const std::vector<EquipmentRef>& records) {
    std::string out;
    out.reserve(40 * kFieldCount + records.size() * 160);
    for (int f = 0; f < kFieldCount; ++f) {
        if (f > 0)
            out += '\t';
        out += fieldName(f);
    }
    out += "\r\n";
    for (const EquipmentRef& record : records) {
        for (int f = 0; f < kFieldCount; ++f) {
            if (f > 0)
                out += '\t';
            if (fieldKind(f) != FieldKind::Text)
                out += std::to_string(record->number(f));
            else
                appendTabCell(out, TableCell(*record, f));
        }
        out += "\r\n";
    }
    return out;
}

std::string EncodeHtmlTable(const std::vector<EquipmentRef>& records) {
    std::string out;
    out.reserve(60 * kFieldCount + records.size() * 400);
    out += "<html><head><meta charset=\"utf-8\"></head><body><table>\r\n<tr>";
    for (int f = 0; f < kFieldCount; ++f) {
        out += "<th>";
        out += fieldName(f);
        out += "</th>";
    }
    out += "</tr>\r\n";
    for (const EquipmentRef& record : records) {
        out += "<tr>";
        for (int f = 0; f < kFieldCount; ++f) {
            out += "<td>";
            if (fieldKind(f) != FieldKind::Text)
                out += std::to_string(record->number(f));
            else
                appendHtml(out, TableCell(*record, f));
            out += "</td>";
        }
        out += "</tr>\r\n";
    }
    out += "</table></body></html>\r\n";
    return out;
}

TableDecodeResult DecodeTabTable(std::string_view utf8, std::size_t maxRecords) {
    TableDecodeResult result;
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF")
        utf8.remove_prefix(3);
    std::vector<std::vector<std::string>> rows;
    if (!splitRows(utf8, rows)) {
        result.error = "a quoted cell is not closed";
        return result;
    }
    if (rows.empty()) {
        result.error = "there is no heading row";
        result.row = 1;
        return result;
    }
    const std::vector<std::string>& heading = rows.front();
    std::vector<int> fieldOf(heading.size(), -1);
    std::vector<bool> given(kFieldCount, false);
    for (std::size_t c = 0; c < heading.size(); ++c) {
        std::string name = heading[c];
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
            name.pop_back();
        while (!name.empty() && name.front() == ' ')
            name.erase(name.begin());
        auto fail = [&](const std::string& why) {
            result.error = why;
            result.row = 1;
            result.column = static_cast<int>(c) + 1;
        };
        if (name.empty()) {
            fail("a heading is empty");
            return result;
        }
        const std::vector<int> fields = FieldsNamed(name);
        if (fields.empty()) {
            fail("the heading \"" + shown(name) + "\" names no field");
            return result;
        }
        if (fields.size() > 1) {
            fail("the heading \"" + shown(name) + "\" stands for " + std::to_string(fields.size()) +
                 " fields; use their property names");
            return result;
        }
        if (given[static_cast<std::size_t>(fields.front())]) {
            fail(std::string("the heading names ") + fieldName(fields.front()) + " twice");
            return result;
        }
        given[static_cast<std::size_t>(fields.front())] = true;
        fieldOf[c] = fields.front();
    }
    const Equipment fresh = FreshEquipment();
    std::vector<Equipment> records;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::vector<std::string>& row = rows[r];
        if (blank(row))
            continue;
        const int rowNumber = static_cast<int>(r) + 1;
        if (records.size() >= maxRecords) {
            result.error = "the table holds more records than the list has room for";
            result.row = rowNumber;
            return result;
        }
        if (row.size() != heading.size()) {
            result.error = "the row has " + std::to_string(row.size()) + " cells, the heading " +
                           std::to_string(heading.size());
            result.row = rowNumber;
            return result;
        }
        Equipment e = fresh;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string why = readCell(e, fieldOf[c], row[c]);
            if (!why.empty()) {
                result.error = std::string(fieldName(fieldOf[c])) + ": " + why;
                result.row = rowNumber;
                result.column = static_cast<int>(c) + 1;
                return result;
            }
        }
        records.push_back(std::move(e));
    }
    result.records = std::move(records);
    return result;
}

}  // namespace kestrel
