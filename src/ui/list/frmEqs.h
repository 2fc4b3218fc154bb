#pragma once

#include <QMainWindow>
#include <array>

#include "ui/platform/FileDialog.h"

class QFrame;
class QLabel;
class QToolButton;

namespace kestrel::ui {

class Grid;

// The list window: every record of the collection as one grid row, and the
// buttons for the commands that act on the whole list. The grid and the
// button strip sit in the central area; docks and the status bar go around.
class frmEqs : public QMainWindow {
    Q_OBJECT
public:
    explicit frmEqs(QWidget* parent = nullptr);
    ~frmEqs() override;

    Grid& UnitList() const { return *mUnitList; }
    FileDialog& cd1() { return mCd1; }

    // The grid follows the window's outer size given in twips.
    void Form_Resize(int outerWidthTwips, int outerHeightTwips);

    void cmdLoad_Click();
    void cmdSave_Click();
    // The Save command; true when the files were written without a message.
    bool SaveList();
    void UnitList_Click();
    void UnitList_DblClick();

    // The document's modified state; setting it false counts the list as
    // saved, true as differing from the files until the next load or save.
    bool isModified() const;
    void setModified(bool modified);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    // Asks about unsaved changes; false when the caller must stop.
    bool settleUnsavedChanges();
    void updateUndoButtons();

    Grid* mUnitList = nullptr;
    QFrame* mFrame1 = nullptr;
    QLabel* mImage1 = nullptr;
    QToolButton* mUndo = nullptr;
    QToolButton* mRedo = nullptr;
    FileDialog mCd1;
};

}  // namespace kestrel::ui
