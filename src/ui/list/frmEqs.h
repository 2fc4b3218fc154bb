#pragma once

#include <QWidget>
#include <array>

#include "ui/platform/FileDialog.h"

class QFrame;
class QLabel;
class QStatusBar;
class QToolButton;

namespace kestrel::ui {

class Grid;

// The list window: every record of the collection as one grid row, and the
// buttons for the commands that act on the whole list.
class frmEqs : public QWidget {
    Q_OBJECT
public:
    explicit frmEqs(QWidget* parent = nullptr);
    ~frmEqs() override;

    // The system's caption, which the title keeps ahead of the open pair.
    static QString Caption();

    Grid& UnitList() const { return *mUnitList; }
    // The status bar under the grid, made on first use; each part of the
    // window adds its own widgets to it.
    QStatusBar* statusBar();
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
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    // Asks about unsaved changes; false when the caller must stop.
    bool settleUnsavedChanges();
    void updateUndoButtons();
    // The grid fills the window down to the status bar.
    void layOutBottom();
    // The pair named by FileName is the open one, or the user agrees to
    // replace its files; false when the save must not go on.
    bool mayReplace();

    Grid* mUnitList = nullptr;
    QFrame* mFrame1 = nullptr;
    QLabel* mImage1 = nullptr;
    QToolButton* mUndo = nullptr;
    QToolButton* mRedo = nullptr;
    QStatusBar* mStatusBar = nullptr;
    FileDialog mCd1;
};

}  // namespace kestrel::ui
