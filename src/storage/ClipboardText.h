#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/Equipment.h"

namespace kestrel {

// The first line of every clipboard text of equipment.
extern const char kClipboardHeader[];  // "IFII Equipment Editor - by Varnek"

// The clipboard text of records, in order: header, "Equipment Info for", the
// count, then 40 lines per record, every line ended by CR LF. Bytes of the
// code page; zero bytes of IconName and LastPart are left out.
std::string EncodeClipboardText(const std::vector<EquipmentRef>& records);

// The first field of e whose Copy line would split in two (a CR and an LF
// that meet once zero bytes are left out), or -1 when every line holds. Such a
// record's text is refused when pasted.
int FieldSplitByCopy(const Equipment& e);

// A decoded text: either every record it holds, or why it was refused.
struct ClipboardDecodeResult {
    std::vector<Equipment> records;
    std::string error;  // empty when the text was accepted
    int line = 0;       // 1-based line the error concerns, 0 when not one line
    // Numbers given with a fraction and stored rounded: (record index from
    // 0, field). Record r's field f is on line 4 + 40 r + f.
    std::vector<std::pair<std::size_t, int>> rounded;
    bool ok() const { return error.empty(); }
};

// Checks the whole text before anything is taken from it: a refused text
// yields no records at all.
ClipboardDecodeResult DecodeClipboardText(std::string_view text);

}  // namespace kestrel
