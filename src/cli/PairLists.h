#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "model/EquipmentComparison.h"
#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"

namespace kestrel::cli {

// Loads the pair at path into list, refusing one that does not load rather
// than working on part of it; says why on err, naming it by what.
bool LoadList(const std::string& path, const std::string& what, Equipments& list, std::ostream& err,
              InterruptedSave interrupted = InterruptedSave::ReportOnly);

// What lines call a pair: its folder's name for a folder or an EQUIP97.EQP,
// else the file's name without .EQP.
std::string PairLabel(const std::string& path);
// Labels for several pairs; where two would read alike, the paths as given.
std::vector<std::string> PairLabels(const std::vector<std::string>& paths);

// Whether two paths name one file (through links and spellings of a path).
bool SameFile(const std::string& a, const std::string& b);

// record 12 (N 298, "Tiger I")
std::string RecordName(std::int32_t position, const Equipment& record);

// Builds the pair to write at out and saves it with the editor's safe save,
// the bytes after the last record with it. Says why on err when the records
// cannot be written; returns whether the pair was saved.
bool SaveList(const std::string& out, std::vector<Equipment>&& records,
              const std::string& trailingBytes, std::ostream& err);

}  // namespace kestrel::cli
