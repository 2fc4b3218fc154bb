#include "ui/platform/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace kestrel::ui {

void MsgBox(const QString& text) {
    CurrentPrompts().message(QApplication::activeWindow(), text);
}

QString SaveChangesQuestion(const QString& pairPath) {
    if (pairPath.isEmpty())
        return QStringLiteral("Save changes?");
    const QFileInfo file(pairPath);
    const QString folder = file.absoluteDir().dirName();
    return folder.isEmpty()
               ? QStringLiteral("Save changes to %1?").arg(file.fileName())
               : QStringLiteral("Save changes to %1 in %2?").arg(file.fileName(), folder);
}

SaveChangesAnswer AskSaveChanges(QWidget* parent, SaveChangesAnswer proposed,
                                 const QString& pairPath) {
    return CurrentPrompts().saveChanges(parent, SaveChangesQuestion(pairPath), proposed);
}

UpdateEditsAnswer AskUpdateEdits(QWidget* parent) {
    return CurrentPrompts().updateEdits(parent);
}

bool AskYesNo(QWidget* parent, const QString& text) {
    return CurrentPrompts().yesNo(parent, text);
}

}  // namespace kestrel::ui
