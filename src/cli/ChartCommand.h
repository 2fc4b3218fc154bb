#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kestrel::cli {

extern const char kChartHelp[];

// kestrel-eqp chart PATH --x FIELD --y FIELD [--colour FIELD] [--where TERMS]
// -o FILE. A wrong command line throws UsageError.
int RunChart(const std::vector<std::string>& args, std::ostream& err);

}  // namespace kestrel::cli
