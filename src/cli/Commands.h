#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kestrel::cli {

constexpr int kExitOk = 0;
constexpr int kExitProblems = 1;    // check found problems; diff found differences;
                                    // import refused or failed
constexpr int kExitUnreadable = 2;  // a path cannot be read, or the command line is wrong

// Runs one command line (without the program name).
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kestrel::cli
