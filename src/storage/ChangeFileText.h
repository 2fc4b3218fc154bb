#pragma once

#include <string>
#include <string_view>

#include "model/EquipmentChanges.h"

namespace kestrel {

// The first line of a change file, followed by a blank and the version.
inline const char* const kChangeFileHeader = "Kestrel equipment changes";
constexpr int kChangeFileVersion = 1;

// A change file: UTF-8 text, one block per changed, removed or added record,
// each field on its own line with its old and new value as the grid shows
// it (coded fields as words, names quoted with unusual bytes escaped).
// Written for people to read and edit; the README describes it.
std::string EncodeChanges(const EquipmentChanges& changes);

struct ChangesDecodeResult {
    EquipmentChanges changes;
    std::string error;  // empty when the text was accepted
    int line = 0;       // 1-based line of the error, 0 for the text as a whole
    bool ok() const { return error.empty(); }
};

// Reads what EncodeChanges writes, CR LF line ends and comment lines (#)
// included. The whole text is checked; the first fault is reported.
ChangesDecodeResult DecodeChanges(std::string_view text);

// A name as a change file's lines quote it.
std::string QuotedText(const Text& bytes);
// A field's value as a change file's lines write it.
std::string ChangeValueText(const Equipment& equipment, int field);

}  // namespace kestrel
