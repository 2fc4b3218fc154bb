#include "ui/compare/RemoveHereCommand.h"

#include "ui/document/Document.h"
#include "ui/list/CutCommand.h"

namespace kestrel::ui {

RemoveHereCommand::RemoveHereCommand(Document& document, std::vector<std::int32_t> positions,
                                     const QString& otherName)
    : ListCommand(document,
                  QStringLiteral("Remove %1 not in %2")
                      .arg(RecordCount(static_cast<std::int64_t>(positions.size())), otherName)),
      mCount(positions.size()) {
    for (std::int32_t p : positions) {
        if (!mRuns.empty() && mRuns.back().first + mRuns.back().count == p)
            ++mRuns.back().count;
        else
            mRuns.push_back(Run{p, 1, {}});
    }
}

void RemoveHereCommand::apply() {
    // From the end, so that the positions of the runs still to go hold.
    for (auto run = mRuns.rbegin(); run != mRuns.rend(); ++run)
        run->removed = document().removeRecords(run->first, run->count);
}

void RemoveHereCommand::revert() {
    for (Run& run : mRuns) {
        document().insertRecords(run.first, run.removed);
        run.removed.clear();
        run.removed.shrink_to_fit();
    }
}

}  // namespace kestrel::ui
