#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Equipment.h"

namespace kestrel {

// The ordered, 1-based list of every record of one equipment file, with the
// path of that file. Item hands out the collection's own reference, so
// callers change records in place.
class Equipments {
public:
    using const_iterator = std::vector<EquipmentRef>::const_iterator;

    const std::string& DataPath() const { return mDataPath; }
    void setDataPath(const std::string& vData) { mDataPath = vData; }

    // Bytes found after the last record of the binary file at path. A save
    // of that same file writes them back after the records.
    const std::string& TrailingBytes() const { return mTrailingBytes; }
    const std::string& TrailingBytesPath() const { return mTrailingPath; }
    void setTrailingBytes(const std::string& path, const std::string& bytes) {
        mTrailingPath = path;
        mTrailingBytes = bytes;
    }

    // Appends a record holding values. A non-empty sKey must be unique:
    // a duplicate throws std::invalid_argument and adds nothing.
    EquipmentRef Add(const Equipment& values, const std::string& sKey = std::string());
    // The same, taking values over rather than copying them.
    EquipmentRef Add(Equipment&& values, const std::string& sKey = std::string());
    // Appends every record, unkeyed, taking them over. They share one
    // allocation, which lives while any of them is referenced: a load of
    // thousands of records pays for one allocation instead of one each.
    void AddAll(std::vector<Equipment>&& records);

    // The 41-argument form, in the property order of the record.
    EquipmentRef Add(Long EqCode, const Text& EqName, Byte EqClass, Byte SoftAttack,
                     Byte HardAttack, Byte AirAttack, Byte NavalAttack, Byte GroundDefense,
                     Byte AirDefense, Byte CloseDefense, Byte TargetType, Byte Initiative,
                     Byte GunRange, Byte SpottingRange, Byte RangeDefenseModifier, Byte MoveMode,
                     Byte MovementMode, Byte Movement, Byte Fuel, Byte Ammunition, Byte Unk0,
                     Long PrestigeCost, Byte Unk1, Byte Unk2, Byte Unk3, Byte Unk4, Byte MonthAvail,
                     Byte YearAvail, Byte YearExpire, Byte NonOrganicTransport, Long Country,
                     Long UnitSpecial, Byte Unk5, Byte Unk6, Byte Unk7, const Text& IconName,
                     Long AttackSound, Long MoveSound, Long DeathSound, const Text& LastPart,
                     const std::string& sKey);

    // Position 1 to Count, or a key. Anything else throws std::out_of_range
    // and leaves the collection as it was.
    EquipmentRef Item(std::int32_t vntIndexKey) const;
    EquipmentRef Item(const std::string& vntIndexKey) const;

    std::int32_t Count() const { return static_cast<std::int32_t>(mItems.size()); }

    // Takes the record out; those behind it move up one position.
    void Remove(std::int32_t vntIndexKey);
    void Remove(const std::string& vntIndexKey);

    // Removes count records from position first on in one step (a cut of a
    // large block would otherwise shift the tail once per record).
    void RemoveRange(std::int32_t first, std::int32_t count);

    // Enumeration in position order (NewEnum).
    const_iterator begin() const { return mItems.begin(); }
    const_iterator end() const { return mItems.end(); }

    // Room for n records, so that a large load appends without regrowing.
    void reserve(std::size_t n) { mItems.reserve(n); }

private:
    std::size_t positionOf(const std::string& key) const;

    std::vector<EquipmentRef> mItems;
    // Parallel to mItems (empty strings for unkeyed records) once any record
    // has a key; empty until then, as for every list read from a file.
    std::vector<std::string> mKeys;
    std::string mDataPath;
    std::string mTrailingPath;
    std::string mTrailingBytes;
};

}  // namespace kestrel
