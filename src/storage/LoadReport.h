#pragma once

#include <string>
#include <vector>

namespace kestrel {

// One thing a load found that the user must know about. The numbers say
// what the message says, for a problems list that words them its own way.
struct LoadFinding {
    enum class Kind {
        ReadFailure,      // first: the counter of the read message
        CountMismatch,    // first: names, second: records the count claims
        BlankLastLine,    // as CountMismatch, where the one line too many is empty
        LfLineEnds,       // the name list ends its lines with LF alone
        ShortFile,        // first: whole records in the file, second: the count
        TrailingBytes,    // first: bytes after the last record
        TooLarge,         // first: bytes not read
        UnknownMasks,     // first: how many records, second: the first of them
        NotReadable,      // a file that is no regular file, too large, or missing
        SaveCompleted,    // an interrupted save was completed
        SaveRolledBack,   // an interrupted save was undone
        SaveInProgress,   // a save holds the pair: nothing was read
        SaveInterrupted,  // an interrupted save was found and left alone
    };
    Kind kind;
    long first = 0;
    long second = 0;
    std::string message;
};

struct LoadReport {
    std::vector<LoadFinding> findings;
    // False after a load that failed or whose names and records disagree:
    // saving what was read over the same pair would lose data.
    bool complete = true;
    // The counter of the read failure message, 0 when there was none.
    long failedAt = 0;

    bool has(LoadFinding::Kind kind) const {
        for (const LoadFinding& f : findings) {
            if (f.kind == kind)
                return true;
        }
        return false;
    }
    // The message the user sees: the read failure text with its number
    // first where there is one, then what was found in plain words.
    std::string message() const;
};

}  // namespace kestrel
