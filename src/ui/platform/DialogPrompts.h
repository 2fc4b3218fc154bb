#pragma once

#include "ui/platform/Prompts.h"

class QMessageBox;

namespace kestrel::ui {

// The title every message box of the editor carries.
extern const char kAppTitle[];  // "KestrelEditor"

// The real dialogs, modal, over parent.
class DialogPrompts : public Prompts {
public:
    void message(QWidget* parent, const QString& text) override;
    SaveChangesAnswer saveChanges(QWidget* parent, const QString& question,
                                  SaveChangesAnswer proposed) override;
    UpdateEditsAnswer updateEdits(QWidget* parent) override;
    bool yesNo(QWidget* parent, const QString& text) override;
    bool saveOverIncomplete(QWidget* parent, const QString& text) override;
    bool fitValues(QWidget* parent, const QString& text) override;
    RecoveryAnswer recovery(QWidget* parent, const QString& question) override;
    std::optional<QString> fileName(QWidget* parent, bool save, const QString& proposed,
                                    const QString& title) override;
    std::optional<QString> pictureFileName(QWidget* parent, const QString& proposed) override;
};

// Makes a box wide enough for its whole title to show in the title bar.
void KeepTitleReadable(QMessageBox& box);

}  // namespace kestrel::ui
