#pragma once

#include <cstdint>

#include "model/Equipment.h"
#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// Update: the values the properties window commits into one record, with
// the values it held before for undo.
class UpdateCommand : public ListCommand {
public:
    UpdateCommand(Document& document, std::int32_t position, const Equipment& before,
                  const Equipment& after, const QString& text = QStringLiteral("Update"));

protected:
    void apply() override;
    void revert() override;

private:
    std::int32_t mPosition;
    Equipment mBefore;
    Equipment mAfter;
};

}  // namespace kestrel::ui
