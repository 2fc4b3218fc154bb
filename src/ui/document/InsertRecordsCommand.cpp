#include "ui/document/InsertRecordsCommand.h"

#include "ui/document/Document.h"

namespace kestrel::ui {

InsertRecordsCommand::InsertRecordsCommand(Document& document, const QString& text,
                                           std::int32_t position, std::vector<Equipment> records,
                                           Selection selection)
    : ListCommand(document, text),
      mPosition(position),
      mCount(static_cast<std::int32_t>(records.size())),
      mRecords(std::move(records)),
      mSelection(selection) {}

void InsertRecordsCommand::apply() {
    document().insertRecords(mPosition, mRecords);
    // The list holds them now; a large paste is not kept twice.
    mRecords.clear();
    mRecords.shrink_to_fit();
}

void InsertRecordsCommand::revert() {
    mRecords = document().removeRecords(mPosition, mCount);
}

GridSelection InsertRecordsCommand::selectionAfter(const GridSelection& before) const {
    if (mSelection == Selection::Keep || mCount == 0)
        return before;
    return GridSelection{mPosition, 0, mPosition + mCount - 1, kFieldCount - 1};
}

}  // namespace kestrel::ui
