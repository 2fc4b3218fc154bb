#pragma once
// Runs a built program of ours to its end with files for its three streams.

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/SamplePairs.h"

namespace kestrel::testing {

struct ToolResult {
    int status = -1;
    std::string out, err;
};

inline std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// scratch is a folder for the streams; args are passed as they are.
inline ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
                          const std::string& scratch) {
    std::string cmd = shellQuoted(program);
    for (const auto& a : args)
        cmd += " " + shellQuoted(a);
    cmd += " </dev/null >" + shellQuoted(scratch + "/stdout") + " 2>" +
           shellQuoted(scratch + "/stderr");
    int raw = std::system(cmd.c_str());
    ToolResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadBytes(scratch + "/stdout");
    r.err = ReadBytes(scratch + "/stderr");
    return r;
}

}  // namespace kestrel::testing
