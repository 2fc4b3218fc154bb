#include "ui/properties/NewCommand.h"

#include "model/Equipment.h"
#include "model/FieldTable.h"
#include "ui/document/Document.h"

namespace kestrel::ui {

NewCommand::NewCommand(Document& document)
    : ListCommand(document, QStringLiteral("New")),
      mPosition(document.equipments().Count() + 1),
      mRecord(FreshEquipment()) {
    // Its code is its position from zero, as Renumber would give it.
    mRecord.setEqCode(mPosition - 1);
}

NewCommand::NewCommand(Document& document, std::int32_t position, const Equipment& values)
    : ListCommand(document, QStringLiteral("Update")), mPosition(position), mRecord(values) {}

void NewCommand::apply() {
    document().insertRecords(mPosition, {mRecord});
}

void NewCommand::revert() {
    document().removeRecords(mPosition, 1);
}

GridSelection NewCommand::selectionAfter(const GridSelection&) const {
    return WholeRow(mPosition, kFieldCount);
}

}  // namespace kestrel::ui
