#include "storage/TableText.h"

#include <algorithm>
#include <optional>

#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "storage/EquipmentFiles.h"
#include "text/CodePage.h"
#include "text/NumberReaders.h"

namespace kestrel {

namespace {

// A cell quoted where the separator, a quote or a line end would split it.
void appendCell(std::string& out, const std::string& cell, char separator) {
    const char special[] = {separator, '"', '\r', '\n', '\0'};
    if (cell.find_first_of(special) == std::string::npos) {
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

// Reads the text row by row, quotes as spreadsheets write them. A cell is
// a piece of the text itself unless quotes make it another text: the rows
// of a whole paste are never held at once.
class RowReader {
public:
    enum class Read { Row, End, Unclosed };
    explicit RowReader(std::string_view text) : mText(text) {}

    // The next row's cells, valid until the next call.
    Read next(std::vector<std::string_view>& cells) {
        cells.clear();
        mCells.clear();
        mUsed = 0;
        if (mAt >= mText.size())
            return Read::End;
        bool any = false;
        Cell cell;
        while (mAt < mText.size()) {
            const char c = mText[mAt];
            if (c == '"' && empty(cell)) {
                std::size_t j = mAt + 1;
                std::string& quoted = scratch();
                for (;;) {
                    const std::size_t quote = mText.find('"', j);
                    if (quote == std::string_view::npos)
                        return Read::Unclosed;
                    quoted.append(mText.substr(j, quote - j));
                    if (quote + 1 < mText.size() && mText[quote + 1] == '"') {
                        quoted += '"';
                        j = quote + 2;
                        continue;
                    }
                    mAt = quote + 1;
                    break;
                }
                cell = Cell{0, 0, static_cast<int>(mUsed - 1)};
                any = true;
                continue;
            }
            if (c == '\t') {
                mCells.push_back(cell);
                cell = Cell{};
                any = true;
                ++mAt;
                continue;
            }
            if (c == '\r' || c == '\n') {
                mCells.push_back(cell);
                mAt += (c == '\r' && mAt + 1 < mText.size() && mText[mAt + 1] == '\n') ? 2 : 1;
                finish(cells);
                return Read::Row;
            }
            append(cell, c);
            any = true;
            ++mAt;
        }
        if (!any)
            return Read::End;
        mCells.push_back(cell);
        finish(cells);
        return Read::Row;
    }

    // Whether a quote further on is not closed: the whole text's fault,
    // which goes before any fault of a row.
    bool restUnclosed() {
        std::vector<std::string_view> cells;
        for (;;) {
            const Read read = next(cells);
            if (read != Read::Row)
                return read == Read::Unclosed;
        }
    }

private:
    // Characters [from, from + size) of the text, or the scratch text held
    // at index scratch when quotes made the cell.
    struct Cell {
        std::size_t from = 0, size = 0;
        int scratch = -1;
    };
    bool empty(const Cell& cell) const {
        return cell.scratch < 0 ? cell.size == 0
                                : mScratch[static_cast<std::size_t>(cell.scratch)].empty();
    }
    std::string& scratch() {
        if (mUsed == mScratch.size())
            mScratch.emplace_back();
        std::string& text = mScratch[mUsed++];
        text.clear();
        return text;
    }
    void append(Cell& cell, char c) {
        if (cell.scratch < 0) {
            if (cell.size == 0)
                cell.from = mAt;
            if (cell.from + cell.size == mAt) {
                ++cell.size;
                return;
            }
            std::string& text = scratch();
            text.assign(mText.substr(cell.from, cell.size));
            cell = Cell{0, 0, static_cast<int>(mUsed - 1)};
        }
        mScratch[static_cast<std::size_t>(cell.scratch)] += c;
    }
    void finish(std::vector<std::string_view>& cells) const {
        for (const Cell& cell : mCells)
            cells.push_back(
                cell.scratch < 0
                    ? mText.substr(cell.from, cell.size)
                    : std::string_view(mScratch[static_cast<std::size_t>(cell.scratch)]));
    }

    std::string_view mText;
    std::size_t mAt = 0;
    std::vector<Cell> mCells;
    // Texts made by quotes, kept between rows for their room.
    std::vector<std::string> mScratch;
    std::size_t mUsed = 0;
};

bool blank(const std::vector<std::string_view>& row) {
    for (std::string_view c : row) {
        if (!c.empty())
            return false;
    }
    return true;
}

// Reads one cell into e's field as import reads it; empty when accepted.
std::string readCell(Equipment& e, int field, std::string_view cell) {
    if (fieldKind(field) == FieldKind::Text) {
        if (IsCodePageTextField(field)) {
            std::optional<std::string> bytes = Utf8ToCodePage(cell);
            if (!bytes)
                return "\"" + shown(cell) + "\" holds a character the code page cannot hold";
            e.setText(field, *bytes);
        } else {
            std::optional<std::string> bytes = HexDigitsToBytes(cell);
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
    if (IsCodePageTextField(field))
        return CodePageToUtf8(e.text(field));
    return BytesToHex(e.text(field));
}

bool IsCodePageTextField(int field) {
    return field == static_cast<int>(Field::EqName) || field == static_cast<int>(Field::IconName);
}

std::optional<std::string> HexDigitsToBytes(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexDigitValue(hex[i]), lo = HexDigitValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        bytes += static_cast<char>(hi * 16 + lo);
    }
    return bytes;
}

std::string EncodeSeparatedTable(const std::vector<EquipmentRef>& records, char separator) {
    std::string out;
    out.reserve(40 * kFieldCount + records.size() * 160);
    for (int f = 0; f < kFieldCount; ++f) {
        if (f > 0)
            out += separator;
        out += fieldName(f);
    }
    out += "\r\n";
    for (const EquipmentRef& record : records) {
        for (int f = 0; f < kFieldCount; ++f) {
            if (f > 0)
                out += separator;
            if (fieldKind(f) != FieldKind::Text)
                out += std::to_string(record->number(f));
            else
                appendCell(out, TableCell(*record, f), separator);
        }
        out += "\r\n";
    }
    return out;
}

std::string EncodeTabTable(const std::vector<EquipmentRef>& records) {
    return EncodeSeparatedTable(records, '\t');
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
    RowReader reader(utf8);
    auto unclosed = [&result] {
        result = TableDecodeResult{};
        result.error = "a quoted cell is not closed";
        return result;
    };
    // A fault of a row gives way to a quote not closed further on.
    auto failed = [&](std::string why, int row, int column) {
        if (reader.restUnclosed())
            return unclosed();
        result.error = std::move(why);
        result.row = row;
        result.column = column;
        return result;
    };
    std::vector<std::string_view> cells;
    const RowReader::Read first = reader.next(cells);
    if (first == RowReader::Read::Unclosed)
        return unclosed();
    if (first == RowReader::Read::End) {
        result.error = "there is no heading row";
        result.row = 1;
        return result;
    }
    const std::size_t width = cells.size();
    std::vector<int> fieldOf(width, -1);
    std::vector<bool> given(kFieldCount, false);
    for (std::size_t c = 0; c < width; ++c) {
        std::string_view name = cells[c];
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
            name.remove_suffix(1);
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
        const int column = static_cast<int>(c) + 1;
        if (name.empty())
            return failed("a heading is empty", 1, column);
        const std::vector<int> fields = FieldsNamed(name);
        if (fields.empty())
            return failed("the heading \"" + shown(name) + "\" names no field", 1, column);
        if (fields.size() > 1)
            return failed("the heading \"" + shown(name) + "\" stands for " +
                              std::to_string(fields.size()) + " fields; use their property names",
                          1, column);
        if (given[static_cast<std::size_t>(fields.front())])
            return failed(std::string("the heading names ") + fieldName(fields.front()) + " twice",
                          1, column);
        given[static_cast<std::size_t>(fields.front())] = true;
        fieldOf[c] = fields.front();
    }
    const Equipment fresh = FreshEquipment();
    std::vector<Equipment> records;
    // Room for a record a line at most, so that the list is not moved as it grows.
    const auto lines = static_cast<std::size_t>(std::count(utf8.begin(), utf8.end(), '\n')) + 1;
    records.reserve(std::min(lines, maxRecords));
    for (int rowNumber = 2;; ++rowNumber) {
        const RowReader::Read read = reader.next(cells);
        if (read == RowReader::Read::Unclosed)
            return unclosed();
        if (read == RowReader::Read::End)
            break;
        if (blank(cells))
            continue;
        if (records.size() >= maxRecords)
            return failed("the table holds more records than the list has room for", rowNumber, 0);
        if (cells.size() != width)
            return failed("the row has " + std::to_string(cells.size()) + " cells, the heading " +
                              std::to_string(width),
                          rowNumber, 0);
        records.push_back(fresh);
        Equipment& e = records.back();
        for (std::size_t c = 0; c < width; ++c) {
            std::string why = readCell(e, fieldOf[c], cells[c]);
            if (!why.empty())
                return failed(std::string(fieldName(fieldOf[c])) + ": " + why, rowNumber,
                              static_cast<int>(c) + 1);
        }
    }
    result.records = std::move(records);
    return result;
}

}  // namespace kestrel
