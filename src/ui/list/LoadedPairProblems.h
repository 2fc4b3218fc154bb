#pragma once

#include <vector>

#include "check/Problem.h"
#include "model/Equipments.h"
#include "storage/LoadReport.h"

namespace kestrel::ui {

// What the load of the pair at loaded's DataPath found, as the check words
// it: what LoadProblems reads from the files (read again, within the load's
// bounds, as the load left them), what the report alone knows (a save cut
// short that the load completed or rolled back, a file too large to read
// whole). Empty when the load read nothing, which its message has said.
std::vector<Problem> LoadedPairProblems(const Equipments& loaded, const LoadReport& report);

}  // namespace kestrel::ui
