#pragma once

#include <string_view>
#include <vector>

#include "check/Problem.h"
#include "model/Equipments.h"

namespace kestrel {

// What a load of a pair met in the files themselves, as problems: a count
// that disagrees with the names or cannot be read, a record the load stopped
// at, a file shorter than its count, bytes after the last record, country
// masks that match no country. loaded is the fresh collection the load
// filled from these bytes and failedAt the counter DecodeEquipmentPair
// returned. This is the one place where the load's findings become
// problems; what the load cannot say as a counter is read from the bytes,
// and an interrupted save the load completed or rolled back joins here once
// the load reports it.
std::vector<Problem> LoadProblems(std::string_view nameBytes, std::string_view binaryBytes,
                                  const Equipments& loaded, Long failedAt);

}  // namespace kestrel
