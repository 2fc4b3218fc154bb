#pragma once

#include <vector>

#include "check/Problem.h"
#include "model/Equipments.h"

namespace kestrel::ui {

// What the load of the pair at loaded's DataPath found in the files
// themselves, as the check words it: the files are read again and decoded
// the way the load decodes them. Empty when the name list cannot be read,
// which the load has told the user already.
std::vector<Problem> LoadedPairProblems(const Equipments& loaded);

}  // namespace kestrel::ui
