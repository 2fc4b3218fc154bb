#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>
#include <algorithm>
#include <functional>
#include <numeric>

#include "model/ExchangeSort.h"
#include "model/FieldTable.h"
#include "ui/document/Document.h"
#include "ui/document/ListFixture.h"
#include "ui/list/ListCommands.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"
#include "ui/properties/frmEquipment.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

using Records = std::vector<Equipment>;

QUndoStack& stack() {
    return *mdlGeneral::document().undoStack();
}

// What each sort does to a plain list: position 1 stays, the rest take the
// exchange sort's arrangement of their keys.
Records sortedBy(const Records& in, Long (*key)(const Equipment&)) {
    if (in.size() < 3)
        return in;
    std::vector<std::int32_t> keys;
    for (const Equipment& e : in)
        keys.push_back(key(e));
    Records out;
    for (std::int32_t p : ExchangeSortOrder(keys))
        out.push_back(in[static_cast<std::size_t>(p)]);
    return out;
}
Long codeOf(const Equipment& e) {
    return e.EqCode();
}
Long countryOf(const Equipment& e) {
    return e.Country();
}

struct UndoCommands : ListFixture {
    Records start;
    void SetUp() override {
        ListFixture::SetUp();
        std::mt19937 random(11);
        for (int i = 0; i < 8; ++i)
            start.push_back(madeUp(random, i));
        load(start);
    }
    GridSelection selection() {
        return GridSelection{grid().Row(), grid().Col(), grid().RowSel(), grid().ColSel()};
    }
    void select(int row, int rowSel) {
        grid().setRow(row);
        grid().setRowSel(rowSel);
    }
    void scrollPositionSurvives(bool sortedView);
};

}  // namespace

TEST_F(UndoCommands, EachCommandAppliesUndoesAndRedoesToTheSameBytesAndCells) {
    std::mt19937 random(5);
    const Records pasted = {madeUp(random, 20), madeUp(random, 21), madeUp(random, 22)};
    struct Case {
        const char* name;
        int row, rowSel;
        bool showFirst;  // in the properties window
        std::function<void(UndoCommands&)> run;
        std::function<Records(Records)> expected;
        QString text;
    };
    const Case cases[] = {
        {"renumber", 2, 2, false, [](auto&) { cmdRenumber_Click(); },
         [](Records r) {
             for (std::size_t i = 0; i < r.size(); ++i)
                 r[i].setEqCode(static_cast<Long>(i));
             return r;
         },
         "Renumber"},
        {"sort by code", 3, 5, false, [](auto&) { cmdSort_Click(); },
         [](Records r) { return sortedBy(r, codeOf); }, "Sort by code"},
        {"sort by country", 3, 3, false, [](auto&) { cmdSortbyCountry_Click(); },
         [](Records r) { return sortedBy(r, countryOf); }, "Sort by country"},
        {"move up", 5, 5, false, [](auto&) { cmdUp_Click(); },
         [](Records r) {
             std::swap(r[3], r[4]);
             return r;
         },
         "Move up"},
        {"move down", 2, 2, false, [](auto&) { cmdDown_Click(); },
         [](Records r) {
             std::swap(r[1], r[2]);
             return r;
         },
         "Move down"},
        {"cut", 6, 3, false, [](auto&) { cmdCut_Click(); },
         [](Records r) {
             r.erase(r.begin() + 2, r.begin() + 6);
             return r;
         },
         "Cut of 4 records"},
        {"paste", 2, 2, false,
         [&](auto&) {
             toClipboard(pasted);
             cmdPaste_Click();
         },
         [&](Records r) {
             r.insert(r.end(), pasted.begin(), pasted.end());
             return r;
         },
         "Paste of 3 records"},
        {"new", 4, 4, true, [](auto&) { mdlGeneral::propertiesWindow()->cmdNew_Click(); },
         [](Records r) {
             Equipment fresh = FreshEquipment();
             fresh.setEqCode(static_cast<Long>(r.size()));
             r.push_back(fresh);
             return r;
         },
         "New"},
        {"update", 4, 4, true,
         [](auto&) {
             frmEquipment& w = *mdlGeneral::propertiesWindow();
             w.txtSA->setText("201");
             w.txtName->setText("Renamed");
             mdlGeneral::CommitEquipmentDetails();
         },
         [](Records r) {
             r[3].setSoftAttack(201);
             r[3].setEqName("Renamed");
             return r;
         },
         "Update"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(start);
        select(c.row, c.rowSel);
        if (c.showFirst)
            mdlGeneral::ShowEquipmentDetails();
        const GridSelection before = selection();
        const Records after = c.expected(start);
        c.run(*this);
        ASSERT_EQ(stack().count(), 1);
        EXPECT_EQ(stack().undoText(), c.text);
        EXPECT_TRUE(window->isModified());
        expectList(after, "apply");
        const GridSelection applied = selection();

        stack().undo();
        expectList(start, "undo");
        EXPECT_TRUE(selection() == before);
        EXPECT_FALSE(window->isModified());

        stack().redo();
        expectList(after, "redo");
        EXPECT_TRUE(selection() == applied);
        delete mdlGeneral::propertiesWindow();
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(UndoCommands, CommandsThatChangeNothingStayOffTheStack) {
    Records sorted = sortedBy(sortedBy(start, countryOf), codeOf);
    for (std::size_t i = 0; i < sorted.size(); ++i)
        sorted[i].setEqCode(static_cast<Long>(i));
    load(sorted);
    cmdRenumber_Click();
    cmdSort_Click();
    select(2, 2);
    cmdUp_Click();  // row 2 would move into position 1
    select(8, 8);
    cmdDown_Click();
    select(0, 0);
    cmdCut_Click();
    mdlGeneral::propertiesWindow();
    select(3, 3);
    mdlGeneral::ShowEquipmentDetails();
    mdlGeneral::CommitEquipmentDetails();
    EXPECT_EQ(stack().count(), 0);
    EXPECT_FALSE(window->isModified());
    expectList(sorted, "nothing changed");
}

TEST_F(UndoCommands, MarkerFollowsTheCleanStateAndAnIncompleteLoad) {
    select(3, 3);
    cmdDown_Click();
    EXPECT_TRUE(window->isWindowModified());
    stack().undo();
    EXPECT_FALSE(window->isWindowModified());
    stack().redo();
    window->setModified(false);  // as a save does
    EXPECT_FALSE(window->isWindowModified());
    stack().undo();
    EXPECT_TRUE(window->isWindowModified());

    auto partial = std::make_unique<Equipments>();
    mdlGeneral::document().replaceAll(std::move(partial), false);
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(stack().count(), 0);
}

TEST_F(UndoCommands, ButtonsNameTheCommandAndAreDisabledWithNothingToDo) {
    auto* undo = window->findChild<QToolButton*>(QStringLiteral("cmdUndo"));
    auto* redo = window->findChild<QToolButton*>(QStringLiteral("cmdRedo"));
    ASSERT_TRUE(undo && redo);
    EXPECT_EQ(undo->accessibleName(), "Undo");
    EXPECT_EQ(redo->accessibleName(), "Redo");
    EXPECT_FALSE(undo->icon().isNull());
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    cmdSortbyCountry_Click();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->toolTip(), "Undo Sort by country (Ctrl+Z)");
    toClipboard({start[1], start[2], start[3]});
    cmdPaste_Click();
    undo->click();
    EXPECT_EQ(redo->toolTip(), "Redo Paste of 3 records (Ctrl+Y)");
    EXPECT_TRUE(redo->isEnabled());
    undo->click();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->toolTip(), "Undo (Ctrl+Z)");
    expectList(start, "both undone");
}

TEST_F(UndoCommands, CtrlZUndoesTypingInABoxFirstThenTheList) {
    window->show();
    select(3, 3);
    cmdDown_Click();
    mdlGeneral::ShowEquipmentDetails();
    frmEquipment& w = *mdlGeneral::propertiesWindow();
    w.activateWindow();
    w.txtSA->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClicks(w.txtSA, "9");
    const QString typed = w.txtSA->text();
    QTest::keyClick(w.txtSA, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(w.txtSA->text(), typed);
    EXPECT_EQ(stack().index(), 1);
    QTest::keyClick(w.txtSA, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(stack().index(), 0);
    QTest::keyClick(w.txtSA, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(stack().index(), 1);
    // The list window's own keys reach the same stack.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&*window));
    QTest::keyClick(window->UnitList().view(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(stack().index(), 0);
}

TEST_F(UndoCommands, PasteOrNewPastTheLargestListIsRefused) {
    Records full(kMaxRecords - 1);
    load(full);
    toClipboard({start[0], start[1]});
    cmdPaste_Click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("32767")));
    EXPECT_EQ(mdlGeneral::gEquipments().Count(), kMaxRecords - 1);
    EXPECT_EQ(stack().count(), 0);

    select(2, 2);
    mdlGeneral::ShowEquipmentDetails();
    mdlGeneral::propertiesWindow()->cmdNew_Click();  // the last one that fits
    EXPECT_EQ(mdlGeneral::gEquipments().Count(), kMaxRecords);
    mdlGeneral::propertiesWindow()->cmdNew_Click();
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(mdlGeneral::gEquipments().Count(), kMaxRecords);
    EXPECT_EQ(stack().count(), 1);
}

TEST_F(UndoCommands, RandomSequencesMatchAPlainListAfterEveryStep) {
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        load(start);
        // The plain model: every state the list has been in, and where it is.
        std::vector<Records> states = {start};
        std::size_t at = 0;
        int made = 100;
        auto pick = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        for (int step = 0; step < 150; ++step) {
            const Records& now = states[at];
            const int n = static_cast<int>(now.size());
            std::optional<Records> next;
            switch (pick(0, 9)) {
                case 0:
                    cmdRenumber_Click();
                    next = now;
                    for (int i = 0; i < n; ++i)
                        (*next)[static_cast<std::size_t>(i)].setEqCode(i);
                    break;
                case 1:
                    cmdSort_Click();
                    next = sortedBy(now, codeOf);
                    break;
                case 2:
                    cmdSortbyCountry_Click();
                    next = sortedBy(now, countryOf);
                    break;
                case 3:
                case 4: {
                    if (n < 1)
                        break;
                    const int row = pick(1, n);
                    const bool up = step % 2 == 0;
                    select(row, row);
                    up ? cmdUp_Click() : cmdDown_Click();
                    next = now;
                    if (up && row > 2)
                        std::swap((*next)[row - 1], (*next)[row - 2]);
                    if (!up && row > 1 && row < n)
                        std::swap((*next)[row - 1], (*next)[row]);
                    break;
                }
                case 5: {
                    if (n < 1)
                        break;
                    const int a = pick(1, n), b = pick(1, n);
                    select(a, b);
                    cmdCut_Click();
                    next = now;
                    next->erase(next->begin() + std::min(a, b) - 1, next->begin() + std::max(a, b));
                    break;
                }
                case 6: {
                    if (n > 30)
                        break;
                    Records pasted;
                    for (int k = pick(1, 3); k > 0; --k)
                        pasted.push_back(madeUp(random, made++));
                    toClipboard(pasted);
                    cmdPaste_Click();
                    next = now;
                    next->insert(next->end(), pasted.begin(), pasted.end());
                    break;
                }
                case 7:
                    stack().undo();
                    if (at > 0)
                        --at;
                    break;
                case 8:
                    stack().redo();
                    if (at + 1 < states.size())
                        ++at;
                    break;
                case 9: {
                    if (n < 2)
                        break;
                    const int row = pick(2, n);
                    select(row, row);
                    mdlGeneral::ShowEquipmentDetails();
                    const int value = pick(0, 255);
                    mdlGeneral::propertiesWindow()->txtSA->setText(QString::number(value));
                    mdlGeneral::CommitEquipmentDetails();
                    next = now;
                    (*next)[static_cast<std::size_t>(row - 1)].setSoftAttack(
                        static_cast<Byte>(value));
                    break;
                }
            }
            if (next && *next != states[at]) {
                // A new command drops whatever could have been redone.
                states.resize(at + 1);
                states.push_back(*next);
                ++at;
            }
            ASSERT_EQ(stack().index(), static_cast<int>(at)) << "step " << step;
            ASSERT_EQ(current(), states[at]) << "step " << step;
        }
        expectList(states[at], "end of the sequence");
        delete mdlGeneral::propertiesWindow();
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(UndoCommands, ScrollPositionSurvivesCommandsAndTheirUndo) {
    // In list order, and in a view sorted by a column, where the record at
    // the top of the view after a sort of the list is another one.
    for (bool sortedView : {false, true}) {
        SCOPED_TRACE(sortedView ? "sorted view" : "list order");
        TearDown();
        SetUp();
        scrollPositionSurvives(sortedView);
    }
}

void UndoCommands::scrollPositionSurvives(bool sortedView) {
    std::mt19937 random(9);
    Records many;
    for (int i = 0; i < 400; ++i)
        many.push_back(madeUp(random, i));
    load(many);
    if (sortedView)
        window->sortView(static_cast<int>(Field::SoftAttack));
    window->resize(600, 300);
    window->show();
    QScrollBar* bar = grid().view()->verticalScrollBar();
    select(200, 200);
    grid().ShowRow(200);
    QApplication::processEvents();
    const int top = bar->value();
    ASSERT_GT(top, 0);
    const std::function<void()> commands[] = {
        [] { cmdSortbyCountry_Click(); }, [] { cmdSort_Click(); }, [] { cmdRenumber_Click(); },
        [this] {
            select(198, 199);  // in view, so selecting does not scroll
            cmdCut_Click();
        }};
    for (const auto& command : commands) {
        command();
        QApplication::processEvents();
        EXPECT_EQ(bar->value(), top) << "after command " << stack().index();
    }
    // A paste shows the records it adds (in a view sorted by attack, near the
    // top); its undo puts the view back.
    toClipboard({Records(2)});
    cmdPaste_Click();
    QApplication::processEvents();
    EXPECT_NE(bar->value(), top);
    while (stack().canUndo()) {
        stack().undo();
        QApplication::processEvents();
        EXPECT_EQ(bar->value(), top) << "after undo to " << stack().index();
    }
    EXPECT_EQ(current(), many);
}
