#pragma once

// The 40 properties of an equipment record, in the order of Equipments::Add,
// which is also the order of the binary record (with EqName second) and of
// the clipboard lines. X(kind, Name) with kind Byte, Long or Text.
#define KESTREL_EQUIPMENT_FIELDS(X) \
    X(Long, EqCode)                 \
    X(Text, EqName)                 \
    X(Byte, EqClass)                \
    X(Byte, SoftAttack)             \
    X(Byte, HardAttack)             \
    X(Byte, AirAttack)              \
    X(Byte, NavalAttack)            \
    X(Byte, GroundDefense)          \
    X(Byte, AirDefense)             \
    X(Byte, CloseDefense)           \
    X(Byte, TargetType)             \
    X(Byte, Initiative)             \
    X(Byte, GunRange)               \
    X(Byte, SpottingRange)          \
    X(Byte, RangeDefenseModifier)   \
    X(Byte, MoveMode)               \
    X(Byte, MovementMode)           \
    X(Byte, Movement)               \
    X(Byte, Fuel)                   \
    X(Byte, Ammunition)             \
    X(Byte, Unk0)                   \
    X(Long, PrestigeCost)           \
    X(Byte, Unk1)                   \
    X(Byte, Unk2)                   \
    X(Byte, Unk3)                   \
    X(Byte, Unk4)                   \
    X(Byte, MonthAvail)             \
    X(Byte, YearAvail)              \
    X(Byte, YearExpire)             \
    X(Byte, NonOrganicTransport)    \
    X(Long, Country)                \
    X(Long, UnitSpecial)            \
    X(Byte, Unk5)                   \
    X(Byte, Unk6)                   \
    X(Byte, Unk7)                   \
    X(Text, IconName)               \
    X(Long, AttackSound)            \
    X(Long, MoveSound)              \
    X(Long, DeathSound)             \
    X(Text, LastPart)
