#pragma once

// The 40 properties of an equipment record, in the order of Equipments::Add,
// which is also the order of the binary record (with EqName second), of the
// clipboard lines and of the list's columns. This is the one place a
// property is listed; everything that walks the fields expands this table.
//
// X(kind, Name, heading, width, words, reading, control, fresh)
//   kind     Byte, Long or Text
//   heading  the list's column heading; width its minimum width in twips
//   words    the lookup table whose word stands for the code (FieldWords)
//   reading  how the properties window reads its control (FieldReading)
//   control  the properties window's control for it, "" when it has none
//   fresh    the value a new record starts with (numbers only)
#define KESTREL_EQUIPMENT_FIELDS(X)                                                  \
    X(Long, EqCode, "N", 400, None, Whole, "txtEqCode", 0)                           \
    X(Text, EqName, "Name", 1400, None, Text, "txtName", 0)                          \
    X(Byte, EqClass, "CL", 1000, Class, Selected, "cmbClass", 1)                     \
    X(Byte, SoftAttack, "SA", 350, None, LeadingByte, "txtSA", 0)                    \
    X(Byte, HardAttack, "HA", 350, None, LeadingByte, "txtHA", 0)                    \
    X(Byte, AirAttack, "AA", 350, None, LeadingByte, "txtAA", 0)                     \
    X(Byte, NavalAttack, "NA", 350, None, LeadingByte, "txtNA", 0)                   \
    X(Byte, GroundDefense, "GD", 350, None, LeadingByte, "txtGD", 0)                 \
    X(Byte, AirDefense, "AD", 350, None, LeadingByte, "txtAD", 0)                    \
    X(Byte, CloseDefense, "CD", 350, None, LeadingByte, "txtCD", 0)                  \
    X(Byte, TargetType, "TT", 1000, TargetType, Selected, "cmbTT", 1)                \
    X(Byte, Initiative, "I", 350, None, LeadingByte, "txtI", 0)                      \
    X(Byte, GunRange, "GR", 350, None, LeadingByte, "txtGR", 0)                      \
    X(Byte, SpottingRange, "SR", 350, None, LeadingByte, "txtSR", 0)                 \
    X(Byte, RangeDefenseModifier, "RDM", 350, None, LeadingByte, "txtRDM", 0)        \
    X(Byte, MoveMode, "Mode", 1000, MoveMode, Selected, "cmbMoveMode", 1)            \
    X(Byte, MovementMode, "Mth", 1000, MovementMethod, Selected, "cmbMoveMethod", 1) \
    X(Byte, Movement, "M", 350, None, LeadingByte, "txtM", 0)                        \
    X(Byte, Fuel, "F", 350, None, LeadingByte, "txtF", 0)                            \
    X(Byte, Ammunition, "A", 350, None, LeadingByte, "txtA", 0)                      \
    X(Byte, Unk0, "U", 350, None, LeadingByte, "txtUnk0", 0)                         \
    X(Long, PrestigeCost, "P", 500, None, LeadingLong, "txtPC", 0)                   \
    X(Byte, Unk1, "U", 350, None, LeadingByte, "txtUnk1", 0)                         \
    X(Byte, Unk2, "U", 350, None, LeadingByte, "txtUnk2", 0)                         \
    X(Byte, Unk3, "U", 350, None, LeadingByte, "txtUnk3", 0)                         \
    X(Byte, Unk4, "U", 350, None, LeadingByte, "txtUnk4", 0)                         \
    X(Byte, MonthAvail, "MA", 350, None, LeadingByte, "txtMA", 1)                    \
    X(Byte, YearAvail, "YA", 350, None, LeadingByte, "txtYA", 39)                    \
    X(Byte, YearExpire, "YE", 350, None, LeadingByte, "txtYE", 50)                   \
    X(Byte, NonOrganicTransport, "Tr", 2000, Transport, Selected, "cmbNOT", 1)       \
    X(Long, Country, "Co", 1000, Country, Selected, "cmbCountry", 1)                 \
    X(Long, UnitSpecial, "US", 600, None, LeadingLong, "txtUS", 1)                   \
    X(Byte, Unk5, "U", 350, None, LeadingByte, "txtUnk5", 0)                         \
    X(Byte, Unk6, "U", 350, None, LeadingByte, "txtUnk6", 0)                         \
    X(Byte, Unk7, "U", 350, None, LeadingByte, "txtUnk7", 0)                         \
    X(Text, IconName, "Icon", 1000, None, Text, "txtIcon", 0)                        \
    X(Long, AttackSound, "AS", 1000, None, Whole, "txtAttackSound", 1)               \
    X(Long, MoveSound, "MS", 1000, None, Whole, "txtMoveSound", 1)                   \
    X(Long, DeathSound, "DS", 1000, None, Whole, "txtDeathSound", 1)                 \
    X(Text, LastPart, "Unknown", 1000, None, None, "", 0)
