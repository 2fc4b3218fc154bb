#pragma once

#include <QMainWindow>
#include <array>
#include <memory>
#include <vector>

#include "ui/platform/FileDialog.h"

class QFrame;
class QLabel;
class QToolButton;
class QShortcut;

namespace kestrel {
class Equipments;
}

namespace kestrel::ui {

class FilterBar;
class Grid;
class RecordCounts;
class RecordFilterProxy;

// The list window: every record of the collection as one grid row, and the
// buttons for the commands that act on the whole list. Below the button
// strip: the filter bar, the grid, the docks at the bottom and the status
// bar, the grid taking what the others leave.
class frmEqs : public QMainWindow {
    Q_OBJECT
public:
    explicit frmEqs(QWidget* parent = nullptr);
    ~frmEqs() override;

    // The system's caption, which the title keeps ahead of the open pair.
    static QString Caption();

    Grid& UnitList() const { return *mUnitList; }
    FileDialog& cd1() { return mCd1; }

    FilterBar& filterBar() const { return *mFilterBar; }
    RecordCounts& recordCounts() const { return *mCounts; }

    // Selects the record at position alone and scrolls to it, clearing the
    // filter first when it hides the record.
    void selectRecord(int position);

    void cmdLoad_Click();
    // Load without the dialog (a recent pair, a dropped file, the command
    // line): asks about unsaved changes first; false when it was cancelled.
    bool LoadPair(const QString& path);
    // Reads the open pair again, dropping the list's changes without asking
    // about them; false when there is no pair or it was cancelled.
    bool ReloadPair();
    // The pair the list stands for (its DataPath), empty before the first load.
    QString PairPath() const;
    // Puts a list that did not come from the pair's files (restored work, an
    // earlier version) in place; it counts as unsaved.
    void AdoptList(std::unique_ptr<Equipments> equipments, const QString& pairPath);
    // Asks what must be asked before the list is replaced; false to stop.
    bool SettleBeforeReplacing();
    // A bar shown between the button strip and the grid while it is visible.
    void addGridBar(QWidget* bar);

    void cmdSave_Click();
    // The Save command; true when the files were written without a message.
    bool SaveList();
    void UnitList_Click();
    void UnitList_DblClick();

    // The document's modified state; setting it false counts the list as
    // saved, true as differing from the files until the next load or save.
    bool isModified() const;
    void setModified(bool modified);

signals:
    // The list now stands for the pair at path: after a load, a reload or an adopted list.
    void pairOpened(const QString& path);
    // Before a save replaces the files of the pair at path, and after it did.
    void aboutToSave(const QString& path);
    void pairSaved(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    // Asks about unsaved changes; false when the caller must stop.
    bool settleUnsavedChanges();
    bool settlePropertiesEdits();
    void updateUndoButtons();
    void readPair(const QString& path);
    void updateFilterButtons();
    void addListShortcuts();
    // The pair named by FileName is the open one, or the user agrees to
    // replace its files; false when the save must not go on.
    bool mayReplace();

    Grid* mUnitList = nullptr;
    QFrame* mFrame1 = nullptr;
    QLabel* mImage1 = nullptr;
    QToolButton* mUndo = nullptr;
    QToolButton* mRedo = nullptr;
    RecordFilterProxy* mProxy = nullptr;
    FilterBar* mFilterBar = nullptr;
    RecordCounts* mCounts = nullptr;
    FileDialog mCd1;
};

}  // namespace kestrel::ui
