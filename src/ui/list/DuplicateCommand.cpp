#include "ui/list/DuplicateCommand.h"

#include "ui/document/Document.h"
#include "ui/list/CutCommand.h"
#include "ui/list/RecordRows.h"

namespace kestrel::ui {

DuplicateCommand::DuplicateCommand(Document& document, std::int32_t position,
                                   std::vector<Equipment> copies)
    : ListCommand(document, QStringLiteral("Duplicate of ") +
                                RecordCount(static_cast<std::int64_t>(copies.size()))),
      mPosition(position),
      mCopies(std::move(copies)) {}

void DuplicateCommand::apply() {
    document().insertRecords(mPosition, mCopies);
}

void DuplicateCommand::revert() {
    document().removeRecords(mPosition, static_cast<std::int32_t>(mCopies.size()));
}

GridSelection DuplicateCommand::selectionAfter(const GridSelection& before) const {
    const int first = mdlGeneral::RowOfPosition(mPosition);
    const int last =
        mdlGeneral::RowOfPosition(mPosition + static_cast<std::int32_t>(mCopies.size()) - 1);
    if (first == 0 || last == 0)
        return before;
    return GridSelection{first, 0, last, kFieldCount - 1};
}

}  // namespace kestrel::ui
