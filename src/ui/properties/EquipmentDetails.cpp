#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QUndoStack>
#include <optional>

#include "text/CodePage.h"
#include "text/NumberReaders.h"
#include "ui/document/Document.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MessageBox.h"
#include "ui/properties/FieldControls.h"
#include "ui/properties/NewCommand.h"
#include "ui/properties/UpdateCommand.h"
#include "ui/properties/frmEquipment.h"

namespace kestrel::ui {

void frmEquipment::showRecord(bool keepEdits) {
    const std::int32_t position = recordPosition();
    if (position < 1)
        return;
    const Equipment& e = *mdlGeneral::gEquipments().Item(position);
    txtRowMeter->setText(
        QStringLiteral("%1 / %2").arg(position).arg(mdlGeneral::gEquipments().Count()));
    setWindowTitle(QString::fromStdString(CodePageToUtf8(e.EqName())));
    ShowFields(this, e, keepEdits);
}

void frmEquipment::cmdUpdate_Click() {
    mdlGeneral::CommitEquipmentDetails();
}

void frmEquipment::cmdNew_Click() {
    Document& document = mdlGeneral::document();
    if (!document.roomFor(1, "new record"))
        return;
    document.undoStack()->push(new NewCommand(document));
    // Without a list window there is no grid to make the new row current.
    if (!mdlGeneral::listWindow()) {
        setRecord(document.equipments().Count());
        mdlGeneral::gCurrentIndex = recordPosition();
        showRecord();
        return;
    }
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
    // The sum stands for what the user clicked: it is an edit of the box.
    txtUS->setModified(true);
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
    window->setRecord(gCurrentIndex);
    const bool wasVisible = window->isVisible();
    window->txtRowMeter->setText(QStringLiteral("%1 / %2").arg(grid.Row()).arg(grid.Rows() - 1));
    window->setWindowTitle(
        QString::fromStdString(CodePageToUtf8(gEquipments().Item(gCurrentIndex)->EqName())));
    if (!wasVisible) {
        window->show();
        // Activation is up to the window system; the buttons must be right now.
        window->Form_Activate();
    }
    window->showRecord();
}

void CommitEquipmentDetails() {
    frmEquipment* w = propertiesWindow();
    if (!w)
        return;
    const std::int32_t position = w->recordPosition();
    if (position == 1) {
        ui::MsgBox(QStringLiteral("Can't update equipment number 0"));
        return;
    }
    if (position < 1)
        return;
    const Equipment before = *gEquipments().Item(position);
    ui::FieldReadResult read = ui::ReadFields(w, before);
    if (read.refusal) {
        ui::MsgBox(QStringLiteral("%1: \"%2\" is not a value this property can hold.")
                       .arg(read.refusal->caption, read.refusal->value));
        read.refusal->control->setFocus();
        return;
    }
    // Values that are what the record holds change nothing: no undo step.
    if (read.values != before) {
        // The caption keeps the name the record was shown with until it is
        // shown again.
        const QString caption = w->windowTitle();
        ui::Document& doc = document();
        doc.undoStack()->push(new ui::UpdateCommand(doc, position, before, read.values));
        w->setWindowTitle(caption);
    }
    ui::ForgetEdits(w);
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
