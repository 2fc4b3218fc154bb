#include "ui/platform/FileDialog.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

#include "ui/platform/Prompts.h"

namespace kestrel::ui {

FileDialog::FileDialog()
    : FileName(QStringLiteral("EQUIP97.EQP")),
      InitDir(QStringLiteral("C:\\Ironfront2")),
      mStartedIn(QDir::currentPath()) {}

QString FileDialog::startFolder() const {
    QFileInfo dir(InitDir);
    if (!InitDir.isEmpty() && dir.isDir())
        return dir.absoluteFilePath();
    return mStartedIn;
}

bool FileDialog::ShowOpen(QWidget* parent) {
    return show(parent, false);
}
bool FileDialog::ShowSave(QWidget* parent) {
    return show(parent, true);
}

bool FileDialog::show(QWidget* parent, bool save) {
    QFileInfo current(FileName);
    QString proposed = current.isAbsolute() ? FileName : QDir(startFolder()).filePath(FileName);
    // Through the prompts in use: a test answers instead of a person.
    const std::optional<QString> chosen =
        CurrentPrompts().fileName(parent, save, proposed, DialogTitle);
    if (!chosen || chosen->isEmpty())
        return false;
    FileName = QDir::toNativeSeparators(QFileInfo(*chosen).absoluteFilePath());
    return true;
}

}  // namespace kestrel::ui
