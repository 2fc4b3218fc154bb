#include "ui/list/DuplicateCommand.h"

#include "ui/document/Document.h"
#include "ui/list/CutCommand.h"

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

GridSelection DuplicateCommand::selectionAfter(const GridSelection&) const {
    return GridSelection{mPosition, 0, mPosition + static_cast<std::int32_t>(mCopies.size()) - 1,
                         kFieldCount - 1};
}

}  // namespace kestrel::ui
