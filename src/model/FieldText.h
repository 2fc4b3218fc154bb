#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/Equipment.h"
#include "model/FieldTable.h"

namespace kestrel {

// The list grid's column heading of a field ("SA", "Co"); the eight unknown
// bytes all read "U" there.
const char* FieldHeading(int field);

// A heading that names exactly one field, else the property name, so that a
// line listing changed fields never leaves the reader guessing which "U".
const char* FieldLabel(int field);

// The fields a user's word names: a grid heading or a property name, in any
// letter case. "U" gives all eight unknown bytes; an unknown word none.
std::vector<int> FieldsNamed(std::string_view word);

// The words of a lookup table in code order, and how many there are; null
// and 0 for FieldWords::None.
const std::string* WordsOf(FieldWords words, std::size_t* count);

// The word a coded field's value stands for, or nullptr when its table has
// none (or the field is not coded).
const std::string* FieldWord(int field, std::int64_t code);

// A country mask as the country table writes masks: eight hexadecimal
// digits, the file's first byte first ("60000000").
std::string CountryMaskText(const Equipment::MaskBytes& mask);

// A value as the grid shows it: numbers in decimal, coded fields as their
// word (or the code when it has none), a country mask that names no country
// as its digits, texts as their bytes.
std::string FieldValueText(const Equipment& equipment, int field);

// The 40 values of a record as the grid shows them, joined by gTab.
std::string RowText(const Equipment& equipment);

}  // namespace kestrel
