#pragma once

#include <QString>

#include "ui/platform/DialogPrompts.h"
#include "ui/platform/Prompts.h"

class QWidget;

namespace kestrel::ui {

// The editor's boxes, through the prompts in use (CurrentPrompts()).

// A message box with an OK button only, titled kAppTitle, over the active window.
void MsgBox(const QString& text);
// The question names the pair whose binary file is pairPath, when there is
// one: "Save changes to EQUIP97.EQP in Ironfront2?".
QString SaveChangesQuestion(const QString& pairPath);
// "Save changes?" naming the pair; proposed is the default button.
SaveChangesAnswer AskSaveChanges(QWidget* parent,
                                 SaveChangesAnswer proposed = SaveChangesAnswer::Save,
                                 const QString& pairPath = QString());
// "Update equipment?"
UpdateEditsAnswer AskUpdateEdits(QWidget* parent);
// A Yes / No question, No the default; true for Yes.
bool AskYesNo(QWidget* parent, const QString& text);

}  // namespace kestrel::ui
