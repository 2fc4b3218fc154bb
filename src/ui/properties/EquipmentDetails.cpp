#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <optional>
#include <variant>

#include "text/CodePage.h"
#include "text/NumberReaders.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MessageBox.h"
#include "ui/properties/frmEquipment.h"

namespace kestrel::ui {

namespace {

// The code a combo box showed as a bare number because it has no item for
// it, so that committing it untouched gives the same code back.
const char kShownCode[] = "kestrelShownCode";

void showCode(QComboBox* combo, std::int64_t code) {
    if (code >= 0 && code < combo->count()) {
        combo->setCurrentIndex(static_cast<int>(code));
        combo->setProperty(kShownCode, QVariant());
    } else {
        combo->setCurrentIndex(-1);
        combo->setEditText(QString::number(code));
        combo->setProperty(kShownCode, QVariant::fromValue<qlonglong>(code));
    }
}

QString decimal(std::int64_t v) {
    return QString::number(v);
}

}  // namespace

void frmEquipment::showRecord(std::int32_t index, int row, int rows) {
    const Equipment& e = *mdlGeneral::gEquipments().Item(index);
    txtRowMeter->setText(QStringLiteral("%1 / %2").arg(row).arg(rows));
    setWindowTitle(QString::fromStdString(CodePageToUtf8(e.EqName())));
    txtEqCode->setText(decimal(e.EqCode()));
    txtName->setText(QString::fromStdString(CodePageToUtf8(e.EqName())));
    showCode(cmbClass, e.EqClass());
    txtSA->setText(decimal(e.SoftAttack()));
    txtHA->setText(decimal(e.HardAttack()));
    txtAA->setText(decimal(e.AirAttack()));
    txtNA->setText(decimal(e.NavalAttack()));
    txtGD->setText(decimal(e.GroundDefense()));
    txtAD->setText(decimal(e.AirDefense()));
    txtCD->setText(decimal(e.CloseDefense()));
    showCode(cmbTT, e.TargetType());
    txtI->setText(decimal(e.Initiative()));
    txtGR->setText(decimal(e.GunRange()));
    txtSR->setText(decimal(e.SpottingRange()));
    txtRDM->setText(decimal(e.RangeDefenseModifier()));
    showCode(cmbMoveMode, e.MoveMode());
    showCode(cmbMoveMethod, e.MovementMode());
    txtM->setText(decimal(e.Movement()));
    txtF->setText(decimal(e.Fuel()));
    txtA->setText(decimal(e.Ammunition()));
    txtUnk[0]->setText(decimal(e.Unk0()));
    txtPC->setText(decimal(e.PrestigeCost()));
    txtUnk[1]->setText(decimal(e.Unk1()));
    txtUnk[2]->setText(decimal(e.Unk2()));
    txtUnk[3]->setText(decimal(e.Unk3()));
    txtUnk[4]->setText(decimal(e.Unk4()));
    txtMA->setText(decimal(e.MonthAvail()));
    txtYA->setText(decimal(e.YearAvail()));
    txtYE->setText(decimal(e.YearExpire()));
    showCode(cmbNOT, e.NonOrganicTransport());
    showCode(cmbCountry, e.Country());
    txtUS->setText(decimal(e.UnitSpecial()));
    txtUnk[5]->setText(decimal(e.Unk5()));
    txtUnk[6]->setText(decimal(e.Unk6()));
    txtUnk[7]->setText(decimal(e.Unk7()));
    txtIcon->setText(QString::fromStdString(CodePageToUtf8(e.IconName())));
    txtAttackSound->setText(decimal(e.AttackSound()));
    txtMoveSound->setText(decimal(e.MoveSound()));
    txtDeathSound->setText(decimal(e.DeathSound()));
}

void frmEquipment::cmdUpdate_Click() {
    mdlGeneral::CommitEquipmentDetails();
}

void frmEquipment::cmdNew_Click() {
    Equipments& list = mdlGeneral::gEquipments();
    Equipment e;
    e.setEqCode(list.Count());
    e.setEqClass(1);
    e.setTargetType(1);
    e.setMoveMode(1);
    e.setMovementMode(1);
    e.setMonthAvail(1);
    e.setYearAvail(39);
    e.setYearExpire(50);
    e.setNonOrganicTransport(1);
    e.setCountry(1);
    e.setUnitSpecial(1);
    e.setAttackSound(1);
    e.setMoveSound(1);
    e.setDeathSound(1);
    list.Add(e);
    mdlGeneral::FillGridRow(*list.Item(list.Count()));
    Grid& grid = mdlGeneral::UnitList();
    grid.setRow(grid.Rows() - 1);
    mdlGeneral::MarkModified();
    UpdateDisableds();
    mdlGeneral::ShowEquipmentDetails();
}

namespace {
void moveTo(frmEquipment* window, int row) {
    Grid& grid = mdlGeneral::UnitList();
    grid.setRow(row);
    grid.ShowRow(row);
    window->UpdateDisableds();
    mdlGeneral::ShowEquipmentDetails();
}
}  // namespace

// First and last do nothing on a list with no record rows: there is no
// record to show.
void frmEquipment::cmdFirst_Click() {
    if (mdlGeneral::UnitList().Rows() > 1)
        moveTo(this, 1);
}

void frmEquipment::cmdPrevious_Click() {
    const int r = mdlGeneral::UnitList().Row();
    if (r > 1)
        moveTo(this, r - 1);
}

void frmEquipment::cmdNext_Click() {
    Grid& grid = mdlGeneral::UnitList();
    const int r = grid.Row();
    if (r < grid.Rows() - 1)
        moveTo(this, r + 1);
}

void frmEquipment::cmdLast_Click() {
    const int n = mdlGeneral::UnitList().Rows();
    if (n > 1)
        moveTo(this, n - 1);
}

void frmEquipment::txtUS_Change() {
    // While the user is half-way through typing a number the boxes keep
    // showing the last whole number.
    const QLocale locale = QLocale::system();
    NumberSeparators separators{locale.decimalPoint().toStdString(),
                                locale.groupSeparator().toStdString()};
    std::optional<std::int32_t> value = ReadWholeNumber(txtUS->text().toStdString(), separators);
    if (!value)
        return;
    mdlGeneral::DecomposeUnitSpecial(*value);
    mdlGeneral::ShowUnitSpecialChecks();
}

void frmEquipment::chkUS_Click(int index) {
    if (mdlGeneral::gUpdatingChecks)
        return;
    mdlGeneral::gSpecialBits[index] = chkUS[index]->isChecked() ? 1 : 0;
    txtUS->setText(QString::number(mdlGeneral::ComposeUnitSpecial()));
}

}  // namespace kestrel::ui

namespace mdlGeneral {

using namespace kestrel;
using kestrel::ui::frmEquipment;

void ShowEquipmentDetails() {
    ui::Grid& grid = UnitList();
    // A double-click on the heading row, or on an empty list, has no record.
    if (grid.Row() < 1 || grid.Row() >= grid.Rows())
        return;
    ui::BusyGuard busy;
    grid.setCol(0);
    grid.setRowSel(grid.Row());
    grid.setColSel(grid.Cols() - 1);
    gCurrentIndex = grid.Row();
    frmEquipment* window = propertiesWindow();
    if (!window)
        window = new frmEquipment(listWindow());
    const bool wasVisible = window->isVisible();
    window->txtRowMeter->setText(QStringLiteral("%1 / %2").arg(grid.Row()).arg(grid.Rows() - 1));
    window->setWindowTitle(
        QString::fromStdString(CodePageToUtf8(gEquipments().Item(gCurrentIndex)->EqName())));
    if (!wasVisible) {
        window->show();
        // Activation is up to the window system; the buttons must be right now.
        window->Form_Activate();
    }
    window->showRecord(gCurrentIndex, grid.Row(), grid.Rows() - 1);
}

void ListChanged() {
    frmEquipment* window = propertiesWindow();
    if (!window)
        return;
    ui::Grid& grid = UnitList();
    if (gCurrentIndex >= 1 && gCurrentIndex <= gEquipments().Count() &&
        gCurrentIndex < grid.Rows()) {
        window->showRecord(gCurrentIndex, gCurrentIndex, grid.Rows() - 1);
        window->UpdateDisableds();
    } else {
        window->close();
    }
}

namespace {

// One control that did not read: what the message names and where focus goes.
struct Refusal {
    QWidget* control;
    QString caption;
    QString value;
};

class Reader {
public:
    std::optional<Refusal> refusal;

    std::int64_t whole(QLineEdit* box) {
        if (refusal)
            return 0;
        const QLocale locale = QLocale::system();
        NumberSeparators separators{locale.decimalPoint().toStdString(),
                                    locale.groupSeparator().toStdString()};
        auto v = ReadWholeNumber(box->text().toStdString(), separators);
        if (!v)
            refuse(box, box->text());
        return v.value_or(0);
    }
    std::int64_t leadingByte(QLineEdit* box) { return leading(box, true); }
    std::int64_t leadingLong(QLineEdit* box) { return leading(box, false); }
    std::int64_t selected(QComboBox* combo) {
        if (refusal)
            return 0;
        const QString text = combo->currentText();
        int index = combo->currentIndex();
        if (index < 0 || combo->itemText(index) != text)
            index = combo->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (index >= 0)
            return index;
        const QVariant shown = combo->property("kestrelShownCode");
        if (shown.isValid() && text == QString::number(shown.toLongLong()))
            return shown.toLongLong();
        refuse(combo, text);
        return 0;
    }
    std::string text(QLineEdit* box) {
        if (refusal)
            return {};
        auto bytes = Utf8ToCodePage(box->text().toStdString());
        if (!bytes)
            refuse(box, box->text());
        return bytes.value_or(std::string());
    }

private:
    std::int64_t leading(QLineEdit* box, bool byte) {
        if (refusal)
            return 0;
        auto v = ReadLeadingNumber(box->text().toStdString());
        if (!v || (byte ? !FitsByte(*v) : !FitsLong(*v))) {
            refuse(box, box->text());
            return 0;
        }
        return *v;
    }
    void refuse(QWidget* control, const QString& value) {
        refusal = Refusal{control, control->accessibleName(), value};
    }
};

}  // namespace

void CommitEquipmentDetails() {
    frmEquipment* w = propertiesWindow();
    if (!w)
        return;
    if (gCurrentIndex == 1) {
        ui::MsgBox(QStringLiteral("Can't update equipment number 0"));
        return;
    }
    if (gCurrentIndex < 1 || gCurrentIndex > gEquipments().Count())
        return;
    EquipmentRef record = gEquipments().Item(gCurrentIndex);
    Equipment e = *record;
    Reader r;
    e.setEqCode(static_cast<Long>(r.whole(w->txtEqCode)));
    e.setEqName(r.text(w->txtName));
    e.setEqClass(static_cast<Byte>(r.selected(w->cmbClass)));
    e.setSoftAttack(static_cast<Byte>(r.leadingByte(w->txtSA)));
    e.setHardAttack(static_cast<Byte>(r.leadingByte(w->txtHA)));
    e.setAirAttack(static_cast<Byte>(r.leadingByte(w->txtAA)));
    e.setNavalAttack(static_cast<Byte>(r.leadingByte(w->txtNA)));
    e.setGroundDefense(static_cast<Byte>(r.leadingByte(w->txtGD)));
    e.setAirDefense(static_cast<Byte>(r.leadingByte(w->txtAD)));
    e.setCloseDefense(static_cast<Byte>(r.leadingByte(w->txtCD)));
    e.setTargetType(static_cast<Byte>(r.selected(w->cmbTT)));
    e.setInitiative(static_cast<Byte>(r.leadingByte(w->txtI)));
    e.setGunRange(static_cast<Byte>(r.leadingByte(w->txtGR)));
    e.setSpottingRange(static_cast<Byte>(r.leadingByte(w->txtSR)));
    e.setRangeDefenseModifier(static_cast<Byte>(r.leadingByte(w->txtRDM)));
    e.setMoveMode(static_cast<Byte>(r.selected(w->cmbMoveMode)));
    e.setMovementMode(static_cast<Byte>(r.selected(w->cmbMoveMethod)));
    e.setMovement(static_cast<Byte>(r.leadingByte(w->txtM)));
    e.setFuel(static_cast<Byte>(r.leadingByte(w->txtF)));
    e.setAmmunition(static_cast<Byte>(r.leadingByte(w->txtA)));
    e.setUnk0(static_cast<Byte>(r.leadingByte(w->txtUnk[0])));
    e.setPrestigeCost(static_cast<Long>(r.leadingLong(w->txtPC)));
    e.setUnk1(static_cast<Byte>(r.leadingByte(w->txtUnk[1])));
    e.setUnk2(static_cast<Byte>(r.leadingByte(w->txtUnk[2])));
    e.setUnk3(static_cast<Byte>(r.leadingByte(w->txtUnk[3])));
    e.setUnk4(static_cast<Byte>(r.leadingByte(w->txtUnk[4])));
    e.setMonthAvail(static_cast<Byte>(r.leadingByte(w->txtMA)));
    e.setYearAvail(static_cast<Byte>(r.leadingByte(w->txtYA)));
    e.setYearExpire(static_cast<Byte>(r.leadingByte(w->txtYE)));
    e.setNonOrganicTransport(static_cast<Byte>(r.selected(w->cmbNOT)));
    e.setCountry(static_cast<Long>(r.selected(w->cmbCountry)));
    e.setUnitSpecial(static_cast<Long>(r.leadingLong(w->txtUS)));
    e.setUnk5(static_cast<Byte>(r.leadingByte(w->txtUnk[5])));
    e.setUnk6(static_cast<Byte>(r.leadingByte(w->txtUnk[6])));
    e.setUnk7(static_cast<Byte>(r.leadingByte(w->txtUnk[7])));
    e.setIconName(r.text(w->txtIcon));
    e.setAttackSound(static_cast<Long>(r.whole(w->txtAttackSound)));
    e.setMoveSound(static_cast<Long>(r.whole(w->txtMoveSound)));
    e.setDeathSound(static_cast<Long>(r.whole(w->txtDeathSound)));
    if (r.refusal) {
        ui::MsgBox(QStringLiteral("%1: \"%2\" is not a value this property can hold.")
                       .arg(r.refusal->caption, r.refusal->value));
        r.refusal->control->setFocus();
        return;
    }
    CopyEquipment(*record, e);
    // The row is rebuilt whatever the code, so the list never shows values
    // the record no longer holds.
    ui::Grid& grid = UnitList();
    if (gCurrentIndex < grid.Rows()) {
        FillGridRow(*record, gCurrentIndex);
        grid.RemoveItem(gCurrentIndex + 1);
    }
    MarkModified();
}

void DecomposeUnitSpecial(std::int32_t value) {
    std::int64_t v = value;
    for (int i = 16; i >= 1; --i) {
        const std::int64_t mask = std::int64_t(1) << (i - 1);
        if (v < mask) {
            gSpecialBits[i] = 0;
        } else {
            gSpecialBits[i] = 1;
            v -= mask;
        }
    }
}

void ShowUnitSpecialChecks() {
    frmEquipment* w = propertiesWindow();
    if (!w)
        return;
    gUpdatingChecks = true;
    for (int i = 1; i <= 16; ++i)
        w->chkUS[i]->setChecked(gSpecialBits[i] != 0);
    gUpdatingChecks = false;
}

std::int32_t ComposeUnitSpecial() {
    frmEquipment* w = propertiesWindow();
    if (!w)
        return 0;
    std::int32_t value = 0;
    for (int i = 1; i <= 16; ++i)
        if (w->chkUS[i]->isChecked())
            value += std::int32_t(1) << (i - 1);
    return value;
}

}  // namespace mdlGeneral
