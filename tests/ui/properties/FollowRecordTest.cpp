#include <QUndoStack>
#include <functional>

#include "ui/document/Document.h"
#include "ui/list/ListCommands.h"
#include "ui/properties/PropertiesFixture.h"

using kestrel_test::PropertiesWindow;
using kestrel_test::shownTitle;
using namespace kestrel;
using namespace kestrel::ui;

TEST_F(PropertiesWindow, FollowsItsRecordThroughCommandsUndoAndRedo) {
    load(6);
    frmEquipment& w = show(3);  // Unit2
    w.txtSA->setText("77");
    w.txtSA->setModified(true);  // typed, not yet committed
    w.cmbClass->setCurrentIndex(7);
    emit w.cmbClass->activated(7);  // chosen from the list
    w.UpDown16->stepUp();           // month 4 to 5 by its spinner
    QUndoStack& stack = *mdlGeneral::document().undoStack();
    auto expectShown = [&](int position, const char* step) {
        EXPECT_EQ(mdlGeneral::gCurrentIndex, position) << step;
        EXPECT_EQ(w.txtRowMeter->text(),
                  QStringLiteral("%1 / %2").arg(position).arg(mdlGeneral::gEquipments().Count()))
            << step;
        EXPECT_EQ(shownTitle(w), "Unit2*") << step;  // marked: it keeps edits
        EXPECT_EQ(w.txtName->text(), "Unit2") << step;
        EXPECT_EQ(w.txtSA->text(), "77") << step;
        EXPECT_EQ(w.cmbClass->currentIndex(), 7) << step;
        EXPECT_EQ(w.txtMA->text(), "5") << step;
    };
    cmdDown_Click();
    expectShown(4, "move down");
    stack.undo();
    expectShown(3, "undo move");
    stack.redo();
    expectShown(4, "redo move");
    grid().setRow(2);
    cmdCut_Click();
    expectShown(3, "cut above");
    stack.undo();
    expectShown(4, "undo cut");
    // Codes 0 1 3 2 4 5 sort back: the record returns to position 3.
    cmdSort_Click();
    expectShown(3, "sort");
    // A commit writes into the record shown, wherever the grid stands.
    grid().setRow(6);
    mdlGeneral::CommitEquipmentDetails();
    EXPECT_EQ(item(3).SoftAttack(), 77);
    EXPECT_EQ(item(3).EqName(), "Unit2");
    stack.undo();
    EXPECT_EQ(item(3).SoftAttack(), 2);
    EXPECT_EQ(w.txtSA->text(), "2");  // committed, so the undo shows through
    stack.redo();
    EXPECT_EQ(w.txtSA->text(), "77");
    grid().setRow(3);
    cmdCut_Click();
    EXPECT_EQ(mdlGeneral::propertiesWindow(), nullptr);
}

TEST_F(PropertiesWindow, ClosesWhenItsNewRecordIsUndoneOrAPairIsLoaded) {
    load(3);
    frmEquipment& w = show(2);
    w.cmdNew_Click();
    EXPECT_EQ(mdlGeneral::gCurrentIndex, 4);
    EXPECT_EQ(w.txtRowMeter->text(), "4 / 4");
    mdlGeneral::document().undoStack()->undo();
    EXPECT_EQ(mdlGeneral::propertiesWindow(), nullptr);
    EXPECT_EQ(mdlGeneral::gEquipments().Count(), 3);

    show(1);
    mdlGeneral::ResetEquipments();
    EXPECT_EQ(mdlGeneral::propertiesWindow(), nullptr);
}

TEST_F(PropertiesWindow, UnchangedCommitAndRefusedCommitPutNothingOnTheStack) {
    load(3);
    frmEquipment& w = show(2);
    mdlGeneral::CommitEquipmentDetails();
    EXPECT_EQ(mdlGeneral::document().undoStack()->count(), 0);
    w.txtSA->setText("999");
    mdlGeneral::CommitEquipmentDetails();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(mdlGeneral::document().undoStack()->count(), 0);
    EXPECT_FALSE(list->isModified());
}

TEST_F(PropertiesWindow, NameBoxTakesNamesOfAnyLength) {
    load(2);
    frmEquipment& w = show(2);
    const std::string name(40000, 'n');
    w.txtName->setText(QString::fromStdString(name));
    mdlGeneral::CommitEquipmentDetails();
    EXPECT_EQ(item(2).EqName(), name);
}

TEST_F(PropertiesWindow, TitleFollowsTheNameOnCommitUndoAndRedo) {
    load(4);
    frmEquipment& w = show(3);
    w.show();
    QUndoStack& stack = *mdlGeneral::document().undoStack();
    w.txtName->setText("Renamed");
    w.txtName->setModified(true);
    const struct {
        const char* step;
        std::function<void()> act;
        const char* title;
    } steps[] = {
        {"commit", [] { mdlGeneral::CommitEquipmentDetails(); }, "Renamed"},
        {"undo", [&] { stack.undo(); }, "Unit2"},
        {"redo", [&] { stack.redo(); }, "Renamed"},
        {"undo again", [&] { stack.undo(); }, "Unit2"},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(shownTitle(w), QLatin1String(s.title)) << s.step;
        EXPECT_EQ(w.txtName->text(), QLatin1String(s.title)) << s.step;
    }
}
