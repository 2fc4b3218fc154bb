#include "model/FieldText.h"

#include <array>
#include <cstring>

#include "vocabulary/LookupTables.h"

namespace kestrel {

namespace {

const std::array<const char*, kFieldCount> kHeadings = {
    "N",   "Name", "CL",  "SA", "HA", "AA", "NA", "GD",   "AD", "CD", "TT", "I",       "GR", "SR",
    "RDM", "Mode", "Mth", "M",  "F",  "A",  "U",  "P",    "U",  "U",  "U",  "U",       "MA", "YA",
    "YE",  "Tr",   "Co",  "US", "U",  "U",  "U",  "Icon", "AS", "MS", "DS", "Unknown",
};

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
    fieldKind(field);  // range check
    return kHeadings[static_cast<std::size_t>(field)];
}

const char* FieldLabel(int field) {
    const char* heading = FieldHeading(field);
    return std::strcmp(heading, "U") == 0 ? fieldName(field) : heading;
}

std::vector<int> FieldsNamed(std::string_view word) {
    std::vector<int> fields;
    for (int f = 0; f < kFieldCount; ++f) {
        if (sameIgnoringCase(word, kHeadings[static_cast<std::size_t>(f)]) ||
            sameIgnoringCase(word, fieldName(f)))
            fields.push_back(f);
    }
    return fields;
}

namespace {
template <std::size_t N>
const std::string* wordIn(const std::array<std::string, N>& table, std::int64_t code) {
    return code >= 0 && static_cast<std::uint64_t>(code) < N
               ? &table[static_cast<std::size_t>(code)]
               : nullptr;
}
}  // namespace

const std::string* FieldWord(int field, std::int64_t code) {
    switch (static_cast<Field>(field)) {
        case Field::EqClass:
            return wordIn(ClassNames, code);
        case Field::TargetType:
            return wordIn(TargetTypeNames, code);
        case Field::MoveMode:
            return wordIn(MoveModeNames, code);
        case Field::MovementMode:
            return wordIn(MovementMethodNames, code);
        case Field::NonOrganicTransport:
            return wordIn(TransportNames, code);
        case Field::Country:
            return wordIn(CountryNames, code);
        default:
            return nullptr;
    }
}

std::string FieldValueText(const Equipment& e, int field) {
    if (fieldKind(field) == FieldKind::Text)
        return e.text(field);
    const std::int64_t value = e.number(field);
    const std::string* word = FieldWord(field, value);
    return word ? *word : std::to_string(value);
}

}  // namespace kestrel
