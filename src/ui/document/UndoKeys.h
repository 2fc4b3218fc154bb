#pragma once

class QUndoStack;
class QWidget;

namespace kestrel::ui {

// Ctrl+Z undoes and Ctrl+Shift+Z / Ctrl+Y redo the list's last command while
// window is active. A text box in window that has typing of its own to undo
// or redo takes the key first, as Qt's boxes do; once it has none left the
// key reaches the list. Call after the window's text boxes exist. A window
// whose Undo and Redo actions carry the keys passes withKeys false: only
// the boxes' part is added.
void AddUndoKeys(QWidget* window, QUndoStack* stack, bool withKeys = true);

}  // namespace kestrel::ui
