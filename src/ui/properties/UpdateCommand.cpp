#include "ui/properties/UpdateCommand.h"

#include "ui/document/Document.h"

namespace kestrel::ui {

UpdateCommand::UpdateCommand(Document& document, std::int32_t position, const Equipment& before,
                             const Equipment& after, const QString& text)
    : ListCommand(document, text), mPosition(position), mBefore(before), mAfter(after) {}

void UpdateCommand::apply() {
    document().replaceRecord(mPosition, mAfter);
}

void UpdateCommand::revert() {
    document().replaceRecord(mPosition, mBefore);
}

}  // namespace kestrel::ui
