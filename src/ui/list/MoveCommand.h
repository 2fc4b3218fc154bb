#pragma once

#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// Move up and Move down: the records at a position and the next exchange
// places, which is its own inverse. The moved record's row stays current.
class MoveCommand : public ListCommand {
public:
    // position and position + 1 exchange; the moved record ends on row
    // current.
    MoveCommand(Document& document, const QString& text, int position, int current);

protected:
    void apply() override;
    void revert() override { apply(); }
    GridSelection selectionAfter(const GridSelection& before) const override;

private:
    int mPosition;
    int mCurrent;
};

}  // namespace kestrel::ui
