#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "check/Problem.h"

namespace kestrel::cli {

struct CheckOptions {
    std::string path;
    bool csv = false;                  // --format csv: a table instead of lines
    bool errorsOnly = false;           // only what a save refuses
    std::optional<std::string> where;  // only the records these filter terms keep
};

// Reads check's arguments; a wrong command line throws std::invalid_argument
// with the reason.
CheckOptions ParseCheckOptions(const std::vector<std::string>& args);

// Prints the problems options asks for, as lines or a CSV table, in UTF-8,
// with their count on err. Returns the exit status: problems, or none.
int PrintProblems(const std::vector<Problem>& problems, const CheckOptions& options,
                  std::ostream& out, std::ostream& err);

}  // namespace kestrel::cli
