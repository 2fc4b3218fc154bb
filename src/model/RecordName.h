#pragma once

#include <string>

#include "model/Equipment.h"

namespace kestrel {

// A record as the problems, the comparison and the chart name it, in the
// files' code page:
//   record 12 (N 298, "Tiger I")
std::string RecordName(Long record, Long eqCode, const Text& eqName);

}  // namespace kestrel
