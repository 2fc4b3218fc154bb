#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace kestrel::ui {

// The common dialog cd1: one open and one save dialog sharing FileName and
// InitDir. FileName holds the last chosen full path, so the next dialog
// proposes it.
class FileDialog {
public:
    FileDialog();

    QString FileName;
    QString InitDir;
    // The title of the next dialogs, saying what is chosen; empty for the
    // dialog's own ("Open", "Save As").
    QString DialogTitle;

    // Modal; false when the user cancels. The open dialog accepts only an
    // existing file; the save dialog does not ask about replacing one, the
    // caller does.
    bool ShowOpen(QWidget* parent);
    bool ShowSave(QWidget* parent);

    // The folder the dialog opens in: InitDir, or the folder the editor was
    // started from where InitDir doesn't exist.
    QString startFolder() const;

private:
    bool show(QWidget* parent, bool save);
    QString mStartedIn;
};

}  // namespace kestrel::ui
