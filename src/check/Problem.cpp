#include "check/Problem.h"

#include <algorithm>

namespace kestrel {

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
