#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace kestrel::ui {

// A small up/down pair beside a text box. It counts from the number the box
// holds, so typing and clicking mix freely, and writes decimal text back.
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int min, int max, int step, QWidget* parent);
    int Min() const { return mMin; }
    int Max() const { return mMax; }
    int Increment() const { return mStep; }
    QLineEdit* buddy() const { return mBuddy; }
    void stepUp() { stepBy(+1); }
    void stepDown() { stepBy(-1); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void stepBy(int direction);
    QLineEdit* mBuddy;
    int mMin, mMax, mStep;
    QToolButton* mUp;
    QToolButton* mDown;
};

// The equipment properties window: one record in full, edited in place and
// written back only by cmdUpdate.
class frmEquipment : public QWidget {
    Q_OBJECT
public:
    explicit frmEquipment(QWidget* parent = nullptr);
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

    // Puts item index into every control; the meter shows row of rows.
    void showRecord(std::int32_t index, int row, int rows);

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
};

}  // namespace kestrel::ui
