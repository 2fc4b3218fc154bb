#include "model/FieldText.h"

#include <array>
#include <cstring>

#include "model/FieldTable.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

}  // namespace

const char* FieldHeading(int field) {
    return fieldInfo(field).heading;
}

const char* FieldLabel(int field) {
    const char* heading = FieldHeading(field);
    return std::strcmp(heading, "U") == 0 ? fieldName(field) : heading;
}

std::vector<int> FieldsNamed(std::string_view word) {
    std::vector<int> fields;
    for (int f = 0; f < kFieldCount; ++f) {
        if (sameIgnoringCase(word, fieldInfo(f).heading) || sameIgnoringCase(word, fieldName(f)))
            fields.push_back(f);
    }
    return fields;
}

namespace {
template <std::size_t N>
const std::string* words(const std::array<std::string, N>& table, std::size_t* count) {
    *count = N;
    return table.data();
}
}  // namespace

const std::string* WordsOf(FieldWords table, std::size_t* count) {
    switch (table) {
        case FieldWords::Class:
            return words(ClassNames, count);
        case FieldWords::TargetType:
            return words(TargetTypeNames, count);
        case FieldWords::MoveMode:
            return words(MoveModeNames, count);
        case FieldWords::MovementMethod:
            return words(MovementMethodNames, count);
        case FieldWords::Transport:
            return words(TransportNames, count);
        case FieldWords::Country:
            return words(CountryNames, count);
        case FieldWords::None:
            break;
    }
    *count = 0;
    return nullptr;
}

const std::string* FieldWord(int field, std::int64_t code) {
    std::size_t count = 0;
    const std::string* table = WordsOf(fieldInfo(field).words, &count);
    if (!table || code < 0 || static_cast<std::uint64_t>(code) >= count)
        return nullptr;
    return &table[code];
}

std::string CountryMaskText(const Equipment::MaskBytes& mask) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (Byte b : mask) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0xF];
    }
    return text;
}

std::string FieldValueText(const Equipment& e, int field) {
    if (fieldKind(field) == FieldKind::Text)
        return e.text(field);
    // A mask that names no country would read as the first country's word;
    // its own digits tell the user the record holds something else.
    if (field == static_cast<int>(Field::Country) && e.hasUnknownMask())
        return CountryMaskText(*e.MaskAsRead());
    const std::int64_t value = e.number(field);
    const std::string* word = FieldWord(field, value);
    return word ? *word : std::to_string(value);
}

std::string RowText(const Equipment& equipment) {
    std::string row;
    row.reserve(200);
    for (int f = 0; f < kFieldCount; ++f) {
        if (f > 0)
            row += gTab;
        row += FieldValueText(equipment, f);
    }
    return row;
}

}  // namespace kestrel
