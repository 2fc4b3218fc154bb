#include "ui/compare/TakeFromOtherCommand.h"

#include "ui/document/Document.h"
#include "ui/document/RecordCount.h"

namespace kestrel::ui {

TakeFromOtherCommand::TakeFromOtherCommand(Document& document, std::vector<Change> changes,
                                           std::vector<Equipment> appended,
                                           const QString& otherName)
    : ListCommand(document,
                  QStringLiteral("Take %1 from %2")
                      .arg(RecordCount(static_cast<std::int64_t>(changes.size() + appended.size())),
                           otherName)),
      mChanges(std::move(changes)),
      mAppendAt(document.equipments().Count() + 1),
      mAppendCount(static_cast<std::int32_t>(appended.size())),
      mAppended(std::move(appended)) {}

std::int64_t TakeFromOtherCommand::size() const {
    return static_cast<std::int64_t>(mChanges.size()) + mAppendCount;
}

void TakeFromOtherCommand::apply() {
    for (const Change& change : mChanges)
        document().replaceRecord(change.position, change.after);
    document().insertRecords(mAppendAt, mAppended);
    // The list holds them now; undo takes them back out.
    mAppended.clear();
    mAppended.shrink_to_fit();
}

void TakeFromOtherCommand::revert() {
    mAppended = document().removeRecords(mAppendAt, mAppendCount);
    for (const Change& change : mChanges)
        document().replaceRecord(change.position, change.before);
}

}  // namespace kestrel::ui
