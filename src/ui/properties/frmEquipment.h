#pragma once

#include <QPersistentModelIndex>
#include <QWidget>
#include <array>
#include <cstdint>

#include "model/Equipment.h"
#include "ui/platform/UpDown.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace kestrel::ui {

class EditorSession;

// The equipment properties window: one record in full, edited in place and
// written back only by cmdUpdate. It holds the record it shows, not a row:
// when the list is reordered, added to or undone the window follows the
// record to where it now stands, and it closes once the record has left
// the list.
class frmEquipment : public QWidget {
    Q_OBJECT
public:
    // On the editor's one session (mdlGeneral::session()).
    explicit frmEquipment(QWidget* parent = nullptr);
    frmEquipment(EditorSession& session, QWidget* parent);
    ~frmEquipment() override;

    void Form_Load();
    void Form_Activate();
    void UpdateDisableds();

    void cmdUpdate_Click();
    void cmdNew_Click();
    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void txtUS_Change();
    void chkUS_Click(int index);

    // From now on the window shows the record at position (1 to Count).
    void setRecord(std::int32_t position);
    // Where the record shown stands now; 0 when it has left the list.
    std::int32_t recordPosition() const;
    // Puts the record into every control and the meter; with keepEdits the
    // boxes the user has typed in and not committed keep their text.
    void showRecord(bool keepEdits = false);
    // Shows the record of the list's current row (none for the heading
    // row), selecting that whole row, and shows the window if hidden.
    void showGridRow();
    // Writes the controls into the record shown, as one undoable Update;
    // refuses with a message a value its field cannot hold.
    void commit();

    // A control shows something other than the record: typed, chosen or
    // clicked and not yet committed. The title's [*] and an emphasised
    // Update button say so.
    bool hasEdits() const;
    // Asks "Update equipment?" when there are edits: Update commits them,
    // Discard shows the record again; false for Cancel, or when the commit
    // was refused, and the caller must not go on.
    bool confirmEdits();

    QToolButton *cmdNew, *cmdUpdate, *cmdFirst, *cmdPrevious, *cmdNext, *cmdLast;
    QLineEdit *txtEqCode, *txtName, *txtRowMeter, *txtIcon;
    QComboBox *cmbClass, *cmbTT, *cmbCountry, *cmbMoveMethod, *cmbMoveMode, *cmbNOT;
    QLineEdit *txtMA, *txtYA, *txtYE;
    UpDown *UpDown16, *UpDown17, *UpDown18;
    QLineEdit *txtPC, *txtF, *txtA, *txtM, *txtGR, *txtI, *txtSR, *txtSA, *txtHA, *txtAA, *txtNA,
        *txtGD, *txtAD, *txtCD, *txtRDM;
    std::array<UpDown*, 15> valueSpinners{};
    std::array<QLineEdit*, 8> txtUnk{};
    QLineEdit* txtUS;
    std::array<QCheckBox*, 17> chkUS{};  // 1 to 16
    QLineEdit *txtAttackSound, *txtMoveSound, *txtDeathSound;
    std::array<QGroupBox*, 9> frames{};  // Frame1 to Frame8

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    // The list changed: the window shows its record where it now is, or
    // closes when it is gone.
    void followRecord();
    void updateEditMark();
    void showTitle(const Equipment& e);
    // As large as the form, within the list's screen.
    void fitToScreenOf(const QWidget& list);
    // The record left the list with edits in the window: asked about once
    // the command that removed it has finished.
    void askAboutLostRecord();
    // Update of a record that left the list: it comes back with the edits.
    void restoreLostRecord();

    EditorSession& mSession;
    QPersistentModelIndex mRecord;
    bool mFollowing = false;    // a record was given, so its leaving closes the window
    Equipment mShown;           // the record as last shown, kept when it leaves the list
    std::int32_t mShownAt = 0;  // the record's position when last shown
    std::int32_t mLostAt = 0;   // where a record with edits stood when it left the list
    bool mShowing = false;      // controls are being filled, not edited
};

}  // namespace kestrel::ui
