#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "model/EquipmentMerge.h"

namespace kestrel::cli {

extern const char kMergeHelp[];
extern const char kApplyHelp[];

// kestrel-eqp merge BASE MOD... -o OUT and kestrel-eqp apply CHANGES PAIR.
// A wrong command line throws std::invalid_argument with the reason.
// Bytes after the last record as conflicts show them: hexadecimal digits, or
// "none".
std::string BytesOrNone(const std::string& bytes);
int RunMerge(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// One conflict as one line; labels[0] names the base, labels[k + 1] mod k.
std::string MergeConflictLine(const EquipmentMerge& merge, const MergeConflict& conflict,
                              const std::vector<std::string>& labels);

// Writes the change file of a -> b to out; the exit status diff gives.
int WriteChanges(const Equipments& a, const Equipments& b, MatchBy by, std::ostream& out);
int RunApply(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kestrel::cli
