#pragma once

#include <string>

namespace kestrel {

// Text with its control characters spelled out as \r, \n, \t or \xNN, so that
// a name or value echoed in a message shows what it holds and cannot steer a
// terminal.
std::string SpelledOut(const std::string& text);

}  // namespace kestrel
