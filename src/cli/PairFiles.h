#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "storage/EquipmentFiles.h"
#include "storage/PairAsItStands.h"

namespace kestrel::cli {

// The binary file a PATH argument names: in a folder, its EQUIP97.EQP under
// any letter case (the exact spelling first); else PATH itself when it ends
// in .EQP and its folder exists. nullopt, with the reason in err, otherwise.
std::optional<std::string> dataPathFor(const std::string& path, std::ostream& err);

// The bytes of a pair as the editor's load sees them: only regular files are
// read, and no more than a pair can hold. With Repair an interrupted save of
// the pair is finished or undone first, and what was done is told on err;
// with ReportOnly (a pair only compared with) nothing on disk is changed.
struct PairBytes {
    std::string dataPath;
    std::string names;
    std::string binary;
    // Bytes of the binary file beyond the largest pair, not read.
    std::uint64_t unread = 0;
    // What reading did to a save left interrupted in this pair (completed
    // or undone), empty when there was none. Each command says it its own
    // way: check lists it as a problem, the others on err.
    std::string recovered;
    // A backup pair (X.E with X.T), read as it stands: nothing of it is
    // repaired, and no command writes it.
    bool backup = false;
};
// PATH may also name the backup X.E a save left, which pairs with X.T.
// Says on err why the pair cannot be read.
std::optional<PairBytes> readPair(const std::string& path, std::ostream& err,
                                  InterruptedSave interrupted);

// The record count the binary file claims, when it has the two bytes.
std::optional<long> headerCount(const std::string& binary);

using kestrel::LeftoversOfUnfinishedSave;

// Why export should not write its text to target, or empty: target is a
// file of pair (under any name or link), an existing equipment file, or the
// name list of an equipment file beside it.
std::string refusedTarget(const std::string& target, const PairBytes& pair);

// Writes bytes to file through a new temporary file beside it and a rename,
// so that a failure leaves file as it was.
bool writeOutput(const std::string& file, const std::string& bytes);

}  // namespace kestrel::cli
