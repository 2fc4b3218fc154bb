#pragma once

#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "model/EquipmentComparison.h"
#include "ui/compare/ListFollowingWindow.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableView;

namespace kestrel::ui {

class ComparisonModel;
class Document;
class EditorSession;

// The comparison window: how the open list differs from another pair, and
// the commands that take records across. The other pair is held in memory
// only; nothing here writes it. The listing follows every change of the
// open list, its undo and redo included.
class frmCompare : public ListFollowingWindow {
    Q_OBJECT
public:
    // other: the pair compared with; otherName names it in the commands;
    // notes: what reading it found, shown above the listing.
    frmCompare(EditorSession& session, std::unique_ptr<Equipments> other, const QString& otherName,
               const QStringList& notes, QWidget* parent = nullptr);
    ~frmCompare() override;

    ComparisonModel& model() const { return *mModel; }
    QTableView& table() const { return *mTable; }
    const Equipments& other() const { return *mOther; }
    const QString& otherName() const { return mOtherName; }
    // The checked fields of the "Fields to take" list.
    FieldMask fieldsToTake() const;

    // The buttons' commands, on the selected rows.
    void cmdTake_Click();
    void cmdRemoveHere_Click();
    // Selects the record of a row in the list window's grid, if it has one here.
    void showInList(int row);

protected:
    void workOut() override;

private:
    void fitColumns();
    void updateSelectionState();
    std::vector<RecordDifference> selectedDifferences() const;

    EditorSession& mSession;
    Document& mDocument;
    std::unique_ptr<Equipments> mOther;
    QString mOtherName;
    QStringList mReadNotes;
    ComparisonModel* mModel = nullptr;
    QTableView* mTable = nullptr;
    QListWidget* mFields = nullptr;
    QComboBox* mMatchBy = nullptr;
    QCheckBox* mShowChanged = nullptr;
    QCheckBox* mShowOnlyHere = nullptr;
    QCheckBox* mShowOnlyThere = nullptr;
    QLabel* mSummary = nullptr;
    QLabel* mNotes = nullptr;
    QLabel* mFirstRecordNote = nullptr;
    QPushButton* mTake = nullptr;
    QPushButton* mRemove = nullptr;
};

}  // namespace kestrel::ui
