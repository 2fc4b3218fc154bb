#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "model/EquipmentComparison.h"

namespace kestrel::cli {

extern const char kDiffHelp[];

// kestrel-eqp diff A B [options]. A wrong command line throws
// std::invalid_argument with the reason.
// A --fields LIST: grid headings or property names, comma-separated.
FieldMask ParseFieldList(const std::string& list);
// The value of --by: code or position.
MatchBy ParseMatchBy(const std::string& value);

int RunDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kestrel::cli
