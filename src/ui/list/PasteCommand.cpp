#include "ui/list/PasteCommand.h"

#include "ui/document/Document.h"
#include "ui/list/CutCommand.h"

namespace kestrel::ui {

PasteCommand::PasteCommand(Document& document, std::vector<Equipment> records)
    : ListCommand(document, QStringLiteral("Paste of ") +
                                RecordCount(static_cast<std::int64_t>(records.size()))),
      mFirst(document.equipments().Count() + 1),
      mCount(static_cast<std::int32_t>(records.size())),
      mRecords(std::move(records)) {}

void PasteCommand::apply() {
    document().insertRecords(mFirst, mRecords);
    mRecords.clear();
    mRecords.shrink_to_fit();
}

GridSelection PasteCommand::selectionAfter(const GridSelection&) const {
    return GridSelection{mFirst, 0, mFirst + mCount - 1, kFieldCount - 1};
}

void PasteCommand::revert() {
    mRecords = document().removeRecords(mFirst, mCount);
}

}  // namespace kestrel::ui
