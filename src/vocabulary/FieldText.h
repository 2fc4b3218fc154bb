#pragma once

#include <cstddef>
#include <string>

#include "model/FieldTable.h"

namespace kestrel {

// The words of a lookup table in code order, and how many there are; null
// and 0 for FieldWords::None.
const std::string* WordsOf(FieldWords words, std::size_t* count);

// What the list shows for one field of a record: the word for a code the
// field's table has, else the number; texts as stored.
std::string FieldText(const Equipment& equipment, int field);

// The 40 cell texts of a record joined by gTab.
std::string RowText(const Equipment& equipment);

}  // namespace kestrel
