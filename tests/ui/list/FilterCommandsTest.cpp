#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

#include "storage/ClipboardText.h"
#include "text/CodePage.h"
#include "ui/NothingClipped.h"
#include "ui/document/Document.h"
#include "ui/document/ListFixture.h"
#include "ui/list/BulkCommands.h"
#include "ui/list/FilterBar.h"
#include "ui/list/ListCommands.h"
#include "ui/list/RecordCounts.h"
#include "ui/list/RecordRows.h"
#include "ui/list/SetValueDialog.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"
#include "ui/properties/frmEquipment.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

// Twelve records; every third is German (country 7), the others Italian or British.
struct FilteredList : ListFixture {
    std::vector<Equipment> records;

    void SetUp() override {
        ListFixture::SetUp();
        std::mt19937 random(14);
        for (int i = 1; i <= 12; ++i) {
            Equipment e = madeUp(random, i);
            e.setCountry(i % 3 == 0 ? 7 : (i % 3 == 1 ? 12 : 22));
            records.push_back(e);
        }
        load(records);
        proxyTester = std::make_unique<QAbstractItemModelTester>(
            grid().model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    void TearDown() override {
        proxyTester.reset();
        ListFixture::TearDown();
    }
    std::unique_ptr<QAbstractItemModelTester> proxyTester;
    void filter(const QString& text) { window->filterBar().edit()->setText(text); }
    QString counts() const { return window->recordCounts().text(); }
    QUndoStack& stack() { return *mdlGeneral::document().undoStack(); }
    std::vector<Equipment> clipboardRecords() {
        const QByteArray utf8 = QGuiApplication::clipboard()->text().toUtf8();
        ClipboardDecodeResult decoded =
            DecodeClipboardText(*Utf8ToCodePage(std::string_view(utf8.constData(), utf8.size())));
        return decoded.records;
    }
    std::vector<Equipment> at(const std::vector<int>& positions) const {
        std::vector<Equipment> out;
        for (int p : positions)
            out.push_back(records[static_cast<std::size_t>(p - 1)]);
        return out;
    }
};

TEST_F(FilteredList, FilterKeepsMatchingRowsInOrderAndClearingKeepsTheSelection) {
    EXPECT_EQ(counts(), QStringLiteral("12 records"));
    filter(QStringLiteral("Co=Germany"));
    ASSERT_EQ(grid().Rows(), 5);
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(mdlGeneral::PositionOfRow(row), 3 * row);
        EXPECT_EQ(grid().DisplayText(row, 30), QStringLiteral("Germany"));
    }
    EXPECT_FALSE(window->findChild<QToolButton*>(QStringLiteral("cmdUp"))->isEnabled());

    grid().setSelectedRows({2, 4}, 4);
    EXPECT_EQ(counts(), QStringLiteral("4 of 12 shown, 2 selected"));
    QTest::keyClick(window->filterBar().edit(), Qt::Key_Escape);
    EXPECT_TRUE(window->filterBar().edit()->text().isEmpty());
    ASSERT_EQ(grid().Rows(), 13);
    EXPECT_EQ(mdlGeneral::SelectedPositions(), (std::vector<std::int32_t>{6, 12}));
    EXPECT_EQ(mdlGeneral::PositionOfRow(grid().Row()), 12);
    EXPECT_TRUE(window->findChild<QToolButton*>(QStringLiteral("cmdUp"))->isEnabled());
}

TEST_F(FilteredList, AnUnreadableTermMarksTheBarAndLeavesTheGrid) {
    filter(QStringLiteral("Co=Italy"));
    ASSERT_EQ(grid().Rows(), 5);
    filter(QStringLiteral("Co=Italy Foo>3"));
    QLineEdit* edit = window->filterBar().edit();
    EXPECT_NE(window->filterBar().error().indexOf(QStringLiteral("\"Foo\" is not a column")), -1);
    EXPECT_EQ(edit->toolTip(), window->filterBar().error());
    EXPECT_NE(edit->styleSheet().indexOf(QStringLiteral("border")), -1);
    EXPECT_EQ(grid().Rows(), 5);
    filter(QStringLiteral("Co=Italy SA>3"));
    EXPECT_TRUE(window->filterBar().error().isEmpty());
    EXPECT_TRUE(edit->styleSheet().isEmpty());
}

TEST_F(FilteredList, FilteredCopyAndCutTakeTheSelectedShownRecordsAndUndoPutsThemBack) {
    filter(QStringLiteral("Co=Germany"));
    // Rows 1 and 3 of the filter, picked one by one: records 3 and 9.
    grid().setRow(1);
    QTableView* view = grid().view();
    const QRect third = view->visualRect(view->model()->index(2, 5));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, third.center());
    EXPECT_EQ(mdlGeneral::SelectedPositions(), (std::vector<std::int32_t>{3, 9}));

    cmdCopy_Click();
    EXPECT_EQ(fileBytes(clipboardRecords()), fileBytes(at({3, 9})));

    cmdCut_Click();
    EXPECT_EQ(stack().undoText(), QStringLiteral("Cut of 2 records"));
    std::vector<Equipment> rest = records;
    rest.erase(rest.begin() + 8);
    rest.erase(rest.begin() + 2);
    EXPECT_EQ(fileBytes(current()), fileBytes(rest));
    EXPECT_EQ(grid().Rows(), 3);  // records 6 and 12 still shown

    stack().undo();
    window->filterBar().clear();
    expectList(records, "undo of the filtered cut");
    stack().redo();
    expectList(rest, "redo");
}

TEST_F(FilteredList, SetValueChangesOnlyThatFieldOfTheSelectedRecords) {
    const std::string before = fileBytes(records);
    SetValueDialog dialog({1, 4, 7});
    dialog.fieldBox()->setCurrentIndex(
        dialog.fieldBox()->findData(static_cast<int>(Field::SoftAttack)));
    QLabel* scope = dialog.findChild<QLabel*>(QStringLiteral("lblScope"));
    ASSERT_NE(scope, nullptr);
    EXPECT_NE(scope->text().indexOf(QStringLiteral("never changed")), -1);

    // A result a record cannot hold: refused, naming it, nothing changed.
    dialog.valueBox()->setText(QStringLiteral("+250"));
    EXPECT_FALSE(dialog.tryApply());
    EXPECT_NE(dialog.messageLabel()->text().indexOf(QStringLiteral("on record 4")), -1);
    EXPECT_EQ(fileBytes(current()), before);
    EXPECT_EQ(stack().count(), 0);

    dialog.valueBox()->setText(QStringLiteral("+2"));
    ASSERT_TRUE(dialog.tryApply());
    EXPECT_EQ(stack().undoText(), QStringLiteral("Set SA on 2 records"));
    std::vector<Equipment> changed = records;
    for (int p : {4, 7}) {
        Equipment& e = changed[static_cast<std::size_t>(p - 1)];
        e.setSoftAttack(static_cast<Byte>(e.SoftAttack() + 2));
    }
    expectList(changed, "set value");
    stack().undo();
    expectList(records, "undo of set value");
    stack().redo();
    expectList(changed, "redo of set value");
}

TEST_F(FilteredList, DeleteDuplicateAndMoveToAreStepsThatLeavePositionOne) {
    grid().setSelectedRows({1, 2, 5}, 5);
    cmdDelete_Click();  // record 1 stays
    std::vector<Equipment> deleted = records;
    deleted.erase(deleted.begin() + 4);
    deleted.erase(deleted.begin() + 1);
    expectList(deleted, "delete");

    stack().undo();
    expectList(records, "undo of delete");

    grid().setSelectedRows({3, 4}, 3);
    DuplicateSelected();
    std::vector<Equipment> duplicated = records;
    duplicated.insert(duplicated.begin() + 4, {records[2], records[3]});
    expectList(duplicated, "duplicate");
    EXPECT_EQ(mdlGeneral::SelectedPositions(), (std::vector<std::int32_t>{5, 6}));
    stack().undo();
    expectList(records, "undo of duplicate");

    grid().setSelectedRows({10, 12}, 10);
    ASSERT_TRUE(MoveSelectedTo(2));
    std::vector<Equipment> moved = records;
    moved.erase(moved.begin() + 11);
    moved.erase(moved.begin() + 9);
    moved.insert(moved.begin() + 1, {records[9], records[11]});
    expectList(moved, "move to");
    stack().undo();
    expectList(records, "undo of move to");

    // Nothing goes into position 1, nor comes out of it.
    grid().setSelectedRows({3}, 3);
    EXPECT_FALSE(MoveSelectedTo(1));
    grid().setSelectedRows({1, 3}, 3);
    EXPECT_FALSE(MoveSelectedTo(5));
    expectList(records, "refused moves");
    EXPECT_EQ(messages.size(), 2u);
}

// Undo and redo put the selection back on the same records, whatever rows
// a filter put on or taken off since shows them on.
TEST_F(FilteredList, UndoAndRedoSelectTheSameRecordsWhateverTheFilterShows) {
    filter(QStringLiteral("Co=Germany"));  // records 3, 6, 9 and 12 on rows 1 to 4
    grid().setSelectedRows({2}, 2);
    DuplicateSelected();  // the copy of record 6 becomes record 7
    window->filterBar().clear();
    grid().setSelectedRows({1}, 1);
    stack().undo();
    EXPECT_EQ(mdlGeneral::SelectedPositions(), (std::vector<std::int32_t>{6}));
    stack().redo();
    EXPECT_EQ(mdlGeneral::SelectedPositions(), (std::vector<std::int32_t>{7}));

    grid().setSelectedRows({10}, 10);  // record 10, the German that was 9
    DuplicateSelected();
    filter(QStringLiteral("Co=Germany"));
    grid().setSelectedRows({1}, 1);
    stack().undo();
    EXPECT_EQ(mdlGeneral::SelectedPositions(), (std::vector<std::int32_t>{10}));
    // A record the filter hides: the first shown one after it instead.
    const Long hidden = mdlGeneral::gEquipments().Item(10)->EqCode();
    filter(QStringLiteral("Co=Germany N!=%1").arg(hidden));
    stack().redo();
    stack().undo();
    EXPECT_EQ(mdlGeneral::SelectedPositions().size(), 1u);
    EXPECT_GT(mdlGeneral::SelectedPositions()[0], 10);
}

TEST_F(FilteredList, GoToFindsAPositionOrACodeAndClearsAFilterThatHidesIt) {
    struct Case {
        const char* text;
        std::int32_t position;
    } cases[] = {{"12", 12}, {" 3 ", 3}, {"0", 0}, {"13", 0}, {"abc", 0}, {"SA=3", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(GoToTarget(QString::fromLatin1(c.text)), c.position) << c.text;
    const std::string code = "N=" + std::to_string(records[6].EqCode());
    EXPECT_EQ(GoToTarget(QString::fromStdString(code)), 7);

    filter(QStringLiteral("Co=Germany"));
    window->selectRecord(7);
    EXPECT_TRUE(window->filterBar().edit()->text().isEmpty());
    EXPECT_EQ(mdlGeneral::SelectedPositions(), (std::vector<std::int32_t>{7}));
    filter(QStringLiteral("Co=Germany"));
    window->selectRecord(9);  // shown: the filter stays
    EXPECT_FALSE(window->filterBar().edit()->text().isEmpty());
    EXPECT_EQ(mdlGeneral::PositionOfRow(grid().Row()), 9);
}

TEST_F(FilteredList, KeysSelectAmongTheShownRowsAndOpenTheCurrentRecord) {
    filter(QStringLiteral("Co=Germany"));
    QTableView* view = grid().view();
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::vector<std::int32_t> selected;
    } cases[] = {
        {Qt::Key_End, Qt::ControlModifier, {12}},  {Qt::Key_Home, Qt::ControlModifier, {3}},
        {Qt::Key_Down, Qt::NoModifier, {6}},       {Qt::Key_A, Qt::ControlModifier, {3, 6, 9, 12}},
        {Qt::Key_Down, Qt::ShiftModifier, {6, 9}},
    };
    for (const Case& c : cases) {
        QTest::keyClick(view, c.key, c.modifiers);
        EXPECT_EQ(mdlGeneral::SelectedPositions(), c.selected) << c.key;
    }
    // Enter opens the current row's record, and the arrows step through the shown rows.
    QTest::keyClick(view, Qt::Key_Return);
    frmEquipment* properties = mdlGeneral::propertiesWindow();
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(mdlGeneral::gCurrentIndex, 6);
    properties->cmdNext_Click();
    EXPECT_EQ(mdlGeneral::gCurrentIndex, 9);

    // A sort acts on the whole list; the filter stays on.
    cmdSortbyCountry_Click();
    EXPECT_EQ(grid().Rows(), 5);
    for (int row = 1; row < grid().Rows(); ++row)
        EXPECT_EQ(grid().DisplayText(row, 30), QStringLiteral("Germany"));
}

TEST_F(FilteredList, HeadingsNameTheirFieldInFull) {
    QAbstractItemModel* model = grid().model();
    EXPECT_EQ(model->headerData(22, Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("Unknown1"));
    EXPECT_EQ(model->headerData(21, Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("Prestige Cost"));
    EXPECT_EQ(model->headerData(3, Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("Soft Attack"));
}

}  // namespace

namespace {

// The filtered list, a filter that cannot be read and the Set value dialog
// refusing a value show every text in full; KESTREL_GRAB=prefix keeps
// pictures of them.
TEST_F(FilteredList, FilterAndSetValueShowEveryTextInFull) {
    const QString path = qEnvironmentVariable("KESTREL_GRAB");
    window->show();
    filter(QStringLiteral("Co=Germany SA>=1"));
    grid().setSelectedRows({1, 3}, 3);
    QTest::qWait(100);
    kestrel_test::expectNothingClipped(*window);
    if (!path.isEmpty())
        window->grab().save(path + QStringLiteral("-list.png"));
    filter(QStringLiteral("Co=Germany SA>=x"));
    QTest::qWait(100);
    EXPECT_FALSE(window->filterBar().error().isEmpty());
    kestrel_test::expectNothingClipped(*window);
    if (!path.isEmpty())
        window->grab().save(path + QStringLiteral("-bad.png"));
    SetValueDialog dialog({1, 3, 6});
    dialog.fieldBox()->setCurrentIndex(
        dialog.fieldBox()->findData(static_cast<int>(Field::SoftAttack)));
    dialog.valueBox()->setText(QStringLiteral("+300"));
    dialog.show();
    dialog.tryApply();
    QTest::qWait(100);
    kestrel_test::expectNothingClipped(dialog);
    if (!path.isEmpty())
        dialog.grab().save(path + QStringLiteral("-setvalue.png"));
}

}  // namespace
