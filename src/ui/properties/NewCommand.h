#pragma once

#include <cstdint>

#include "model/Equipment.h"
#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// New: one fresh record at the end of the list, whose row becomes the
// selected one; undo takes it off again.
class NewCommand : public ListCommand {
public:
    explicit NewCommand(Document& document);
    // A record holding values inserted before position; it becomes the
    // selected row.
    NewCommand(Document& document, std::int32_t position, const Equipment& values);

protected:
    void apply() override;
    void revert() override;
    GridSelection selectionAfter(const GridSelection& before) const override;

private:
    std::int32_t mPosition;
    Equipment mRecord;
};

}  // namespace kestrel::ui
