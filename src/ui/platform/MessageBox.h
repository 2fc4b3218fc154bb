#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace kestrel::ui {

// The title every message box of the editor carries.
extern const char kAppTitle[];  // "KestrelEditor"

// A message box with an OK button only, titled kAppTitle.
void MsgBox(const QString& text);

// The answer to "Save changes?" when unsaved changes are about to be lost.
enum class SaveChangesAnswer { Save, Discard, Cancel };
// proposed is the default button.
SaveChangesAnswer AskSaveChanges(QWidget* parent,
                                 SaveChangesAnswer proposed = SaveChangesAnswer::Save);

// Tests answer the boxes instead of a person; an empty handler restores the
// real dialogs. Each returns the previous handler.
using MsgBoxHandler = std::function<void(const QString& text)>;
MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler);
using SaveChangesHandler = std::function<SaveChangesAnswer()>;
SaveChangesHandler setSaveChangesHandler(SaveChangesHandler handler);

}  // namespace kestrel::ui
