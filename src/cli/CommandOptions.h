#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <stdexcept>
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

// Walks a command's arguments, each option with its value whether it was
// written "--name value" or "--name=value".
class ArgumentReader {
public:
    explicit ArgumentReader(const std::vector<std::string>& args) : mArgs(args) {}
    // Moves to the next argument; false past the last.
    bool next() {
        if (++mAt >= mArgs.size())
            return false;
        mName = mArgs[mAt];
        mValue.reset();
        const std::size_t eq = mName.find('=');
        if (mName.rfind("--", 0) == 0 && eq != std::string::npos) {
            mValue = mName.substr(eq + 1);
            mName.resize(eq);
        }
        return true;
    }
    // The argument, without a "=value" of a long option.
    const std::string& name() const { return mName; }
    // The argument as given.
    const std::string& whole() const { return mArgs[mAt]; }
    bool hasValue() const { return mValue.has_value(); }
    // The option's value: what followed its '=', else the next argument.
    std::string value(const char* what) {
        if (mValue)
            return *mValue;
        if (mAt + 1 >= mArgs.size())
            throw std::invalid_argument(mName + " needs " + what);
        return mArgs[++mAt];
    }

private:
    const std::vector<std::string>& mArgs;
    std::size_t mAt = static_cast<std::size_t>(-1);
    std::string mName;
    std::optional<std::string> mValue;
};

// The options of export (allowOutput) or import.
Options parseOptions(const std::vector<std::string>& args, bool allowOutput);

int runImport(const std::vector<std::string>& args, std::ostream& err);

}  // namespace kestrel::cli
