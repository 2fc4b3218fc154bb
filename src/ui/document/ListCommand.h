#pragma once

#include <QUndoCommand>
#include <cstdint>
#include <optional>

#include "ui/document/GridSelection.h"

namespace kestrel::ui {

class Document;

// A change of the list that the undo stack can take back. A command keeps
// only what it needs to go both ways and changes the list through the
// document's mutating operations; this base puts the list's selection back
// on undo to what it was before, and on redo to what the command first left.
class ListCommand : public QUndoCommand {
public:
    ListCommand(Document& document, const QString& text);

    void redo() final;
    void undo() final;

    // The selection the command leaves on redo, when the one its kind gives
    // is not it (a move of records selects them where they land). Before it
    // is pushed.
    void setSelectionAfter(const GridSelection& selection) { mAfter = selection; }

protected:
    virtual void apply() = 0;
    virtual void revert() = 0;
    // How many records the command touches; a large one shows the busy
    // pointer while it runs.
    virtual std::int64_t size() const { return 1; }
    // The selection the first apply leaves; by default the one before.
    virtual GridSelection selectionAfter(const GridSelection& before) const { return before; }

    Document& document() const { return mDocument; }

private:
    Document& mDocument;
    std::optional<GridSelection> mBefore;
    std::optional<GridSelection> mAfter;
};

// The selection of one whole record row.
GridSelection WholeRow(int row, int cols);

}  // namespace kestrel::ui
