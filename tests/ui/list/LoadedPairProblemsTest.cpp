#include <gtest/gtest.h>

#include "check/LoadProblems.h"
#include "storage/EquipmentFiles.h"
#include "support/SamplePairs.h"
#include "ui/list/LoadedPairProblems.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

// The report's own findings join what the files show; a load that read
// nothing adds nothing from the files.
TEST(LoadedPairProblems, TheReportsFindingsJoinWhatTheFilesShow) {
    using Kind = LoadFinding::Kind;
    std::mt19937 random(7);
    SamplePair pair = RandomPair(random, 3);
    pair.binary += "zz";
    ScopedTempFolder folder;
    WritePair(folder.path(), pair);
    Equipments loaded;
    loaded.setDataPath(folder / "EQUIP97.EQP");
    ASSERT_EQ(DecodeEquipmentPair(pair.names, pair.binary, loaded), 0);
    const std::vector<Problem> fromFiles = LoadProblems(pair.names, pair.binary, loaded, 0);
    ASSERT_EQ(fromFiles.size(), 1u);  // the two bytes after the last record

    struct Case {
        const char* what;
        std::vector<LoadFinding> findings;
        std::vector<ProblemKind> expected;
    };
    const Case cases[] = {
        {"nothing beyond the files", {}, {ProblemKind::TrailingBytes}},
        {"a save completed",
         {{Kind::SaveCompleted, 0, 0, "a save cut short was completed"}},
         {ProblemKind::SaveRecovered, ProblemKind::TrailingBytes}},
        {"a save rolled back, a file too large",
         {{Kind::SaveRolledBack, 0, 0, "a save cut short was undone"},
          {Kind::TooLarge, 9, 0, "its last 9 bytes were not read"}},
         {ProblemKind::SaveRecovered, ProblemKind::TrailingBytes, ProblemKind::TrailingBytes}},
        {"a save in progress: nothing read",
         {{Kind::SaveInProgress, 0, 0, "a save of this pair is in progress"}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadReport report;
        report.findings = c.findings;
        std::vector<Problem> problems = LoadedPairProblems(loaded, report);
        std::vector<ProblemKind> kinds;
        for (const Problem& p : problems) {
            kinds.push_back(p.kind);
            EXPECT_EQ(p.record, 0);
            EXPECT_EQ(p.severity, Severity::Warning);
        }
        EXPECT_EQ(kinds, c.expected);
        for (const LoadFinding& f : c.findings) {
            if (f.kind == Kind::SaveCompleted || f.kind == Kind::SaveRolledBack) {
                EXPECT_EQ(problems.front().message, f.message);
            }
            if (f.kind == Kind::TooLarge) {
                EXPECT_EQ(problems.back().message, f.message);
            }
        }
    }
}

}  // namespace
