#include "model/Equipment.h"

#include <stdexcept>

namespace kestrel {

namespace {

struct FieldInfo {
    FieldKind kind;
    const char* name;
};

constexpr FieldInfo kFields[kFieldCount] = {
#define KESTREL_FIELD_INFO(kind, name, ...) {FieldKind::kind, #name},
    KESTREL_EQUIPMENT_FIELDS(KESTREL_FIELD_INFO)
#undef KESTREL_FIELD_INFO
};

void checkField(int field) {
    if (field < 0 || field >= kFieldCount) {
        throw std::out_of_range("no such equipment field");
    }
}

}  // namespace

FieldKind fieldKind(int field) {
    checkField(field);
    return kFields[field].kind;
}

const char* fieldName(int field) {
    checkField(field);
    return kFields[field].name;
}

std::int64_t Equipment::number(int field) const {
    switch (static_cast<Field>(field)) {
#define KESTREL_GET_NUMBER_Byte(name) \
    case Field::name:                 \
        return m##name;
#define KESTREL_GET_NUMBER_Long(name) \
    case Field::name:                 \
        return m##name;
#define KESTREL_GET_NUMBER_Text(name)
#define KESTREL_GET_NUMBER(kind, name, ...) KESTREL_GET_NUMBER_##kind(name)
        KESTREL_EQUIPMENT_FIELDS(KESTREL_GET_NUMBER)
        default:
            break;
    }
    throw std::invalid_argument("not a numeric equipment field");
}

void Equipment::setNumber(int field, std::int64_t value) {
    changed(static_cast<Field>(field));
    switch (static_cast<Field>(field)) {
#define KESTREL_SET_NUMBER_Byte(name)       \
    case Field::name:                       \
        m##name = static_cast<Byte>(value); \
        return;
#define KESTREL_SET_NUMBER_Long(name)       \
    case Field::name:                       \
        m##name = static_cast<Long>(value); \
        return;
#define KESTREL_SET_NUMBER_Text(name)
#define KESTREL_SET_NUMBER(kind, name, ...) KESTREL_SET_NUMBER_##kind(name)
        KESTREL_EQUIPMENT_FIELDS(KESTREL_SET_NUMBER)
        default:
            break;
    }
    throw std::invalid_argument("not a numeric equipment field");
}

const Text& Equipment::text(int field) const {
    switch (static_cast<Field>(field)) {
        case Field::EqName:
            return mEqName;
        case Field::IconName:
            return mIconName;
        case Field::LastPart:
            return mLastPart;
        default:
            throw std::invalid_argument("not a text equipment field");
    }
}

void Equipment::setText(int field, const Text& value) {
    switch (static_cast<Field>(field)) {
        case Field::EqName:
            mEqName = value;
            return;
        case Field::IconName:
            mIconName = value;
            return;
        case Field::LastPart:
            mLastPart = value;
            return;
        default:
            throw std::invalid_argument("not a text equipment field");
    }
}

bool Equipment::operator==(const Equipment& other) const {
#define KESTREL_FIELD_EQUAL(kind, name, ...) \
    if (m##name != other.m##name)            \
        return false;
    KESTREL_EQUIPMENT_FIELDS(KESTREL_FIELD_EQUAL)
#undef KESTREL_FIELD_EQUAL
    return mMaskAsRead == other.mMaskAsRead;
}

void CopyEquipment(Equipment& destination, const Equipment& source) {
    destination = source;
}

}  // namespace kestrel
