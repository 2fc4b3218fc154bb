#include "storage/ClipboardText.h"

#include <charconv>
#include <cstdint>
#include <string>

#include "text/NumberReaders.h"

namespace kestrel {

const char kClipboardHeader[] = "IFII Equipment Editor - by Varnek";

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kLinesPerRecord = 40;

// These five take the number at the start of the line and ignore what follows
// it, as pasted texts have always been read; the others must be numbers whole.
bool readsLeadingNumber(int field) {
    switch (static_cast<Field>(field)) {
        case Field::EqCode:
        case Field::EqClass:
        case Field::SoftAttack:
        case Field::HardAttack:
        case Field::YearAvail:
            return true;
        default:
            return false;
    }
}

void appendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append(kLineEnd);
}

void appendNumber(std::string& out, std::int64_t value) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    appendLine(out, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void appendWithoutZeros(std::string& out, const Text& text) {
    for (char c : text) {
        if (c != '\0')
            out.push_back(c);
    }
    out.append(kLineEnd);
}

// Copy leaves zero bytes out of these two lines; where that would join a CR
// and an LF, the record could never be copied again as one line.
bool joinsLineEnd(std::string_view line) {
    bool afterCr = false;
    for (char c : line) {
        if (c == '\0')
            continue;
        if (afterCr && c == '\n')
            return true;
        afterCr = c == '\r';
    }
    return false;
}

bool splitsOnCopy(int field, std::string_view line) {
    return fieldKind(field) == FieldKind::Text && field != static_cast<int>(Field::EqName) &&
           joinsLineEnd(line);
}

ClipboardDecodeResult refused(std::string reason, int line) {
    ClipboardDecodeResult result;
    result.error = std::move(reason);
    result.line = line;
    return result;
}

}  // namespace

int FieldSplitByCopy(const Equipment& e) {
    for (int f = 0; f < kFieldCount; ++f) {
        if (fieldKind(f) == FieldKind::Text && splitsOnCopy(f, e.text(f)))
            return f;
    }
    return -1;
}

std::string EncodeClipboardText(const std::vector<EquipmentRef>& records) {
    std::string out;
    out.reserve(64 + records.size() * 200);
    appendLine(out, kClipboardHeader);
    appendLine(out, "Equipment Info for");
    appendLine(out, std::to_string(records.size()));
    for (const auto& record : records) {
        for (int f = 0; f < kFieldCount; ++f) {
            switch (fieldKind(f)) {
                case FieldKind::Text:
                    if (f == static_cast<int>(Field::EqName)) {
                        appendLine(out, record->text(f));
                    } else {
                        appendWithoutZeros(out, record->text(f));
                    }
                    break;
                case FieldKind::Byte:
                case FieldKind::Long:
                    appendNumber(out, record->number(f));
                    break;
            }
        }
    }
    return out;
}

ClipboardDecodeResult DecodeClipboardText(std::string_view text) {
    const std::string_view header(kClipboardHeader);
    if (text.substr(0, header.size()) != header)
        return refused("no header", 1);

    // The pieces ended by CR LF, in order; what follows the last one is not
    // looked at. They are counted first and read one by one after, so that a
    // long text needs no table of its lines.
    auto nextLine = [text](std::size_t& start, std::string_view& line) {
        const std::size_t end = text.find(kLineEnd, start);
        if (end == std::string_view::npos)
            return false;
        line = text.substr(start, end - start);
        start = end + kLineEnd.size();
        return true;
    };
    std::size_t lineCount = 0;
    std::string_view line;
    for (std::size_t start = 0; nextLine(start, line);)
        ++lineCount;
    if (lineCount < 3)
        return refused("fewer than three lines", static_cast<int>(lineCount) + 1);

    std::size_t start = 0;
    for (int k = 0; k < 3; ++k)
        nextLine(start, line);
    auto count = ReadLeadingWholeNumber(line);
    if (!count || *count < 0)
        return refused("count is not a whole number 0 or more", 3);
    const std::size_t records = (lineCount - 3) / kLinesPerRecord;
    if ((lineCount - 3) % kLinesPerRecord != 0 || static_cast<std::uint64_t>(*count) != records)
        return refused("line count does not match the record count", 0);

    std::vector<Equipment> decoded(records);
    std::vector<std::pair<std::size_t, int>> rounded;
    std::size_t at = 3;
    for (auto& record : decoded) {
        for (int f = 0; f < kFieldCount; ++f, ++at) {
            nextLine(start, line);
            const int lineNumber = static_cast<int>(at) + 1;
            const FieldKind kind = fieldKind(f);
            if (kind == FieldKind::Text) {
                if (splitsOnCopy(f, line)) {
                    return refused(std::string(fieldName(f)) + " would not copy as one line",
                                   lineNumber);
                }
                record.setText(f, Text(line));
                continue;
            }
            // A plain number reads alike whichever way the field is read, and whole.
            std::optional<std::int64_t> value = ReadPlainWholeNumber(line);
            const bool plain = value.has_value();
            if (!plain && readsLeadingNumber(f)) {
                value = ReadLeadingNumber(line);
            } else if (!plain) {
                if (auto whole = ReadWholeNumber(line))
                    value = *whole;
            }
            bool fits = value && (kind == FieldKind::Byte ? FitsByte(*value) : FitsLong(*value));
            if (!fits) {
                return refused(std::string(fieldName(f)) +
                                   (kind == FieldKind::Byte ? " is not a byte" : " is not a long"),
                               lineNumber);
            }
            if (!plain && !ReadLeadingWholeNumber(line))
                rounded.emplace_back(static_cast<std::size_t>(&record - decoded.data()), f);
            record.setNumber(f, *value);
        }
    }
    ClipboardDecodeResult result;
    result.records = std::move(decoded);
    result.rounded = std::move(rounded);
    return result;
}

}  // namespace kestrel
