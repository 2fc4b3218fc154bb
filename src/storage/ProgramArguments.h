#pragma once

#include <string>
#include <vector>

namespace kestrel {

// The program's arguments, without its name, as UTF-8 whatever the system
// hands over (Windows passes its ANSI code page through argv). Also sets
// standard input and output to carry bytes unchanged, with no line-end
// translation.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace kestrel
