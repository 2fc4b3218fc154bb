#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <optional>
#include <variant>

#include "model/Equipment.h"

class QWidget;

namespace kestrel::ui {

class EditorSession;
class Grid;

// The record before with field set to what was typed for it, read as Set
// value reads a value (a number, or a word of a coded field), or why the
// field cannot hold it ("SA takes 0 to 255.").
std::variant<Equipment, QString> CellEditResult(const Equipment& before, int field,
                                                const QString& typed);

// Sets one field of the record at position to typed as one undoable command
// ("Set SA of record 12"), the way the properties window commits a record;
// the refusal when the field cannot hold it or the record is never changed.
std::optional<QString> CommitCell(EditorSession& session, std::int32_t position, int field,
                                  const QString& typed);

// Editing in the list grid's cells: typing or F2 on a cell of the scrolling
// part opens the field's own editor over it (a box for numbers and texts, a
// drop-down of words for coded fields). Enter commits, Tab and Shift+Tab
// commit and go on in the next or previous cell, Escape cancels; a value
// the field cannot hold is refused in the cell, saying why.
class CellEditor : public QObject {
    Q_OBJECT
public:
    CellEditor(Grid& grid, EditorSession& session);

    // Opens the editor on grid row, column col; typed starts its text
    // (empty: the value as it is, to change).
    void begin(int row, int col, const QString& typed);
    bool editing() const { return !mEditor.isNull(); }
    QWidget* editor() const { return mEditor; }
    // Commits what the editor holds; false when it was refused (the editor
    // stays open, the reason shown).
    bool commit();
    void cancel();
    // Why the last commit was refused; empty when it was not.
    QString refusal() const { return mRefusal; }

signals:
    void refused(const QString& why);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString typedText() const;
    void close();
    void moveOn(int step);

    Grid& mGrid;
    EditorSession& mSession;
    QPointer<QWidget> mEditor;
    std::int32_t mPosition = 0;
    int mField = 0;
    QString mRefusal;
    bool mClosing = false;
};

}  // namespace kestrel::ui
