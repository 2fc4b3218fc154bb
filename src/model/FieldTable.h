#pragma once

#include <cstdint>

#include "model/Equipment.h"

namespace kestrel {

// The lookup table whose word the list shows for a field's code.
enum class FieldWords { None, Class, TargetType, MoveMode, MovementMethod, Transport, Country };

// How the properties window reads a field back from its control.
enum class FieldReading { None, Whole, LeadingByte, LeadingLong, Selected, Text };

// One row of the field table (model/EquipmentFields.h).
struct FieldInfo {
    FieldKind kind;
    const char* name;
    const char* heading;
    int widthTwips;
    FieldWords words;
    FieldReading reading;
    const char* control;  // "" when the properties window has none
    std::int64_t fresh;
};

// Field 0 to kFieldCount - 1; anything else throws std::out_of_range.
const FieldInfo& fieldInfo(int field);

// A record holding every field's starting value (codes 0, texts empty).
Equipment FreshEquipment();

}  // namespace kestrel
