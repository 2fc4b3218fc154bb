#pragma once

#include <string>
#include <vector>

#include "model/Equipment.h"
#include "model/RecordName.h"
#include "text/SpelledOut.h"

namespace kestrel {

enum class Severity {
    Error,    // a save refuses the list as it stands
    Warning,  // a save changes a value, the game may trip on it, or the load had to make do
};

enum class ProblemKind {
    // The save refuses these.
    TwoByteOutOfRange,  // EqCode, UnitSpecial or a sound outside 0 to 32767
    CostOutOfRange,     // PrestigeCost that rounds outside 0 to 255 twelves
    CountryOutOfRange,  // Country outside 0 to 25
    LineBreakInName,    // CR or LF in EqName: the name list would gain a line
    TooManyRecords,     // more records than the count can say
    // The save changes these.
    TextCut,      // IconName longer than 6 bytes, LastPart longer than 22
    CostRounded,  // PrestigeCost not a multiple of 12
    // The game may trip on these.
    NoWord,              // a code its table has no word for
    DuplicateCode,       // an EqCode another record has too
    UnknownCountryMask,  // a mask in the file that matches no country
    // What the load found in the files themselves.
    CountDisagrees,    // the binary file's count is not the number of names
    BlankLastLine,     // one name line more than records, and that line is empty
    LfLineEnds,        // the name list ends its lines with LF alone
    CountUnreadable,   // the binary file has no count the loader can take
    RecordUnreadable,  // a two-byte field of 32768 or more stopped the load
    FileShort,         // the binary file ends before its last record
    TrailingBytes,     // bytes after the last record
    SaveRecovered,     // a save cut short that the load completed, rolled back or found
};

// One thing wrong with the open list, as the editor's panel and the
// command-line check show it.
struct Problem {
    Severity severity = Severity::Warning;
    ProblemKind kind = ProblemKind::NoWord;
    Long record = 0;      // position in the list, 1 for the first; 0 for the pair as a whole
    Long eqCode = 0;      // the record's EqCode when record is not 0
    Text eqName;          // the record's name, in the files' code page
    int field = -1;       // a Field number, -1 when no single field is at fault
    std::string message;  // a sentence for a modder, in the files' code page

    bool operator==(const Problem& other) const;
};

// The one line form of a problem, in the files' code page:
//   record 12 (N 298, "Tiger I"): EqClass 30 has no word
//   file: the equipment file counts 4 records, the name list names 5
// The name's control characters are spelled out, so the line stays one line.
std::string FormatProblem(const Problem& problem);

// "error" or "warning".
const char* SeverityName(Severity severity);

// How many of problems have severity.
std::size_t CountOf(const std::vector<Problem>& problems, Severity severity);

}  // namespace kestrel
