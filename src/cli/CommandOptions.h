#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kestrel::cli {

// A command line that cannot be run; Run prints what with the command's help.
struct UsageError {
    std::string what;
};

struct Options {
    std::vector<std::string> positional;
    std::string format = "clip";
    bool formatGiven = false;  // else import reads a FILE ending in .csv as CSV
    std::optional<std::string> output;
    std::optional<std::string> where;  // export: the filter's terms
    bool bom = true;
    bool lenient = false;
    bool allowEmpty = false;
    bool force = false;  // export -o over a pair's file
};

// The options of export (allowOutput) or import.
Options parseOptions(const std::vector<std::string>& args, bool allowOutput);

int runImport(const std::vector<std::string>& args, std::ostream& err);

}  // namespace kestrel::cli
