#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kestrel::cli {

extern const char kDiffHelp[];

// kestrel-eqp diff A B [options]; throws UsageError for a wrong command line.
int RunDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kestrel::cli
