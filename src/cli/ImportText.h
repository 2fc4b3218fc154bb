#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "storage/ClipboardText.h"

namespace kestrel::cli {

// The largest text import reads. A pair of 32,767 records exports as about
// 5 MB of clip text with names of 20 bytes, 11 MB with names of 200, so
// only a text no real pair gives is refused, and a refused text never costs
// a large part of the machine.
constexpr std::size_t kMaxImportBytes = std::size_t(32) << 20;
extern const char kTooLargeText[];  // "the text is larger than 32 MB, ..."

// Why a text is refused, and its line (0 when no one line is at fault).
struct TextRefusal {
    std::string why;
    int line = 0;
};

// Looks at a clip text while it arrives: the header, then the count line,
// which must be a whole number from 0 to the records a pair can hold. Each
// call is given the text so far, longer than at the call before, and says
// why it cannot be a pair's text as soon as that shows.
class ClipOpening {
public:
    std::optional<TextRefusal> look(std::string_view soFar, bool complete);

private:
    std::size_t mScanned = 0;    // where the search for the next line end goes on
    std::size_t mLineStart = 0;  // of the line after the last line end found
    int mLineEnds = 0;
    bool mSettled = false;  // the count line was found good
};

// FILE ("-": standard input) read for import, no further than
// kMaxImportBytes; the opening of a clip text is checked as it arrives, so
// that a text no pair gives is refused unread.
struct ImportInput {
    std::string text;
    std::optional<TextRefusal> refused;
    bool unreadable = false;  // FILE cannot be read at all
};
ImportInput ReadImportInput(const std::string& file, bool clip);

// A clip text read for import: as Paste reads it, but every number whole
// (a word, an empty line or "12 tanks" is refused with its line and field,
// as the same cell of a CSV table is), a count the pair can hold, and names
// the name list can hold. Paste's own reading is left as it is.
ClipboardDecodeResult DecodeClipForImport(std::string_view text);

}  // namespace kestrel::cli
