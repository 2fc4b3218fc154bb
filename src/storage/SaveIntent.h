#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/PairPaths.h"

namespace kestrel {

// One file of a save as the intent file names it: the new file written
// under temp, to be renamed to target, whose previous contents were copied
// to nextBackup, which becomes backup once both files' copies are made (or
// nowhere, when target did not exist). size and hash are the new file's;
// oldSize and oldHash the previous file's, so that an undo puts back only
// what the save itself replaced. A note of the first version names no
// nextBackup and no old contents (knowsOld is false).
struct IntentEntry {
    std::string temp;
    std::string target;
    std::string backup;
    bool hadTarget = false;
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    std::string nextBackup;
    bool knowsOld = false;
    std::uint64_t oldSize = 0;
    std::uint64_t oldHash = 0;
};

// A checksum of a file's bytes that a torn or stale file will not match.
std::uint64_t ContentHash(std::string_view bytes);

std::string EncodeIntent(const std::vector<IntentEntry>& entries);
// nullopt for a text that is not a whole intent file.
std::optional<std::vector<IntentEntry>> DecodeIntent(std::string_view text);

// What a load found of a save that did not finish.
struct Recovery {
    enum class Outcome { None, Completed, RolledBack, InProgress, Found, Failed };
    Outcome outcome = Outcome::None;
    std::string message;
};

// Where the pair has an intent file: with repair, finishes the save when
// both new files are there whole, else puts the previous files back from
// copies that match what the note says they held (and changes nothing where
// none does); either way the backups end as one pair, and only under the
// pair's lock, waiting up to a second for it unless the caller holds it.
// Without repair, only says what it found.
enum class PairLock { Take, Held };
Recovery RecoverInterruptedSave(const EquipmentFilePaths& paths, bool repair,
                                PairLock lock = PairLock::Take);

}  // namespace kestrel
