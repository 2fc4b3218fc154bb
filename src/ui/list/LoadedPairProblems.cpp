#include "ui/list/LoadedPairProblems.h"

#include <limits>

#include "check/LoadProblems.h"
#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"

namespace kestrel::ui {

namespace {

Problem pairProblem(ProblemKind kind, const std::string& message) {
    Problem p;
    p.kind = kind;
    p.message = message;
    return p;
}

}  // namespace

std::vector<Problem> LoadedPairProblems(const Equipments& loaded, const LoadReport& report) {
    using Kind = LoadFinding::Kind;
    std::vector<Problem> problems;
    for (const LoadFinding& f : report.findings) {
        if (f.kind == Kind::SaveCompleted || f.kind == Kind::SaveRolledBack ||
            f.kind == Kind::SaveInterrupted) {
            problems.push_back(pairProblem(ProblemKind::SaveRecovered, f.message));
        }
    }
    if (loaded.DataPath().empty() || report.has(Kind::SaveInProgress))
        return problems;
    FileSystem& fs = fileSystem();
    const EquipmentFilePaths paths = PathsFor(loaded.DataPath());
    BoundedRead names = fs.readBounded(paths.nameList, kMaxNameListBytes, kMaxNameListBytes);
    if (names.result != BoundedRead::Result::Ok)
        return problems;
    BoundedRead binary =
        fs.readBounded(paths.binary, kMaxBinaryBytes, std::numeric_limits<std::uint64_t>::max());
    if (binary.result != BoundedRead::Result::Ok)
        binary.bytes.clear();
    std::vector<Problem> found =
        LoadProblems(names.bytes, binary.bytes, loaded, static_cast<Long>(report.failedAt));
    problems.insert(problems.end(), std::make_move_iterator(found.begin()),
                    std::make_move_iterator(found.end()));
    // kestrel-eqp check words a file beyond the largest pair the same way.
    for (const LoadFinding& f : report.findings) {
        if (f.kind == Kind::TooLarge)
            problems.push_back(pairProblem(ProblemKind::TrailingBytes, f.message));
    }
    return problems;
}

}  // namespace kestrel::ui
