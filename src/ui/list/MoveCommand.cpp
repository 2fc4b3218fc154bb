#include "ui/list/MoveCommand.h"

#include "model/Equipment.h"
#include "ui/document/Document.h"

namespace kestrel::ui {

MoveCommand::MoveCommand(Document& document, const QString& text, int position, int current)
    : ListCommand(document, text), mPosition(position), mCurrent(current) {}

void MoveCommand::apply() {
    document().swapAdjacent(mPosition);
}

GridSelection MoveCommand::selectionAfter(const GridSelection&) const {
    return WholeRow(mCurrent, kFieldCount);
}

}  // namespace kestrel::ui
