#include "ui/platform/FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <utility>

namespace kestrel::ui {

namespace {
FileDialog::Answer& answerSlot() {
    static FileDialog::Answer answer;
    return answer;
}
}  // namespace

FileDialog::FileDialog()
    : FileName(QStringLiteral("EQUIP97.EQP")),
      InitDir(QStringLiteral("C:\\Ironfront2")),
      mStartedIn(QDir::currentPath()) {}

FileDialog::Answer FileDialog::setTestAnswer(Answer answer) {
    return std::exchange(answerSlot(), std::move(answer));
}

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
    std::optional<QString> chosen;
    if (answerSlot()) {
        chosen = answerSlot()(save, proposed);
    } else {
        QFileDialog dialog(parent);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setNameFilters(
            {QStringLiteral("Equipment files (*.EQP *.eqp)"), QStringLiteral("All files (*)")});
        dialog.setDirectory(QFileInfo(proposed).absolutePath());
        dialog.selectFile(QFileInfo(proposed).fileName());
        if (save) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            // The caller knows whether the files are the open pair's own and
            // asks about replacing others itself, naming both files.
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        } else {
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
        }
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            chosen = dialog.selectedFiles().constFirst();
        }
    }
    if (!chosen || chosen->isEmpty())
        return false;
    FileName = QDir::toNativeSeparators(QFileInfo(*chosen).absoluteFilePath());
    return true;
}

}  // namespace kestrel::ui
