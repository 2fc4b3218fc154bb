#include "model/FieldTable.h"

#include <stdexcept>

namespace kestrel {

namespace {

constexpr FieldInfo kSpecs[kFieldCount] = {
#define KESTREL_FIELD_SPEC(kind, name, heading, width, words, reading, control, fresh) \
    {FieldKind::kind,       #name,   heading, width, FieldWords::words,                \
     FieldReading::reading, control, fresh},
    KESTREL_EQUIPMENT_FIELDS(KESTREL_FIELD_SPEC)
#undef KESTREL_FIELD_SPEC
};

}  // namespace

const FieldInfo& fieldInfo(int field) {
    if (field < 0 || field >= kFieldCount)
        throw std::out_of_range("no such equipment field");
    return kSpecs[field];
}

Equipment FreshEquipment() {
    Equipment e;
    for (int f = 0; f < kFieldCount; ++f) {
        if (kSpecs[f].kind != FieldKind::Text)
            e.setNumber(f, kSpecs[f].fresh);
    }
    return e;
}

}  // namespace kestrel
