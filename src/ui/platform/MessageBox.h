#pragma once

#include <QString>
#include <functional>

class QMessageBox;
class QWidget;

namespace kestrel::ui {

// The title every message box of the editor carries.
extern const char kAppTitle[];  // "KestrelEditor"

// A message box with an OK button only, titled kAppTitle.
void MsgBox(const QString& text);

// The answer to "Save changes?" when unsaved changes are about to be lost.
enum class SaveChangesAnswer { Save, Discard, Cancel };
// The question names the pair whose binary file is pairPath, when there is
// one: "Save changes to EQUIP97.EQP in Ironfront2?".
QString SaveChangesQuestion(const QString& pairPath);
// proposed is the default button.
SaveChangesAnswer AskSaveChanges(QWidget* parent,
                                 SaveChangesAnswer proposed = SaveChangesAnswer::Save,
                                 const QString& pairPath = QString());

// The answer to "Update equipment?" when edits in the properties window
// that were not committed are about to be lost.
enum class UpdateEditsAnswer { Update, Discard, Cancel };
UpdateEditsAnswer AskUpdateEdits(QWidget* parent);

// A Yes / No question, No the default; true for Yes.
bool AskYesNo(QWidget* parent, const QString& text);

// Makes a box wide enough for its whole title to show in the title bar.
void KeepTitleReadable(QMessageBox& box);

// Tests answer the boxes instead of a person; an empty handler restores the
// real dialogs. Each returns the previous handler.
using MsgBoxHandler = std::function<void(const QString& text)>;
MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler);
using SaveChangesHandler = std::function<SaveChangesAnswer(const QString& question)>;
SaveChangesHandler setSaveChangesHandler(SaveChangesHandler handler);
using UpdateEditsHandler = std::function<UpdateEditsAnswer()>;
UpdateEditsHandler setUpdateEditsHandler(UpdateEditsHandler handler);
using YesNoHandler = std::function<bool(const QString& text)>;
YesNoHandler setYesNoHandler(YesNoHandler handler);

}  // namespace kestrel::ui
