#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "model/EquipmentFields.h"

namespace kestrel {

using Byte = std::uint8_t;
using Long = std::int32_t;
using Text = std::string;  // bytes of the files' single-byte code page

// Field numbers, 0-based, in Add order.
enum class Field : int {
#define KESTREL_FIELD_ENUM(kind, name, ...) name,
    KESTREL_EQUIPMENT_FIELDS(KESTREL_FIELD_ENUM)
#undef KESTREL_FIELD_ENUM
};

constexpr int kFieldCount = 40;

enum class FieldKind { Byte, Long, Text };

FieldKind fieldKind(int field);
const char* fieldName(int field);

// One unit type. A plain value holder: setters store without check or
// conversion; the file format's limits are enforced only when saving.
class Equipment {
public:
#define KESTREL_FIELD_ACCESSORS(kind, name, ...) \
    const kind& name() const {                   \
        return m##name;                          \
    }                                            \
    void set##name(const kind& vData) {          \
        m##name = vData;                         \
        changed(Field::name);                    \
    }                                            \
    void set##name(kind&& vData) {               \
        m##name = std::move(vData);              \
        changed(Field::name);                    \
    }
    KESTREL_EQUIPMENT_FIELDS(KESTREL_FIELD_ACCESSORS)
#undef KESTREL_FIELD_ACCESSORS

    // Field access by number, for the codecs that walk all 40 in order.
    // number() of a text field and text() of a number field are errors.
    std::int64_t number(int field) const;
    void setNumber(int field, std::int64_t value);  // truncates to the field's type
    const Text& text(int field) const;
    void setText(int field, const Text& value);

    // The four country mask bytes the record was read with, where they are
    // none of the countries' masks (Country then reads 0). They are kept
    // until Country is set, so that a save writes them back as it found them.
    using MaskBytes = std::array<Byte, 4>;
    const std::optional<MaskBytes>& MaskAsRead() const {
        return mMaskAsRead;
    }
    void setUnknownMask(const MaskBytes& mask) {
        mMaskAsRead = mask;
    }
    bool hasUnknownMask() const {
        return mMaskAsRead.has_value();
    }

    // Calls visit(field, value) for each field in field order, with the
    // member itself (Byte, Long or Text), until a call returns true; says
    // whether one did. A walk over many records that reads every field pays
    // no per-field switch, unlike number() and text().
    template <class Visit>
    bool anyField(Visit&& visit) const {
#define KESTREL_VISIT_FIELD(kind, name, ...)           \
    if (visit(static_cast<int>(Field::name), m##name)) \
        return true;
        KESTREL_EQUIPMENT_FIELDS(KESTREL_VISIT_FIELD)
#undef KESTREL_VISIT_FIELD
        return false;
    }

    bool operator==(const Equipment& other) const;
    bool operator!=(const Equipment& other) const {
        return !(*this == other);
    }

private:
    void changed(Field field) {
        if (field == Field::Country)
            mMaskAsRead.reset();
    }

    std::optional<MaskBytes> mMaskAsRead;
#define KESTREL_FIELD_MEMBER(kind, name, ...) kind m##name{};
    KESTREL_EQUIPMENT_FIELDS(KESTREL_FIELD_MEMBER)
#undef KESTREL_FIELD_MEMBER
};

// Records are shared reference objects: Item hands out the collection's own.
using EquipmentRef = std::shared_ptr<Equipment>;

// Sets each of the 40 properties of destination to source's value.
void CopyEquipment(Equipment& destination, const Equipment& source);

}  // namespace kestrel
