#include "vocabulary/FieldText.h"

#include "vocabulary/LookupTables.h"

namespace kestrel {

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

std::string FieldText(const Equipment& equipment, int field) {
    const FieldSpec& spec = fieldSpec(field);
    if (spec.kind == FieldKind::Text)
        return equipment.text(field);
    const std::int64_t code = equipment.number(field);
    std::size_t count = 0;
    const std::string* table = WordsOf(spec.words, &count);
    if (table && code >= 0 && static_cast<std::uint64_t>(code) < count)
        return table[code];
    return std::to_string(code);
}

std::string RowText(const Equipment& equipment) {
    std::string row;
    row.reserve(200);
    for (int f = 0; f < kFieldCount; ++f) {
        if (f > 0)
            row += gTab;
        row += FieldText(equipment, f);
    }
    return row;
}

}  // namespace kestrel
