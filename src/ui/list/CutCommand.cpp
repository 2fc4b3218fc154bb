#include "ui/list/CutCommand.h"

#include "ui/document/Document.h"

namespace kestrel::ui {

QString RecordCount(std::int64_t count) {
    return count == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(count);
}

CutCommand::CutCommand(Document& document, std::int32_t first, std::int32_t count)
    : ListCommand(document, QStringLiteral("Cut of ") + RecordCount(count)),
      mFirst(first),
      mCount(count) {}

void CutCommand::apply() {
    mRemoved = document().removeRecords(mFirst, mCount);
}

void CutCommand::revert() {
    document().insertRecords(mFirst, mRemoved);
    // Redo takes them out of the list again; holding them twice is waste.
    mRemoved.clear();
    mRemoved.shrink_to_fit();
}

}  // namespace kestrel::ui
