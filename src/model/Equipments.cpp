#include "model/Equipments.h"

#include <stdexcept>

namespace kestrel {

EquipmentRef Equipments::Add(const Equipment& values, const std::string& sKey) {
    if (!sKey.empty() && positionOf(sKey) != mItems.size()) {
        throw std::invalid_argument("duplicate key in equipment collection");
    }
    auto record = std::make_shared<Equipment>(values);
    // Until a record has a key there is no table of keys to keep.
    if (!sKey.empty() || !mKeys.empty()) {
        mKeys.resize(mItems.size());
        mKeys.push_back(sKey);
    }
    mItems.push_back(record);
    return record;
}

EquipmentRef Equipments::Add(Equipment&& values, const std::string& sKey) {
    if (!sKey.empty() && positionOf(sKey) != mItems.size()) {
        throw std::invalid_argument("duplicate key in equipment collection");
    }
    auto record = std::make_shared<Equipment>(std::move(values));
    // As above: the table of keys, once there is one, stays as long as the
    // list, and a removal erases the same positions from both.
    if (!sKey.empty() || !mKeys.empty()) {
        mKeys.resize(mItems.size());
        mKeys.push_back(sKey);
    }
    mItems.push_back(record);
    return record;
}

EquipmentRef Equipments::Add(Long EqCode, const Text& EqName, Byte EqClass, Byte SoftAttack,
                             Byte HardAttack, Byte AirAttack, Byte NavalAttack, Byte GroundDefense,
                             Byte AirDefense, Byte CloseDefense, Byte TargetType, Byte Initiative,
                             Byte GunRange, Byte SpottingRange, Byte RangeDefenseModifier,
                             Byte MoveMode, Byte MovementMode, Byte Movement, Byte Fuel,
                             Byte Ammunition, Byte Unk0, Long PrestigeCost, Byte Unk1, Byte Unk2,
                             Byte Unk3, Byte Unk4, Byte MonthAvail, Byte YearAvail, Byte YearExpire,
                             Byte NonOrganicTransport, Long Country, Long UnitSpecial, Byte Unk5,
                             Byte Unk6, Byte Unk7, const Text& IconName, Long AttackSound,
                             Long MoveSound, Long DeathSound, const Text& LastPart,
                             const std::string& sKey) {
    Equipment e;
#define KESTREL_SET_FROM_ARGUMENT(kind, name, ...) e.set##name(name);
    KESTREL_EQUIPMENT_FIELDS(KESTREL_SET_FROM_ARGUMENT)
#undef KESTREL_SET_FROM_ARGUMENT
    return Add(e, sKey);
}

std::size_t Equipments::positionOf(const std::string& key) const {
    for (std::size_t i = 0; i < mKeys.size(); ++i) {
        if (mKeys[i] == key)
            return i;
    }
    return mItems.size();
}

EquipmentRef Equipments::Item(std::int32_t vntIndexKey) const {
    if (vntIndexKey < 1 || vntIndexKey > Count()) {
        throw std::out_of_range("equipment position out of range");
    }
    return mItems[static_cast<std::size_t>(vntIndexKey - 1)];
}

EquipmentRef Equipments::Item(const std::string& vntIndexKey) const {
    std::size_t p = vntIndexKey.empty() ? mItems.size() : positionOf(vntIndexKey);
    if (p == mItems.size())
        throw std::out_of_range("no equipment with that key");
    return mItems[p];
}

void Equipments::Remove(std::int32_t vntIndexKey) {
    if (vntIndexKey < 1 || vntIndexKey > Count()) {
        throw std::out_of_range("equipment position out of range");
    }
    auto at = static_cast<std::size_t>(vntIndexKey - 1);
    mItems.erase(mItems.begin() + static_cast<std::ptrdiff_t>(at));
    if (!mKeys.empty())
        mKeys.erase(mKeys.begin() + static_cast<std::ptrdiff_t>(at));
}

void Equipments::RemoveRange(std::int32_t first, std::int32_t count) {
    if (count <= 0)
        return;
    if (first < 1 || first > Count() || count > Count() - first + 1) {
        throw std::out_of_range("equipment range out of range");
    }
    auto from = static_cast<std::ptrdiff_t>(first - 1);
    mItems.erase(mItems.begin() + from, mItems.begin() + from + count);
    if (!mKeys.empty())
        mKeys.erase(mKeys.begin() + from, mKeys.begin() + from + count);
}

void Equipments::Remove(const std::string& vntIndexKey) {
    std::size_t p = vntIndexKey.empty() ? mItems.size() : positionOf(vntIndexKey);
    if (p == mItems.size())
        throw std::out_of_range("no equipment with that key");
    Remove(static_cast<std::int32_t>(p + 1));
}

}  // namespace kestrel
