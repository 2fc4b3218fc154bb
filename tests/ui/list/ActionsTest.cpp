#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>
#include <map>

#include "ui/document/ListFixture.h"
#include "ui/list/FilterBar.h"
#include "ui/list/ListActions.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

// Every key of the window with the names of what it is bound to, more than
// one name where a key is bound twice.
std::map<QString, QStringList> keyBindings(QWidget& window) {
    std::map<QString, QStringList> keys;
    for (QAction* action : window.findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts())
            keys[key.toString()] << action->objectName();
    }
    for (QShortcut* shortcut : window.findChildren<QShortcut*>()) {
        if (!shortcut->key().isEmpty())
            keys[shortcut->key().toString()] << shortcut->objectName();
    }
    return keys;
}

QStringList keysBoundTwice(QWidget& window) {
    QStringList twice;
    for (const auto& [key, names] : keyBindings(window)) {
        if (names.size() > 1)
            twice << key + QStringLiteral(": ") + names.join(QStringLiteral(", "));
    }
    return twice;
}

// The menu bar's item for action, searched through every menu.
bool inMenuBar(QMenuBar& bar, QAction* action) {
    std::function<bool(QMenu*)> search = [&](QMenu* menu) {
        for (QAction* item : menu->actions()) {
            if (item == action)
                return true;
            if (item->menu() && search(item->menu()))
                return true;
        }
        return false;
    };
    for (QAction* top : bar.actions()) {
        if (top->menu() && search(top->menu()))
            return true;
    }
    return false;
}

struct Actions : ListFixture {
    std::vector<Equipment> records;
    void SetUp() override {
        ListFixture::SetUp();
        std::mt19937 random(23);
        for (int i = 1; i <= 8; ++i)
            records.push_back(madeUp(random, i));
        load(records);
        window->show();
        QApplication::setActiveWindow(&*window);
    }
    ListActions& actions() { return window->actions(); }
    QToolButton* button(const char* name) {
        return window->findChild<QToolButton*>(QString::fromLatin1(name));
    }
    QUndoStack& stack() { return *mdlGeneral::document().undoStack(); }
};

TEST_F(Actions, EachStripButtonIsAnActionOfTheMenuBarWhoseTipNamesItsKey) {
    int buttons = 0;
    for (QToolButton* b : window->findChildren<QToolButton*>()) {
        if (!b->objectName().startsWith(QStringLiteral("cmd")) || b->objectName() == "cmdLoad")
            continue;
        ++buttons;
        QAction* action = b->defaultAction();
        ASSERT_NE(action, nullptr) << b->objectName().toStdString();
        EXPECT_TRUE(inMenuBar(*window->menuBar(), action)) << b->objectName().toStdString();
        if (!action->shortcut().isEmpty()) {
            EXPECT_TRUE(b->toolTip().endsWith(
                QStringLiteral("(%1)").arg(action->shortcut().toString(QKeySequence::NativeText))))
                << b->toolTip().toStdString();
        }
    }
    EXPECT_EQ(buttons, 16);
    EXPECT_EQ(button("cmdCut")->toolTip(), QStringLiteral("Cut (Ctrl+X)"));
    // The strip's Load keeps its arrow menu of recent pairs; it is Load all the same.
    EXPECT_EQ(button("cmdLoad")->defaultAction(), actions().action(Command::Load));
}

// The button, the menu item and the key of a command each do the same to
// the same list.
TEST_F(Actions, TheButtonTheMenuItemAndTheKeyRunTheSameCommand) {
    struct Case {
        const char* button;
        Command command;
        QKeySequence key;
    };
    const Case cases[] = {
        {"cmdCut", Command::Cut, QKeySequence(Qt::CTRL | Qt::Key_X)},
        {"cmdDelete", Command::Delete, QKeySequence(Qt::Key_Delete)},
        {"cmdPaste", Command::Paste, QKeySequence(Qt::CTRL | Qt::Key_V)},
        {"cmdSetValue", Command::SetValue, {}},
        {"cmdSortbyCountry", Command::SortByCountry, {}},
    };
    for (const Case& c : cases) {
        if (c.command == Command::SetValue)
            continue;  // a dialog: its own tests drive it
        std::vector<std::pair<std::string, std::vector<Equipment>>> results;
        for (int route = 0; route < (c.key.isEmpty() ? 2 : 3); ++route) {
            load(records);
            toClipboard({records[1], records[2]});
            grid().setRow(3);
            grid().setRowSel(4);
            switch (route) {
                case 0:
                    button(c.button)->click();
                    break;
                case 1:
                    ASSERT_TRUE(inMenuBar(*window->menuBar(), actions().action(c.command)));
                    actions().action(c.command)->trigger();
                    break;
                case 2:
                    grid().view()->setFocus();
                    QTest::keySequence(grid().view(), c.key);
                    break;
            }
            results.emplace_back(stack().undoText().toStdString(), current());
        }
        for (std::size_t r = 1; r < results.size(); ++r) {
            EXPECT_EQ(results[r].first, results[0].first) << c.button << " route " << r;
            EXPECT_TRUE(results[r].second == results[0].second) << c.button << " route " << r;
        }
        EXPECT_FALSE(results[0].first.empty()) << c.button;
    }
}

TEST_F(Actions, ACommandThatCannotApplyIsDisabledOnItsButtonInItsMenuAndForItsKey) {
    QAction* undo = actions().action(Command::Undo);
    EXPECT_FALSE(button("cmdUndo")->isEnabled());
    EXPECT_FALSE(undo->isEnabled());
    grid().view()->setFocus();
    QTest::keySequence(grid().view(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    expectList(records, "nothing to undo");

    // Exchanging neighbours under a filter would move records out of sight.
    window->filterBar().edit()->setText(QStringLiteral("N=%1").arg(records[2].EqCode()));
    QAction* up = actions().action(Command::MoveUp);
    EXPECT_FALSE(up->isEnabled());
    EXPECT_FALSE(button("cmdUp")->isEnabled());
    EXPECT_TRUE(inMenuBar(*window->menuBar(), up));
    window->filterBar().clear();
    EXPECT_TRUE(up->isEnabled());
    EXPECT_TRUE(button("cmdUp")->isEnabled());

    grid().setRow(3);
    actions().action(Command::SortByCountry)->trigger();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_TRUE(button("cmdUndo")->isEnabled());
    grid().view()->setFocus();
    QTest::keySequence(grid().view(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    expectList(records, "undone by its key");
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(Actions, NoKeyIsBoundTwice) {
    EXPECT_TRUE(keysBoundTwice(*window).isEmpty())
        << keysBoundTwice(*window).join(QStringLiteral("; ")).toStdString();
    // The check sees a second binding of a key.
    auto* again = new QAction(QStringLiteral("Again"), &*window);
    again->setObjectName(QStringLiteral("actAgain"));
    again->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    EXPECT_EQ(keysBoundTwice(*window), QStringList{QStringLiteral("Ctrl+X: actCut, actAgain")});
    delete again;
}

TEST_F(Actions, TheF1ListNamesEveryCommandWithAKey) {
    const auto lines = actions().keyLines();
    for (QAction* action : actions().all()) {
        if (action->shortcuts().isEmpty())
            continue;
        const QString key = action->shortcut().toString(QKeySequence::NativeText);
        const bool listed = std::any_of(lines.begin(), lines.end(), [&](const auto& line) {
            return line.second.contains(key);
        });
        EXPECT_TRUE(listed) << action->objectName().toStdString();
    }
}

TEST_F(Actions, TheMenuBarHasTheUsualMenus) {
    QStringList titles;
    for (QAction* top : window->menuBar()->actions())
        titles << top->text();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"),
                                   QStringLiteral("&View"), QStringLiteral("&List"),
                                   QStringLiteral("&Help")}));
}

}  // namespace
