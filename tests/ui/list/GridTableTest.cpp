#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTableView>
#include <QTest>
#include <QUndoStack>
#include <random>

#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "ui/document/Document.h"
#include "ui/document/ListFixture.h"
#include "ui/list/CellEditor.h"
#include "ui/list/ColumnLayout.h"
#include "ui/list/FilterBar.h"
#include "ui/list/ListActions.h"
#include "ui/list/ListCommands.h"
#include "ui/list/RecordRows.h"
#include "ui/list/SetValueDialog.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"
#include "ui/properties/frmEquipment.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

// Twelve records; every third is German (country 7).
struct GridTable : ListFixture {
    std::vector<Equipment> records;

    void SetUp() override {
        ListFixture::SetUp();
        std::mt19937 random(24);
        for (int i = 1; i <= 12; ++i) {
            Equipment e = madeUp(random, i);
            e.setCountry(i % 3 == 0 ? 7 : 12);
            records.push_back(e);
        }
        load(records);
        window->resize(900, 500);
        window->show();
    }
    QTableView* view() { return grid().view(); }
    QUndoStack& stack() { return *mdlGeneral::document().undoStack(); }
    void filter(const QString& text) { window->filterBar().edit()->setText(text); }
    QPoint at(QTableView* v, int row, int col) {
        v->scrollTo(v->model()->index(row - 1, col));
        return v->visualRect(v->model()->index(row - 1, col)).center();
    }
    std::vector<std::int32_t> selected() const { return mdlGeneral::SelectedPositions(); }
};

}  // namespace

TEST_F(GridTable, RightClickSelectsTheRowUnderThePointerUnlessItIsSelected) {
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at(view(), 4, 5));
    // On another row, in the scrolling part: that row alone, and Delete takes it.
    QTest::mouseClick(view()->viewport(), Qt::RightButton, {}, at(view(), 6, 3));
    EXPECT_EQ(selected(), (std::vector<std::int32_t>{6}));
    EXPECT_EQ(grid().currentColumn(), 3);
    window->actions().action(Command::Delete)->trigger();
    EXPECT_EQ(current().size(), 11u);
    EXPECT_EQ(current()[4].EqCode(), records[4].EqCode());
    EXPECT_EQ(current()[5].EqCode(), records[6].EqCode());
    stack().undo();

    // Within the selection it stays whole.
    grid().setSelectedRows({2, 3, 4}, 2);
    QTest::mouseClick(view()->viewport(), Qt::RightButton, {}, at(view(), 3, 8));
    EXPECT_EQ(selected(), (std::vector<std::int32_t>{2, 3, 4}));

    // The frozen columns select the same way and open the menu too.
    QTableView* frozen = grid().frozenView();
    QTest::mouseClick(frozen->viewport(), Qt::RightButton, {}, at(frozen, 8, 1));
    EXPECT_EQ(selected(), (std::vector<std::int32_t>{8}));
    QSignalSpy menus(&grid(), &Grid::ContextMenu);
    const QPoint where = at(frozen, 8, 1);
    QContextMenuEvent event(QContextMenuEvent::Mouse, where,
                            frozen->viewport()->mapToGlobal(where));
    QApplication::sendEvent(frozen->viewport(), &event);
    EXPECT_EQ(menus.count(), 1);
}

TEST_F(GridTable, ShiftKeysExtendFromTheMovingEnd) {
    struct Case {
        Qt::Key key;
        int times;
        std::vector<std::int32_t> selected;
    } cases[] = {
        {Qt::Key_Down, 5, {6, 7, 8, 9, 10, 11}},
        {Qt::Key_Up, 2, {4, 5, 6}},
        {Qt::Key_Home, 1, {1, 2, 3, 4, 5, 6}},
        {Qt::Key_End, 1, {6, 7, 8, 9, 10, 11, 12}},
    };
    for (const Case& c : cases) {
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at(view(), 1, 4));
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(view(), Qt::Key_Down);
        for (int i = 0; i < c.times; ++i)
            QTest::keyClick(view(), c.key, Qt::ShiftModifier);
        EXPECT_EQ(selected(), c.selected) << c.key;
        EXPECT_EQ(mdlGeneral::PositionOfRow(grid().Row()), 6) << "the anchor stays";
    }
    // Ctrl+Space takes the current row out and back in.
    QTest::keyClick(view(), Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(selected(), (std::vector<std::int32_t>{6, 7, 8, 9, 10, 11}));
}

TEST_F(GridTable, SetValueUnderAFilterKeepsTheWholeSelection) {
    filter(QStringLiteral("Co=Germany"));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at(view(), 3, 4));
    QTest::keyClick(view(), Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(selected(), (std::vector<std::int32_t>{3, 6, 9, 12}));
    for (int round = 0; round < 2; ++round) {
        SetValueDialog dialog(selected());
        dialog.fieldBox()->setCurrentIndex(
            dialog.fieldBox()->findData(static_cast<int>(Field::HardAttack)));
        dialog.valueBox()->setText(QStringLiteral("+1"));
        ASSERT_TRUE(dialog.tryApply());
        EXPECT_EQ(stack().undoText(), QStringLiteral("Set HA on 4 records"));
        EXPECT_EQ(selected(), (std::vector<std::int32_t>{3, 6, 9, 12})) << round;
    }
    stack().undo();
    EXPECT_EQ(selected(), (std::vector<std::int32_t>{3, 6, 9, 12}));
    stack().redo();
    EXPECT_EQ(selected(), (std::vector<std::int32_t>{3, 6, 9, 12}));
}

// A command puts back the selection it found. The views must not be told of
// a change: passing through a one-row selection on the way repainted every
// row selected, which took most of a Set value on a long list.
TEST_F(GridTable, ACommandThatKeepsTheSelectionLeavesTheViewsSelectionAlone) {
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at(view(), 3, 4));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, Qt::ShiftModifier, at(view(), 9, 4));
    ASSERT_EQ(selected(), (std::vector<std::int32_t>{3, 4, 5, 6, 7, 8, 9}));
    QSignalSpy told(view()->selectionModel(), &QItemSelectionModel::selectionChanged);
    SetValueDialog dialog(selected());
    dialog.fieldBox()->setCurrentIndex(
        dialog.fieldBox()->findData(static_cast<int>(Field::HardAttack)));
    dialog.valueBox()->setText(QStringLiteral("+1"));
    ASSERT_TRUE(dialog.tryApply());
    stack().undo();
    stack().redo();
    EXPECT_EQ(told.count(), 0);
    EXPECT_EQ(selected(), (std::vector<std::int32_t>{3, 4, 5, 6, 7, 8, 9}));
}

TEST_F(GridTable, ACellEditIsOneUndoableCommandOfThatField) {
    struct Case {
        int field;
        QString typed;
        QString refusal;  // a part of it; empty when accepted
        std::string shown;
    } cases[] = {
        {static_cast<int>(Field::SoftAttack), QStringLiteral("17"), {}, "17"},
        {static_cast<int>(Field::SoftAttack),
         QStringLiteral("300"),
         QStringLiteral("SA takes 0 to 255"),
         {}},
        {static_cast<int>(Field::SoftAttack), QStringLiteral("+3"), QStringLiteral("SA takes"), {}},
        {static_cast<int>(Field::AttackSound), QStringLiteral("1234"), {}, "1234"},
        {static_cast<int>(Field::Country), QStringLiteral("Germany"), {}, "Germany"},
        {static_cast<int>(Field::Country),
         QStringLiteral("Atlantis"),
         QStringLiteral("Co takes"),
         {}},
        {static_cast<int>(Field::IconName), QStringLiteral("TIGER"), {}, "TIGER"},
        {static_cast<int>(Field::IconName), QStringLiteral("TOOLONGNAME"), QStringLiteral("6"), {}},
        {static_cast<int>(Field::LastPart), QStringLiteral("x y"), {}, "x y"},
    };
    for (const Case& c : cases) {
        const int before = stack().count();
        const std::vector<Equipment> was = current();
        std::optional<QString> why = CommitCell(window->session(), 5, c.field, c.typed);
        if (!c.refusal.isEmpty()) {
            ASSERT_TRUE(why.has_value()) << c.typed.toStdString();
            EXPECT_NE(why->indexOf(c.refusal), -1) << why->toStdString();
            EXPECT_EQ(stack().count(), before);
            EXPECT_EQ(fileBytes(current()), fileBytes(was));
            continue;
        }
        ASSERT_FALSE(why.has_value()) << why->toStdString();
        EXPECT_EQ(stack().count(), before + 1);
        EXPECT_EQ(
            stack().undoText(),
            QStringLiteral("Set %1 of record 5").arg(QString::fromLatin1(FieldLabel(c.field))));
        EXPECT_EQ(grid().TextMatrix(5, c.field), c.shown);
        stack().undo();
        EXPECT_EQ(fileBytes(current()), fileBytes(was));
        stack().redo();
        EXPECT_EQ(grid().TextMatrix(5, c.field), c.shown);
    }
    // The first record is never changed, as the properties window refuses it.
    EXPECT_EQ(
        CommitCell(window->session(), 1, static_cast<int>(Field::SoftAttack), QStringLiteral("1")),
        QStringLiteral("Can't update equipment number 0"));
}

TEST_F(GridTable, CellsAreEditedFromTheKeyboardAndThePropertiesWindowFollows) {
    const int sa = static_cast<int>(Field::SoftAttack);
    const int co = static_cast<int>(Field::Country);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at(view(), 4, sa));
    mdlGeneral::ShowEquipmentDetails();
    QWidget* properties = mdlGeneral::propertiesWindow();
    ASSERT_NE(properties, nullptr);
    CellEditor& cells = window->cellEditor();

    // Typing starts the field's own editor with what was typed; Tab commits
    // and goes on to the next column's.
    QTest::keyClick(view(), Qt::Key_4);
    ASSERT_TRUE(cells.editing());
    QTest::keyClicks(cells.editor(), QStringLiteral("2"));
    auto* box = qobject_cast<QLineEdit*>(cells.editor());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("42"));
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(current()[3].SoftAttack(), 42);
    EXPECT_EQ(properties->findChild<QLineEdit*>(QStringLiteral("txtSA"))->text(),
              QStringLiteral("42"));
    ASSERT_TRUE(cells.editing());
    EXPECT_EQ(grid().currentColumn(), sa + 1);
    // Escape leaves the value as it was.
    QTest::keyClicks(cells.editor(), QStringLiteral("9"));
    QTest::keyClick(cells.editor(), Qt::Key_Escape);
    EXPECT_FALSE(cells.editing());
    EXPECT_EQ(current()[3].HardAttack(), records[3].HardAttack());

    // A value the field cannot hold stays in the cell with the reason.
    grid().setCurrentColumn(sa);
    QTest::keyClick(view(), Qt::Key_F2);
    ASSERT_TRUE(cells.editing());
    qobject_cast<QLineEdit*>(cells.editor())->setText(QStringLiteral("256"));
    QTest::keyClick(cells.editor(), Qt::Key_Return);
    EXPECT_TRUE(cells.editing());
    EXPECT_NE(cells.refusal().indexOf(QStringLiteral("SA takes 0 to 255")), -1);
    EXPECT_EQ(current()[3].SoftAttack(), 42);
    QTest::keyClick(cells.editor(), Qt::Key_Escape);

    // A coded field picks from its words.
    grid().setCurrentColumn(co);
    QTest::keyClick(view(), Qt::Key_F2);
    auto* combo = qobject_cast<QComboBox*>(cells.editor());
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(combo->findText(QStringLiteral("Germany")));
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(current()[3].Country(), 7);
    EXPECT_EQ(stack().undoText(), QStringLiteral("Set Co of record 4"));
}

TEST_F(GridTable, AHeadingSortsTheViewAloneAndCombinesWithTheFilter) {
    const std::string saved = fileBytes(records);
    const int sa = static_cast<int>(Field::SoftAttack);
    auto shownPositions = [&] {
        std::vector<std::int32_t> out;
        for (int row = 1; row < grid().Rows(); ++row)
            out.push_back(mdlGeneral::PositionOfRow(row));
        return out;
    };
    auto plainSort = [&](std::vector<std::int32_t> positions, bool descending) {
        std::stable_sort(positions.begin(), positions.end(), [&](int a, int b) {
            const int x = records[a - 1].SoftAttack(), y = records[b - 1].SoftAttack();
            return descending ? y < x : x < y;
        });
        return positions;
    };
    const std::vector<std::int32_t> all = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    grid().setSelectedRows({2}, 2);
    window->headingClicked(sa);
    EXPECT_EQ(shownPositions(), plainSort(all, false));
    EXPECT_EQ(window->sortText(), QStringLiteral("sorted by SA, list order unchanged"));
    EXPECT_FALSE(window->actions().action(Command::MoveUp)->isEnabled());
    EXPECT_FALSE(window->actions().action(Command::MoveTo)->isEnabled());
    EXPECT_EQ(selected(), (std::vector<std::int32_t>{2})) << "the selection follows its record";
    // Row headings give each record's position.
    for (int row = 1; row < grid().Rows(); ++row)
        EXPECT_EQ(view()->model()->headerData(row - 1, Qt::Vertical).toInt(),
                  mdlGeneral::PositionOfRow(row));

    window->headingClicked(sa);
    EXPECT_EQ(shownPositions(), plainSort(all, true));
    filter(QStringLiteral("Co=Germany"));
    EXPECT_EQ(shownPositions(), plainSort({3, 6, 9, 12}, true));
    filter(QString());
    window->headingClicked(sa);
    EXPECT_EQ(shownPositions(), all);
    EXPECT_TRUE(window->sortText().isEmpty());
    EXPECT_TRUE(window->actions().action(Command::MoveUp)->isEnabled());
    EXPECT_EQ(fileBytes(current()), saved);
}

// The view sorts by keys worked out once per record; a plain stable sort of
// the shown records' texts and values must give the same rows, ties in list
// order, under a filter too.
TEST_F(GridTable, TheSortedViewIsAPlainStableSortOfTheShownRecords) {
    std::mt19937 random(2424);
    const char* names[] = {"Tiger", "tiger", "", "Panther", "Tiger II", "\xC4gypten"};
    records.clear();
    for (int i = 1; i <= 300; ++i) {
        Equipment e = madeUp(random, i);
        e.setEqName(names[random() % 6]);
        e.setPrestigeCost(static_cast<Long>(random() % 7) - 3);
        records.push_back(e);
    }
    load(records);
    struct Case {
        Field field;
        QString filter;
    } cases[] = {{Field::SoftAttack, {}}, {Field::PrestigeCost, {}},     {Field::EqName, {}},
                 {Field::Country, {}},    {Field::SoftAttack, "SA>=10"}, {Field::EqName, "SA<20"}};
    for (const Case& c : cases) {
        const int field = static_cast<int>(c.field);
        filter(c.filter);
        std::vector<std::int32_t> shown;
        for (int row = 1; row < grid().Rows(); ++row)
            shown.push_back(mdlGeneral::PositionOfRow(row));
        for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            std::vector<std::int32_t> expected = shown;
            auto less = [&](const Equipment& l, const Equipment& r) {
                if (fieldKind(field) == FieldKind::Text)
                    return l.text(field) < r.text(field);
                if (c.field == Field::Country)  // by its word
                    return FieldValueText(l, field) < FieldValueText(r, field);
                return l.number(field) < r.number(field);
            };
            std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                const Equipment& x = records[static_cast<std::size_t>(a - 1)];
                const Equipment& y = records[static_cast<std::size_t>(b - 1)];
                return order == Qt::AscendingOrder ? less(x, y) : less(y, x);
            });
            window->sortView(field, order);
            std::vector<std::int32_t> rows;
            for (int row = 1; row < grid().Rows(); ++row)
                rows.push_back(mdlGeneral::PositionOfRow(row));
            EXPECT_EQ(rows, expected) << fieldName(field) << " " << c.filter.toStdString()
                                      << (order == Qt::DescendingOrder ? " descending" : "");
        }
        window->sortView(-1);
    }
}

// A column as narrow as its values ("SA") keeps its heading whole once the
// sort's arrow stands beside it, in either order.
TEST_F(GridTable, ASortedHeadingIsNotCutByItsArrow) {
    QHeaderView* header = view()->horizontalHeader();
    const int sa = static_cast<int>(Field::SoftAttack);
    for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        window->sortView(sa, order);
        QStyleOptionHeader option;
        option.initFrom(header);
        option.text = header->model()->headerData(sa, Qt::Horizontal).toString();
        option.sortIndicator = QStyleOptionHeader::SortDown;
        const int needed =
            header->style()
                ->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header)
                .width();
        EXPECT_GE(header->sectionSize(sa), needed);
    }
}

TEST_F(GridTable, ColumnsArrangedSurviveARestartAndCopyKeepsFieldOrder) {
    QHeaderView* header = view()->horizontalHeader();
    const int co = static_cast<int>(Field::Country);
    header->moveSection(header->visualIndex(co), 3);
    // The frozen columns stay first.
    header->moveSection(0, 10);
    EXPECT_EQ(header->logicalIndex(0), 0);
    grid().setColumnHidden(static_cast<int>(Field::Unk0), true);
    window->columnLayout().remember();
    const std::vector<int> order = grid().columnOrder();
    EXPECT_EQ(order[3], co);

    window.reset();
    window.emplace();
    header = view()->horizontalHeader();
    EXPECT_EQ(grid().columnOrder(), order);
    EXPECT_TRUE(grid().isColumnHidden(static_cast<int>(Field::Unk0)));

    grid().setSelectedRows({1, 2}, 1);
    cmdCopy_Click();
    const QByteArray table =
        QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("text/tab-separated-values"));
    EXPECT_TRUE(table.startsWith("EqCode\tEqName\tEqClass\tSoftAttack\t")) << table.left(60).data();

    window->actions().action(Command::ResetColumns)->trigger();
    for (int v = 0; v < kFieldCount; ++v)
        EXPECT_EQ(header->logicalIndex(v), v);
    EXPECT_FALSE(grid().isColumnHidden(static_cast<int>(Field::Unk0)));
}

TEST_F(GridTable, SpreadsheetRowsPasteAndAreRefusedWhole) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    // Copy puts the table types beside the text; Paste of the table gives the same bytes.
    grid().setSelectedRows({2, 3, 4}, 2);
    cmdCopy_Click();
    const QMimeData* copied = clipboard->mimeData();
    EXPECT_TRUE(copied->hasHtml());
    EXPECT_NE(copied->html().indexOf(QStringLiteral("<th>SoftAttack</th>")), -1);
    const QByteArray table = copied->data(QStringLiteral("text/tab-separated-values"));
    clipboard->setText(QString::fromUtf8(table));
    EXPECT_EQ(Paste(window->session()), std::nullopt);
    std::vector<Equipment> pasted = records;
    pasted.insert(pasted.end(), records.begin() + 1, records.begin() + 4);
    EXPECT_EQ(fileBytes(current()), fileBytes(pasted));
    stack().undo();

    struct Case {
        std::string text;
        QString outcome;  // empty: accepted
    } cases[] = {
        {"SA\tName\tN\r\n7\tTiger\t900\r\n\r\n8\tPanther\t901\r\n", {}},
        {"SA\tName\r\n7\tTiger\r\n300\tPanther\r\n",
         QStringLiteral("row 3, column 1: SoftAttack: 300 is not between 0 and 255")},
        {"SA\tU\r\n7\t1\r\n", QStringLiteral("row 1, column 2")},
        {"SA\tWingspan\r\n7\t1\r\n", QStringLiteral("row 1, column 2")},
        {"SA\tName\r\n7\r\n", QStringLiteral("row 2: the row has 1 cells")},
        {"just some words\r\n", QStringLiteral("Invalid clipboard data")},
    };
    for (const Case& c : cases) {
        const std::size_t count = current().size();
        clipboard->setText(QString::fromStdString(c.text));
        std::optional<QString> outcome = Paste(window->session());
        if (c.outcome.isEmpty()) {
            ASSERT_EQ(outcome, std::nullopt) << outcome->toStdString();
            ASSERT_EQ(current().size(), count + 2);
            Equipment tiger = FreshEquipment();
            tiger.setSoftAttack(7);
            tiger.setEqName("Tiger");
            tiger.setEqCode(900);
            EXPECT_TRUE(current()[count] == tiger);
            EXPECT_EQ(current()[count + 1].EqName(), "Panther");
            stack().undo();
            continue;
        }
        ASSERT_TRUE(outcome.has_value()) << c.text;
        EXPECT_NE(outcome->indexOf(c.outcome), -1) << outcome->toStdString();
        EXPECT_EQ(current().size(), count);
    }
}

TEST_F(GridTable, CopyValueGivesTheCursorCellsText) {
    const int co = static_cast<int>(Field::Country);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at(view(), 3, co));
    QAction* copyValue = window->actions().action(Command::CopyValue);
    EXPECT_EQ(copyValue->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copyValue->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Germany"));
}
