#include "check/Problem.h"

#include <algorithm>

namespace kestrel {

std::string SpelledOut(const Text& name) {
    static const char digits[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(name.size());
    for (char c : name) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown.push_back(c);
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else {
            shown += "\\x";
            shown.push_back(digits[byte >> 4]);
            shown.push_back(digits[byte & 15]);
        }
    }
    return shown;
}

std::string RecordName(Long record, Long eqCode, const Text& eqName) {
    return "record " + std::to_string(record) + " (N " + std::to_string(eqCode) + ", \"" +
           SpelledOut(eqName) + "\")";
}

bool Problem::operator==(const Problem& other) const {
    return severity == other.severity && kind == other.kind && record == other.record &&
           eqCode == other.eqCode && eqName == other.eqName && field == other.field &&
           message == other.message;
}

std::string FormatProblem(const Problem& problem) {
    if (problem.record == 0)
        return "file: " + problem.message;
    return RecordName(problem.record, problem.eqCode, problem.eqName) + ": " + problem.message;
}

const char* SeverityName(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

std::size_t CountOf(const std::vector<Problem>& problems, Severity severity) {
    return static_cast<std::size_t>(
        std::count_if(problems.begin(), problems.end(),
                      [severity](const Problem& p) { return p.severity == severity; }));
}

}  // namespace kestrel
