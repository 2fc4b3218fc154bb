#pragma once
// Runs a built program of ours to its end with files for its three streams.

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <string>
#include <vector>

#include "support/SamplePairs.h"

namespace kestrel::testing {

struct ToolResult {
    int status = -1;
    std::string out, err;
};

#ifdef _WIN32
// For cmd.exe and the program's own command-line parsing: backslashes before
// a quote are doubled, the quote escaped.
inline std::string shellQuoted(const std::string& s) {
    std::string q = "\"";
    std::size_t backslashes = 0;
    for (char c : s) {
        if (c == '\\') {
            ++backslashes;
        } else {
            if (c == '"')
                q.append(backslashes + 1, '\\');
            backslashes = 0;
        }
        q += c;
    }
    q.append(backslashes, '\\');
    return q + "\"";
}
constexpr const char* kNoInput = "NUL";
#else
inline std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
constexpr const char* kNoInput = "/dev/null";
#endif

// The exit status of a command std::system ran.
inline int exitStatus(int raw) {
#ifdef _WIN32
    return raw;
#else
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
}

// Runs a command line built with shellQuoted; cmd.exe takes it whole inside
// one more pair of quotes.
inline int runCommand(const std::string& cmd) {
#ifdef _WIN32
    // 9009 is cmd.exe failing to start the program at all, and -1 cmd.exe
    // itself not starting; Wine does both now and then on a busy machine, and
    // neither ran the program. A program that is really missing gives 9009
    // every time.
    int status = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        status = exitStatus(std::system(("\"" + cmd + "\"").c_str()));
        if (status != 9009 && status != -1)
            break;
    }
    return status;
#else
    return exitStatus(std::system(cmd.c_str()));
#endif
}

// scratch is a folder for the streams; args are passed as they are.
inline ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
                          const std::string& scratch) {
    std::string cmd = shellQuoted(program);
    for (const auto& a : args)
        cmd += " " + shellQuoted(a);
    cmd += std::string(" <") + kNoInput + " >" + shellQuoted(scratch + "/stdout") + " 2>" +
           shellQuoted(scratch + "/stderr");
    ToolResult r;
    r.status = runCommand(cmd);
    r.out = ReadBytes(scratch + "/stdout");
    r.err = ReadBytes(scratch + "/stderr");
    return r;
}

}  // namespace kestrel::testing
