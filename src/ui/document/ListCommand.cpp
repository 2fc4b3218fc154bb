#include "ui/document/ListCommand.h"

#include <memory>

#include "model/Equipment.h"
#include "ui/document/Document.h"
#include "ui/platform/BusyPointer.h"

namespace kestrel::ui {

namespace {
// Below this many records a command finishes within a frame or two; a busy
// pointer would only flicker.
constexpr std::int64_t kNoticeable = 2000;
}  // namespace

ListCommand::ListCommand(Document& document, const QString& text)
    : QUndoCommand(text), mDocument(document) {
    if (document.selection().read)
        mBefore = document.selection().read();
}

void ListCommand::redo() {
    std::unique_ptr<BusyGuard> busy;
    if (size() >= kNoticeable)
        busy = std::make_unique<BusyGuard>();
    apply();
    const SelectionAccess& access = mDocument.selection();
    if (!mBefore || !access.write)
        return;
    if (!mAfter)
        mAfter = selectionAfter(*mBefore);
    access.write(*mAfter);
}

void ListCommand::undo() {
    std::unique_ptr<BusyGuard> busy;
    if (size() >= kNoticeable)
        busy = std::make_unique<BusyGuard>();
    revert();
    const SelectionAccess& access = mDocument.selection();
    if (mBefore && access.write)
        access.write(*mBefore);
}

GridSelection WholeRow(int row, int cols) {
    return GridSelection{row, 0, row, cols > 0 ? cols - 1 : 0};
}

}  // namespace kestrel::ui
