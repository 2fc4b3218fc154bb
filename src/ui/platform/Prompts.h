#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace kestrel::ui {

// The answer to "Save changes?" when unsaved changes are about to be lost.
enum class SaveChangesAnswer { Save, Discard, Cancel };
// The answer to "Update equipment?" when edits in the properties window
// that were not committed are about to be lost.
enum class UpdateEditsAnswer { Update, Discard, Cancel };
// The answer to the offer of work an editor left unsaved.
enum class RecoveryAnswer { Restore, Discard, Later };

// Every message box, question and file dialog of the editor goes through
// one of these: the real dialogs (DialogPrompts), or a test's fake that
// answers instead of a person (tests/support/FakePrompts.h). The session
// hands them out; commands and the document never show a dialog themselves.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A message box with an OK button only, titled kAppTitle.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // question is the "Save changes?" text naming the pair; proposed is the
    // default button.
    virtual SaveChangesAnswer saveChanges(QWidget* parent, const QString& question,
                                          SaveChangesAnswer proposed) = 0;
    virtual UpdateEditsAnswer updateEdits(QWidget* parent) = 0;
    // A Yes / No question, No the default; true for Yes.
    virtual bool yesNo(QWidget* parent, const QString& text) = 0;
    // The warning before a save replaces a pair the list was read from only
    // in part: Save or Cancel, Cancel the default; true for Save.
    virtual bool saveOverIncomplete(QWidget* parent, const QString& text) = 0;
    // The list of values a save changes to fit the file: Save or Cancel,
    // Save the default; true for Save.
    virtual bool fitValues(QWidget* parent, const QString& text) = 0;
    // The offer of work left unsaved: Restore, Discard or Not now.
    virtual RecoveryAnswer recovery(QWidget* parent, const QString& question) = 0;
    // The open or save dialog proposing a path: the chosen one, or nothing
    // when the user cancels. title names what is chosen (empty: the
    // dialog's own title).
    virtual std::optional<QString> fileName(QWidget* parent, bool save, const QString& proposed,
                                            const QString& title) = 0;
    // The save dialog for a picture, offering PNG and SVG; a name without
    // an ending gets the chosen kind's. Others answer as fileName does.
    virtual std::optional<QString> pictureFileName(QWidget* parent, const QString& proposed) {
        return fileName(parent, true, proposed, QString());
    }
};

// The prompts in use: DialogPrompts until others are set.
Prompts& CurrentPrompts();
// Puts prompts in use (null: the real dialogs again); returns the ones
// before, null for the real dialogs.
Prompts* setPrompts(Prompts* prompts);

}  // namespace kestrel::ui
