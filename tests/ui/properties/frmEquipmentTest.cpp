#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>
#include <memory>

#include "ui/NothingClipped.h"
#include "ui/document/Document.h"
#include "ui/list/ListCommands.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MessageBox.h"
#include "ui/properties/PropertiesFixture.h"
#include "ui/properties/frmEquipment.h"
#include "vocabulary/LookupTables.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

using kestrel_test::PropertiesWindow;
using kestrel_test::sample;
using kestrel_test::shownTitle;

TEST_F(PropertiesWindow, ShowsEveryControlOfTheRecord) {
    load(999);
    frmEquipment& w = show(4);
    EXPECT_EQ(mdlGeneral::gCurrentIndex, 4);
    EXPECT_EQ(w.txtRowMeter->text(), "4 / 999");
    EXPECT_EQ(shownTitle(w), "Unit3");
    EXPECT_EQ(grid().RowSel(), 4);
    EXPECT_EQ(grid().Col(), 0);
    EXPECT_EQ(grid().ColSel(), grid().Cols() - 1);
    EXPECT_EQ(w.txtEqCode->text(), "3");
    EXPECT_EQ(w.txtName->text(), "Unit3");
    EXPECT_EQ(w.cmbClass->currentIndex(), 3);
    EXPECT_EQ(w.cmbTT->currentIndex(), 2);
    EXPECT_EQ(w.cmbMoveMode->currentIndex(), 1);
    EXPECT_EQ(w.cmbMoveMethod->currentIndex(), 11);
    EXPECT_EQ(w.cmbNOT->currentIndex(), 3);
    EXPECT_EQ(w.cmbCountry->currentIndex(), 25);
    EXPECT_EQ(w.txtSA->text(), "3");
    EXPECT_EQ(w.txtHA->text(), "3");
    EXPECT_EQ(w.txtF->text(), "40");
    EXPECT_EQ(w.txtPC->text(), "300");
    EXPECT_EQ(w.txtMA->text(), "4");
    EXPECT_EQ(w.txtYA->text(), "41");
    EXPECT_EQ(w.txtYE->text(), "45");
    EXPECT_EQ(w.txtUS->text(), "5");
    EXPECT_EQ(w.txtUnk[7]->text(), "9");
    EXPECT_EQ(w.txtIcon->text(), "ic3");
    EXPECT_EQ(w.txtAttackSound->text(), "-7");
    EXPECT_EQ(w.txtDeathSound->text(), "3");
    EXPECT_TRUE(w.chkUS[1]->isChecked());
    EXPECT_FALSE(w.chkUS[2]->isChecked());
    EXPECT_TRUE(w.chkUS[3]->isChecked());
    EXPECT_EQ(w.cmbMoveMethod->count(), 12);
    EXPECT_EQ(w.cmbClass->count(), 22);
    EXPECT_EQ(w.cmbCountry->count(), 26);
    EXPECT_EQ(w.cmbClass->itemText(1).toStdString(), ClassNames[1]);
}

TEST_F(PropertiesWindow, CombosFilledOncePerLoad) {
    load(3);
    show(2);
    show(3);
    EXPECT_EQ(mdlGeneral::propertiesWindow()->cmbClass->count(), 22);
    mdlGeneral::propertiesWindow()->close();
    EXPECT_EQ(mdlGeneral::propertiesWindow(), nullptr);
    frmEquipment& again = show(2);
    EXPECT_EQ(again.cmbCountry->count(), 26);
    EXPECT_EQ(again.cmbTT->count(), 4);
}

TEST_F(PropertiesWindow, EnabledStatesAtTheEnds) {
    load(5);
    frmEquipment& w = show(1);
    EXPECT_FALSE(w.cmdPrevious->isEnabled());
    EXPECT_TRUE(w.cmdNext->isEnabled());
    w.cmdLast_Click();
    EXPECT_TRUE(w.cmdPrevious->isEnabled());
    EXPECT_FALSE(w.cmdNext->isEnabled());
    EXPECT_TRUE(w.cmdFirst->isEnabled());
    EXPECT_TRUE(w.cmdLast->isEnabled());
}

TEST_F(PropertiesWindow, SingleRecordDisablesBothSteps) {
    load(1);
    frmEquipment& w = show(1);
    EXPECT_FALSE(w.cmdPrevious->isEnabled());
    EXPECT_FALSE(w.cmdNext->isEnabled());
}

TEST_F(PropertiesWindow, CodeWithoutItemShowsNumberAndSurvivesCommit) {
    load(3);
    Equipment odd = item(2);
    odd.setEqClass(22);
    odd.setMovementMode(12);
    odd.setCountry(40);
    CopyEquipment(*mdlGeneral::gEquipments().Item(2), odd);
    frmEquipment& w = show(2);
    EXPECT_EQ(w.cmbClass->currentIndex(), -1);
    EXPECT_EQ(w.cmbClass->currentText(), "22");
    EXPECT_EQ(w.cmbCountry->currentText(), "40");
    mdlGeneral::CommitEquipmentDetails();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(item(2).EqClass(), 22);
    EXPECT_EQ(item(2).MovementMode(), 12);
    EXPECT_EQ(item(2).Country(), 40);
}

// A mask that names no country is shown as its digits, in the grid and with
// no country selected here; a commit of other fields keeps it, a chosen
// country replaces it.
TEST_F(PropertiesWindow, UnknownCountryMaskIsShownAndKept) {
    load(3);
    const int country = static_cast<int>(Field::Country);
    mdlGeneral::gEquipments().Item(2)->setUnknownMask({0x60, 0, 0, 0});
    EXPECT_EQ(grid().TextMatrix(2, country), "60000000");
    frmEquipment& w = show(2);
    EXPECT_EQ(w.cmbCountry->currentIndex(), -1);
    EXPECT_EQ(w.cmbCountry->currentText(), "60000000");
    w.txtSA->setText("77");
    mdlGeneral::CommitEquipmentDetails();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(item(2).SoftAttack(), 77);
    ASSERT_TRUE(item(2).hasUnknownMask());
    EXPECT_EQ(*item(2).MaskAsRead(), (Equipment::MaskBytes{0x60, 0, 0, 0}));
    EXPECT_EQ(grid().TextMatrix(2, country), "60000000");

    w.cmbCountry->setCurrentIndex(3);
    mdlGeneral::CommitEquipmentDetails();
    EXPECT_FALSE(item(2).hasUnknownMask());
    EXPECT_EQ(item(2).Country(), 3);
    EXPECT_EQ(grid().TextMatrix(2, country), CountryNames[3]);
}

TEST_F(PropertiesWindow, CommitReadings) {
    struct Case {
        QLineEdit* frmEquipment::*box;
        const char* text;
        Field field;
        std::int64_t stored;
    };
    const Case cases[] = {
        {&frmEquipment::txtSA, "12.5", Field::SoftAttack, 12},
        {&frmEquipment::txtSA, "13.5", Field::SoftAttack, 14},
        {&frmEquipment::txtSA, "7 tanks", Field::SoftAttack, 7},
        {&frmEquipment::txtSA, "tanks", Field::SoftAttack, 0},
        {&frmEquipment::txtSA, "", Field::SoftAttack, 0},
        {&frmEquipment::txtEqCode, " 42 ", Field::EqCode, 42},
        {&frmEquipment::txtEqCode, "4.5", Field::EqCode, 4},
        {&frmEquipment::txtPC, "300", Field::PrestigeCost, 300},
        {&frmEquipment::txtUS, "70000", Field::UnitSpecial, 70000},
        {&frmEquipment::txtAttackSound, "-3", Field::AttackSound, -3},
    };
    load(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        frmEquipment& w = show(2);
        (w.*c.box)->setText(QString::fromLatin1(c.text));
        mdlGeneral::CommitEquipmentDetails();
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(item(2).number(static_cast<int>(c.field)), c.stored);
        EXPECT_EQ(item(2).LastPart(), "tail");
    }
}

TEST_F(PropertiesWindow, CommitRebuildsTheGridRowEvenWithCodeZero) {
    load(3);
    frmEquipment& w = show(3);
    const int rows = grid().Rows();
    w.txtName->setText("Renamed");
    w.cmbClass->setCurrentIndex(5);
    mdlGeneral::CommitEquipmentDetails();
    EXPECT_EQ(grid().Rows(), rows);
    EXPECT_EQ(grid().TextMatrix(3, 1), "Renamed");
    EXPECT_EQ(grid().TextMatrix(3, 2), ClassNames[5]);
    EXPECT_EQ(shownTitle(w), "Renamed");
    w.txtEqCode->setText("0");
    w.txtName->setText("Zero");
    mdlGeneral::CommitEquipmentDetails();
    EXPECT_EQ(item(3).EqCode(), 0);
    EXPECT_EQ(grid().TextMatrix(3, 0), "0");
    EXPECT_EQ(grid().TextMatrix(3, 1), "Zero");
}

TEST_F(PropertiesWindow, FirstRecordIsRefused) {
    load(3);
    frmEquipment& w = show(1);
    w.txtName->setText("Changed");
    mdlGeneral::CommitEquipmentDetails();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Can't update equipment number 0");
    EXPECT_EQ(item(1).EqName(), "Unit0");
    EXPECT_EQ(grid().TextMatrix(1, 1), "Unit0");
}

TEST_F(PropertiesWindow, RefusedControlWritesNothing) {
    struct Case {
        const char* control;
        QString text;
        const char* caption;
        const char* range;  // what the message ends with
    };
    const Case cases[] = {
        {"txtEqCode", "abc", "Equipment number", "N takes 0 to 32767."},
        {"txtEqCode", "", "Equipment number", "N takes 0 to 32767."},
        {"txtSA", "300", "Soft Attack", "SA takes 0 to 255."},
        {"txtUnk3", "-1", "Unknown3", "Unk3 takes 0 to 255."},
        {"txtPC", "99999999999", "Prestige Cost", "P takes 0 to 3065."},
        {"txtName", QString::fromUtf8("\u03a9mega"), "Name",
         "Name takes the characters of the Windows-1252 code page."},
        {"cmbClass", "Nonsense", "Class", "CL takes one of the words in its list."},
        {"cmbCountry", "", "Country", "Co takes one of the words in its list."},
        {"txtDeathSound", "1 2", "Death Sound", "DS takes 0 to 32767."},
    };
    load(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        messages.clear();
        frmEquipment& w = show(2);
        const Equipment before = item(2);
        w.txtHA->setText("77");  // an earlier good control must not be written either
        QWidget* control = w.findChild<QWidget*>(QLatin1String(c.control));
        ASSERT_NE(control, nullptr);
        if (auto* box = qobject_cast<QLineEdit*>(control))
            box->setText(c.text);
        else
            qobject_cast<QComboBox*>(control)->setEditText(c.text);
        mdlGeneral::CommitEquipmentDetails();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].startsWith(QLatin1String(c.caption))) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(QLatin1String("is not a value this property can hold.")));
        EXPECT_TRUE(messages[0].endsWith(QLatin1String(c.range))) << messages[0].toStdString();
        EXPECT_TRUE(item(2) == before);
        EXPECT_EQ(grid().TextMatrix(2, 4), "3");
        EXPECT_EQ(w.focusWidget(), control);
    }
}

TEST_F(PropertiesWindow, NewRecordDefaults) {
    load(3);
    frmEquipment& w = show(2);
    w.cmdNew_Click();
    ASSERT_EQ(mdlGeneral::gEquipments().Count(), 4);
    const Equipment& e = item(4);
    EXPECT_EQ(e.EqCode(), 3);
    EXPECT_EQ(e.EqName(), "");
    EXPECT_EQ(e.EqClass(), 1);
    EXPECT_EQ(e.TargetType(), 1);
    EXPECT_EQ(e.MoveMode(), 1);
    EXPECT_EQ(e.MovementMode(), 1);
    EXPECT_EQ(e.MonthAvail(), 1);
    EXPECT_EQ(e.YearAvail(), 39);
    EXPECT_EQ(e.YearExpire(), 50);
    EXPECT_EQ(e.NonOrganicTransport(), 1);
    EXPECT_EQ(e.Country(), 1);
    EXPECT_EQ(e.UnitSpecial(), 1);
    EXPECT_EQ(e.AttackSound(), 1);
    EXPECT_EQ(e.MoveSound(), 1);
    EXPECT_EQ(e.DeathSound(), 1);
    EXPECT_EQ(e.SoftAttack(), 0);
    EXPECT_EQ(e.PrestigeCost(), 0);
    EXPECT_EQ(grid().Rows(), 5);
    EXPECT_EQ(grid().Row(), 4);
    EXPECT_EQ(mdlGeneral::gCurrentIndex, 4);
    EXPECT_EQ(w.txtRowMeter->text(), "4 / 4");
    EXPECT_EQ(w.cmbClass->currentText().toStdString(), ClassNames[1]);
    EXPECT_FALSE(w.cmdNext->isEnabled());
    EXPECT_TRUE(w.cmdPrevious->isEnabled());
    EXPECT_TRUE(w.chkUS[1]->isChecked());
}

TEST_F(PropertiesWindow, NewRecordOnEmptyList) {
    auto* w = new frmEquipment(list.get());
    w->cmdNew_Click();
    ASSERT_EQ(mdlGeneral::gEquipments().Count(), 1);
    EXPECT_EQ(item(1).EqCode(), 0);
    EXPECT_EQ(w->txtRowMeter->text(), "1 / 1");
}

TEST_F(PropertiesWindow, NavigationStartsFromTheGridRow) {
    load(20);
    frmEquipment& w = show(4);
    grid().setRow(10);  // a click in the list without a double-click
    w.cmdNext_Click();
    EXPECT_EQ(mdlGeneral::gCurrentIndex, 11);
    EXPECT_EQ(w.txtName->text(), "Unit10");
    w.cmdPrevious_Click();
    EXPECT_EQ(mdlGeneral::gCurrentIndex, 10);
    w.cmdLast_Click();
    EXPECT_EQ(w.txtRowMeter->text(), "20 / 20");
    w.cmdNext_Click();
    EXPECT_EQ(mdlGeneral::gCurrentIndex, 20);
    w.txtName->setText("edited");
    updateAnswers = {UpdateEditsAnswer::Discard};
    w.cmdFirst_Click();
    EXPECT_EQ(w.txtRowMeter->text(), "1 / 20");
    EXPECT_EQ(item(20).EqName(), "Unit19");
    w.txtName->setText("edited");
    updateAnswers = {UpdateEditsAnswer::Discard};
    w.cmdFirst_Click();  // re-shows, the edit dropped as the user chose
    EXPECT_EQ(w.txtName->text(), "Unit0");
    EXPECT_EQ(updateQuestions, 2);
    w.cmdPrevious_Click();
    EXPECT_EQ(grid().Row(), 1);
}

// The keys reach the commands from whichever control has the focus.
TEST_F(PropertiesWindow, ShortcutsRunTheirCommands) {
    load(10);
    frmEquipment& w = show(5);
    w.show();
    QApplication::setActiveWindow(&w);
    w.txtName->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    const struct {
        const char* keys;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        long index;  // gCurrentIndex afterwards
    } cases[] = {
        {"Alt+Right", Qt::Key_Right, Qt::AltModifier, 6},
        {"Alt+Left", Qt::Key_Left, Qt::AltModifier, 5},
        {"Alt+End", Qt::Key_End, Qt::AltModifier, 10},
        {"Alt+Home", Qt::Key_Home, Qt::AltModifier, 1},
        {"Ctrl+N", Qt::Key_N, Qt::ControlModifier, 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        QTest::keyClick(QApplication::focusWidget(), c.key, c.modifiers);
        EXPECT_EQ(mdlGeneral::gCurrentIndex, c.index);
    }
    for (Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
        w.txtName->setText(enter == Qt::Key_Return ? "by Return" : "by Enter");
        QTest::keyClick(w.txtSA, enter, Qt::ControlModifier);
        EXPECT_EQ(item(11).EqName(), w.txtName->text().toStdString());
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(PropertiesWindow, NoRecordRowsNothingHappens) {
    auto* w = new frmEquipment(list.get());
    w->txtName->setText("untouched");
    w->cmdFirst_Click();
    w->cmdLast_Click();
    grid().setRow(0);
    mdlGeneral::ShowEquipmentDetails();
    EXPECT_EQ(mdlGeneral::gCurrentIndex, 0);
    EXPECT_EQ(w->txtName->text(), "untouched");
}

TEST_F(PropertiesWindow, UnitSpecialBoxesFollowTheText) {
    load(2);
    frmEquipment& w = show(2);
    auto ticked = [&] {
        std::vector<int> on;
        for (int i = 1; i <= 16; ++i)
            if (w.chkUS[i]->isChecked())
                on.push_back(i);
        return on;
    };
    w.txtUS->setText("5");
    EXPECT_EQ(ticked(), (std::vector<int>{1, 3}));
    w.chkUS[4]->setChecked(true);
    EXPECT_EQ(w.txtUS->text(), "13");
    w.chkUS[1]->setChecked(false);
    EXPECT_EQ(w.txtUS->text(), "12");
    w.txtUS->setText("65536");
    EXPECT_EQ(ticked().size(), 16u);
    EXPECT_EQ(w.txtUS->text(), "65536");  // the boxes never write back by themselves
    w.chkUS[2]->setChecked(false);
    EXPECT_EQ(w.txtUS->text(), "65533");
    w.txtUS->setText("-1");
    EXPECT_TRUE(ticked().empty());
    w.txtUS->setText("6");
    for (const char* typing : {"", "-", "abc"}) {
        w.txtUS->setText(typing);
        EXPECT_EQ(ticked(), (std::vector<int>{2, 3})) << typing;
    }
    EXPECT_FALSE(mdlGeneral::gUpdatingChecks);
}

TEST_F(PropertiesWindow, DecomposeUnitSpecial) {
    const struct {
        std::int32_t value;
        int set;
    } cases[] = {{0, 0}, {5, 2}, {65535, 16}, {65536, 16}, {INT32_MAX, 16}, {-1, 0}, {32768, 1}};
    for (const auto& c : cases) {
        mdlGeneral::DecomposeUnitSpecial(c.value);
        int set = 0;
        for (int i = 1; i <= 16; ++i)
            set += mdlGeneral::gSpecialBits[i];
        EXPECT_EQ(set, c.set) << c.value;
    }
}

TEST_F(PropertiesWindow, SpinnersCountFromTheirBox) {
    load(2);
    frmEquipment& w = show(2);
    auto* pc = w.findChild<UpDown*>("UDtxtPC");
    ASSERT_NE(pc, nullptr);
    w.txtPC->setText("300");
    pc->stepUp();
    EXPECT_EQ(w.txtPC->text(), "312");
    w.txtPC->setText("65515");
    pc->stepUp();
    EXPECT_EQ(w.txtPC->text(), "65520");
    auto* fuel = w.findChild<UpDown*>("UDtxtF");
    ASSERT_NE(fuel, nullptr);
    w.txtF->setText("7");
    fuel->stepDown();
    EXPECT_EQ(w.txtF->text(), "6");
    w.txtMA->setText("10");
    w.UpDown16->stepUp();
    EXPECT_EQ(w.txtMA->text(), "10");
    w.txtYA->setText("0");
    w.UpDown17->stepDown();
    EXPECT_EQ(w.txtYA->text(), "0");
}

TEST_F(PropertiesWindow, ControlsAreNamedForScreenReaders) {
    load(2);
    frmEquipment& w = show(2);
    EXPECT_EQ(w.cmdNew->accessibleName(), "New equipment");
    EXPECT_EQ(w.cmdLast->toolTip(), "Last record");
    EXPECT_EQ(w.txtF->accessibleName(), "Fuel");
    EXPECT_EQ(w.txtMA->accessibleName(), "Month Available");
    EXPECT_EQ(w.txtUnk[0]->accessibleName(), "Unknown0");
    EXPECT_EQ(w.txtRowMeter->accessibleName(), "Record");
    EXPECT_EQ(w.chkUS[10]->accessibleName(), "Treat all ground as clear terrain");
    for (const char* frame : {"Frame1", "Frame6", "Frame8"})
        EXPECT_NE(w.findChild<QWidget*>(frame), nullptr) << frame;
}

}  // namespace

namespace {

// The widest values in the properties window show in full; KESTREL_GRAB=file
// keeps a picture of it.
TEST_F(PropertiesWindow, TheWidestValuesShowInFull) {
    const QString path = qEnvironmentVariable("KESTREL_GRAB");
    load(5);
    Equipment wide = sample(3);
    wide.setEqName("Panzer IV Ausf. H");
    wide.setPrestigeCost(65520);
    wide.setUnitSpecial(0x255);
    CopyEquipment(*mdlGeneral::gEquipments().Item(4), wide);
    frmEquipment& w = show(4);
    kestrel_test::expectNothingClipped(w);
    if (!path.isEmpty())
        w.grab().save(path);
}

}  // namespace
