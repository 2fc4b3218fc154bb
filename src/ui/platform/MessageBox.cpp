#include "ui/platform/MessageBox.h"

#include <QApplication>

namespace kestrel::ui {

void MsgBox(const QString& text) {
    CurrentPrompts().message(QApplication::activeWindow(), text);
}

SaveChangesAnswer AskSaveChanges(QWidget* parent, SaveChangesAnswer proposed) {
    return CurrentPrompts().saveChanges(parent, proposed);
}

UpdateEditsAnswer AskUpdateEdits(QWidget* parent) {
    return CurrentPrompts().updateEdits(parent);
}

bool AskYesNo(QWidget* parent, const QString& text) {
    return CurrentPrompts().yesNo(parent, text);
}

}  // namespace kestrel::ui
