#pragma once

#include <QMainWindow>
#include <array>
#include <memory>
#include <vector>

#include "ui/document/EditorSession.h"
#include "ui/platform/FileDialog.h"

class QFrame;
class QLabel;
class QToolButton;
class QShortcut;

namespace kestrel {
class Equipments;
}

namespace kestrel::ui {

class CellEditor;
class ColumnLayout;
class FilterBar;
class Grid;
class ListActions;
enum class Command;
class RecordCounts;
class RecordFilterProxy;

// The list window: every record of the collection as one grid row, and the
// buttons for the commands that act on the whole list. Below the menu bar
// and the button strip: the filter bar, the grid, the docks at the bottom
// and the status bar, the grid taking what the others leave. It is the
// session's view of the records and the holder of the open pair, which the
// features beside it reach through the session.
class frmEqs : public QMainWindow, private RecordView, private PairHost {
    Q_OBJECT
public:
    // The editor's one session (mdlGeneral::session()).
    explicit frmEqs(QWidget* parent = nullptr);
    explicit frmEqs(EditorSession& session, QWidget* parent = nullptr);
    ~frmEqs() override;

    EditorSession& session() const { return mSession; }
    ListActions& actions() const { return *mActions; }

    // The system's caption, which the title keeps ahead of the open pair.
    static QString Caption();

    Grid& UnitList() const { return *mUnitList; }
    FileDialog& cd1() { return mCd1; }

    FilterBar& filterBar() const { return *mFilterBar; }
    RecordCounts& recordCounts() const { return *mCounts; }
    CellEditor& cellEditor() const { return *mCellEditor; }
    ColumnLayout& columnLayout() const { return *mColumnLayout; }

    // The view sorted by a field's column, or back in list order (-1); the
    // list itself keeps its order. A heading's click steps through
    // ascending, descending and list order.
    void sortView(int column, Qt::SortOrder order = Qt::AscendingOrder);
    void headingClicked(int column);
    // The status bar's word on the sorted view; empty in list order.
    QString sortText() const;

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

    // The strip's Save: the dialog, proposing the open pair.
    void cmdSave_Click();
    // The Save command; true when the files were written without a message.
    bool SaveList();
    // Save in the menu and Ctrl+S: back to the open pair without the
    // dialog once one is open (its backups kept as always), else SaveList.
    bool SaveBack();
    void UnitList_Click();
    void UnitList_DblClick();

    // The document's modified state; setting it false counts the list as
    // saved, true as differing from the files until the next load or save.
    bool isModified() const;
    void setModified(bool modified);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // RecordView: the grid's rows as record positions.
    std::vector<std::int32_t> selectedPositions() const override;
    std::int32_t currentPosition() const override;
    void selectPositions(const std::vector<std::int32_t>& positions, std::int32_t current) override;
    std::int32_t shownNeighbour(std::int32_t position, int step) const override;
    void reveal(std::int32_t position) override { selectRecord(position); }
    void showPosition(std::int32_t position) override;
    void scrollTo(std::int32_t position) override;
    bool filtering() const override;
    QRect screenArea() const override;
    GridSelection gridSelection() const override;
    void setGridSelection(const GridSelection& selection) override;
    // PairHost
    bool loadPair(const QString& path) override { return LoadPair(path); }
    bool reloadPair() override { return ReloadPair(); }
    void adoptList(std::unique_ptr<Equipments> equipments, const QString& pairPath) override {
        AdoptList(std::move(equipments), pairPath);
    }
    bool settleBeforeReplacing() override { return SettleBeforeReplacing(); }
    bool saveList() override { return SaveList(); }
    QWidget* dialogParent() override { return this; }

    void makeActions();
    void Form_Load();
    // Asks about unsaved changes; false when the caller must stop.
    bool settleUnsavedChanges();
    bool settlePropertiesEdits();
    void readPair(const QString& path);
    void updateFilterButtons();
    // The pair named by FileName is the open one, or the user agrees to
    // replace its files; false when the save must not go on.
    bool mayReplace();

    EditorSession& mSession;
    ListActions* mActions = nullptr;
    Grid* mUnitList = nullptr;
    QFrame* mFrame1 = nullptr;
    QLabel* mImage1 = nullptr;
    RecordFilterProxy* mProxy = nullptr;
    FilterBar* mFilterBar = nullptr;
    RecordCounts* mCounts = nullptr;
    CellEditor* mCellEditor = nullptr;
    ColumnLayout* mColumnLayout = nullptr;
    QLabel* mSortLabel = nullptr;
    FileDialog mCd1;
    bool mSaveBack = false;  // SaveList writes to the open pair without its dialog
};

}  // namespace kestrel::ui
