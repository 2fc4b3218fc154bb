#include "ui/properties/frmEquipment.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QUndoStack>
#include <algorithm>
#include <optional>

#include "model/FieldTable.h"
#include "text/CodePage.h"
#include "text/NumberReaders.h"
#include "ui/document/Document.h"
#include "ui/document/EditorSession.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/document/InsertRecordsCommand.h"
#include "ui/document/UndoKeys.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/WindowPlaces.h"
#include "ui/properties/FieldControls.h"
#include "ui/properties/UpdateCommand.h"
#include "vocabulary/LookupTables.h"

namespace kestrel::ui {

namespace {
frmEquipment* gWindow = nullptr;
const char kPlaceKey[] = "properties/position";
}  // namespace

frmEquipment::frmEquipment(QWidget* parent) : frmEquipment(mdlGeneral::session(), parent) {}

// Resizable: at a large scale the form may be taller than the screen, and it
// scrolls then.
frmEquipment::frmEquipment(EditorSession& session, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      mSession(session) {
    createControls();
    setWindowTitle(windowTitle() + QStringLiteral("[*]"));
    // An editable combo box's choice changes its line's text too.
    for (QLineEdit* box : findChildren<QLineEdit*>())
        connect(box, &QLineEdit::textChanged, this, &frmEquipment::updateEditMark);

    Document& document = mSession.document();
    AddUndoKeys(this, document.undoStack());
    QAbstractItemModel* model = document.model();
    connect(model, &QAbstractItemModel::rowsRemoved, this, &frmEquipment::followRecord);
    connect(model, &QAbstractItemModel::rowsInserted, this, &frmEquipment::followRecord);
    connect(model, &QAbstractItemModel::rowsMoved, this, &frmEquipment::followRecord);
    connect(model, &QAbstractItemModel::layoutChanged, this, &frmEquipment::followRecord);
    connect(model, &QAbstractItemModel::modelReset, this, &frmEquipment::followRecord);
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                if (mRecord.isValid() && mRecord.row() >= topLeft.row() &&
                    mRecord.row() <= bottomRight.row())
                    followRecord();
            });

    gWindow = this;
    Form_Load();
}

frmEquipment::~frmEquipment() {
    if (gWindow == this)
        gWindow = nullptr;
}

void frmEquipment::Form_Load() {
    InitLookupTables();
    auto fill = [](QComboBox* combo, const auto& table, std::size_t count) {
        combo->clear();
        QStringList items;
        for (const std::string& word : table) {
            if (static_cast<std::size_t>(items.size()) == count)
                break;
            items << QString::fromStdString(CodePageToUtf8(word));
        }
        combo->addItems(items);
        combo->setCurrentIndex(-1);
    };
    fill(cmbClass, ClassNames, 22);
    fill(cmbMoveMethod, MovementMethodNames, 12);
    fill(cmbMoveMode, MoveModeNames, 2);
    fill(cmbTT, TargetTypeNames, 4);
    fill(cmbNOT, TransportNames, 4);
    fill(cmbCountry, CountryNames, 26);
}

void frmEquipment::Form_Activate() {
    UpdateDisableds();
}

void frmEquipment::setRecord(std::int32_t position) {
    QAbstractItemModel* model = mSession.document().model();
    mRecord = QPersistentModelIndex(model->index(position - 1, 0));
    mFollowing = mRecord.isValid();
}

std::int32_t frmEquipment::recordPosition() const {
    return mRecord.isValid() ? mRecord.row() + 1 : 0;
}

void frmEquipment::followRecord() {
    if (gWindow != this || !mFollowing)
        return;
    if (!mRecord.isValid()) {
        if (mLostAt < 1) {
            mLostAt = mShownAt;
            if (hasEdits()) {
                mFollowing = false;
                updateEditMark();
                askAboutLostRecord();
                return;
            }
            mLostAt = 0;
        }
        close();
        return;
    }
    mSession.setEditedRecord(recordPosition());
    showRecord(true);
    UpdateDisableds();
}

void frmEquipment::UpdateDisableds() {
    // Along the rows the list shows: a filter's hidden records are skipped.
    const std::int32_t current = mSession.currentPosition();
    cmdPrevious->setEnabled(current == 0 || mSession.shownNeighbour(current, -1) != 0);
    cmdNext->setEnabled(mSession.shownNeighbour(current, +1) != 0);
}

void frmEquipment::showRecord(bool keepEdits) {
    const std::int32_t position = recordPosition();
    if (position < 1)
        return;
    const Equipment& e = *mSession.equipments().Item(position);
    txtRowMeter->setText(
        QStringLiteral("%1 / %2").arg(position).arg(mSession.equipments().Count()));
    showTitle(e);
    mShowing = true;
    ShowFields(this, e, keepEdits);
    mShowing = false;
    mShown = e;
    mShownAt = position;
    mLostAt = 0;
    updateEditMark();
}

void frmEquipment::showTitle(const Equipment& e) {
    // "[*]" in a name is text, not the marker: doubled, the title shows it.
    QString name = QString::fromStdString(CodePageToUtf8(e.EqName()));
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(name + QStringLiteral("[*]"));
}

void frmEquipment::fitToScreenOf(const QWidget& list) {
    const QWidget* form = findChild<QWidget*>(QStringLiteral("Form"));
    QScreen* screen = list.screen();
    if (!form || !screen)
        return;
    // Only as much shorter as the screen needs, and wider by the scroll bar
    // then, so that the form scrolls one way only.
    const QRect room = screen->availableGeometry();
    const QSize extras = frameGeometry().size() - size();
    QSize wanted = form->size();
    if (wanted.height() + extras.height() > room.height())
        wanted += QSize(style()->pixelMetric(QStyle::PM_ScrollBarExtent), 0);
    resize(wanted.boundedTo(room.size() - extras));
}

void frmEquipment::cmdUpdate_Click() {
    commit();
}

void frmEquipment::showGridRow() {
    // The heading row, or an empty list, has no record.
    const std::int32_t position = mSession.currentPosition();
    if (position < 1)
        return;
    BusyGuard busy;
    mSession.selectPositions({position}, position);
    mSession.setEditedRecord(position);
    setRecord(position);
    if (!isVisible()) {
        if (QWidget* list = mSession.dialogParent()) {
            fitToScreenOf(*list);
            PlaceBeside(*this, *list, mSession.recordsArea(), kPlaceKey);
        }
        txtRowMeter->setText(
            QStringLiteral("%1 / %2").arg(position).arg(mSession.equipments().Count()));
        show();
        // The frame the window system adds is known once shown.
        KeepOnScreen(*this);
        // Activation is up to the window system; the buttons must be right now.
        Form_Activate();
    }
    showRecord();
}

void frmEquipment::commit() {
    if (recordPosition() < 1 && mLostAt >= 1) {
        restoreLostRecord();
        return;
    }
    const std::int32_t position = recordPosition();
    if (position == 1) {
        MsgBox(QStringLiteral("Can't update equipment number 0"));
        return;
    }
    if (position < 1)
        return;
    const Equipment before = *mSession.equipments().Item(position);
    FieldReadResult read = ReadFields(this, before);
    if (read.refusal) {
        MsgBox(RefusalMessage(*read.refusal));
        read.refusal->control->setFocus();
        return;
    }
    // Values that are what the record holds change nothing: no undo step.
    if (read.values != before) {
        Document& document = mSession.document();
        document.undoStack()->push(new UpdateCommand(document, position, before, read.values));
    }
    ForgetEdits(this);
    // The title names the record as committed, a new name included.
    showTitle(*mSession.equipments().Item(position));
    updateEditMark();
}

void frmEquipment::restoreLostRecord() {
    FieldReadResult read = ReadFields(this, mShown);
    if (read.refusal) {
        MsgBox(RefusalMessage(*read.refusal));
        read.refusal->control->setFocus();
        return;
    }
    Document& document = mSession.document();
    if (std::optional<QString> refusal = document.refusalToAdd(1, "update")) {
        MsgBox(*refusal);
        return;
    }
    // The record went back where it stood, as far as the list still reaches.
    const std::int32_t position = std::min(mLostAt, document.equipments().Count() + 1);
    document.undoStack()->push(new InsertRecordsCommand(document, QStringLiteral("Update"),
                                                        position, {read.values},
                                                        InsertRecordsCommand::Selection::Inserted));
    mLostAt = 0;
    setRecord(position);
    ForgetEdits(this);
    mSession.setEditedRecord(position);
    showRecord();
    UpdateDisableds();
}

void frmEquipment::cmdNew_Click() {
    if (!confirmEdits())
        return;
    Document& document = mSession.document();
    if (std::optional<QString> refusal = document.refusalToAdd(1, "new record")) {
        MsgBox(*refusal);
        return;
    }
    // A fresh record at the end, whose code is its position from zero as
    // Renumber would give it.
    const std::int32_t position = document.equipments().Count() + 1;
    Equipment fresh = FreshEquipment();
    fresh.setEqCode(position - 1);
    document.undoStack()->push(new InsertRecordsCommand(document, QStringLiteral("New"), position,
                                                        {fresh},
                                                        InsertRecordsCommand::Selection::Inserted));
    UpdateDisableds();
    showGridRow();
}

namespace {
void moveTo(frmEquipment* window, EditorSession& session, std::int32_t position) {
    if (position < 1 || !window->confirmEdits())
        return;
    session.showRecord(position);
    window->UpdateDisableds();
    window->showGridRow();
}
}  // namespace

// Each goes along the rows the list shows; none does anything on a list
// with no record rows: there is no record to show.
void frmEquipment::cmdFirst_Click() {
    moveTo(this, mSession, mSession.shownNeighbour(0, +1));
}

void frmEquipment::cmdPrevious_Click() {
    const std::int32_t current = mSession.currentPosition();
    if (current >= 1)
        moveTo(this, mSession, mSession.shownNeighbour(current, -1));
}

void frmEquipment::cmdNext_Click() {
    moveTo(this, mSession, mSession.shownNeighbour(mSession.currentPosition(), +1));
}

void frmEquipment::cmdLast_Click() {
    moveTo(this, mSession, mSession.shownNeighbour(0, -1));
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

bool frmEquipment::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(e);
}

void frmEquipment::closeEvent(QCloseEvent* e) {
    if (gWindow == this && !confirmEdits()) {
        e->ignore();
        return;
    }
    if (gWindow == this)
        SavePlace(*this, kPlaceKey);
    // From here on the window counts as unloaded; the next display makes a new one.
    if (gWindow == this)
        gWindow = nullptr;
    QWidget::closeEvent(e);
}

}  // namespace kestrel::ui

namespace mdlGeneral {

kestrel::ui::frmEquipment* propertiesWindow() {
    return kestrel::ui::gWindow;
}

}  // namespace mdlGeneral
