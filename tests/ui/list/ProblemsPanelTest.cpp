#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>
#include <functional>
#include <numeric>
#include <optional>

#include "check/Validator.h"
#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "support/FakePrompts.h"
#include "support/SamplePairs.h"
#include "text/CodePage.h"
#include "ui/document/Document.h"
#include "ui/list/ListCommands.h"
#include "ui/list/ProblemTracker.h"
#include "ui/list/ProblemsModel.h"
#include "ui/list/ProblemsPanel.h"
#include "ui/list/SortCommand.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/FileDialog.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MessageBox.h"
#include "ui/properties/UpdateCommand.h"
#include "ui/properties/frmEquipment.h"

#ifdef KESTREL_EQP_PATH
#include "cli/ToolRunner.h"
#endif

using namespace kestrel;
using namespace kestrel::ui;

namespace {

Equipment clean(int i) {
    Equipment e;
    e.setEqCode(i);
    e.setEqName("Unit" + std::to_string(i));
    e.setPrestigeCost(24 * i);
    e.setCountry(1 + i % 25);
    return e;
}

std::vector<Equipment> cleanList(int n) {
    std::vector<Equipment> records;
    for (int i = 1; i <= n; ++i)
        records.push_back(clean(i));
    return records;
}

struct ProblemsPanelTest : ::testing::Test {
    kestrel_test::FakePrompts fake;
    std::vector<QString> messages;
    std::vector<QString> answers;
    std::optional<frmEqs> window;

    void SetUp() override {
        mdlGeneral::ResetEquipments();
        window.emplace();
        window->show();
        fake.onMessage = [this](const QString& text) { messages.push_back(text); };
        fake.onFileName = [this](bool, const QString&) -> std::optional<QString> {
            if (answers.empty())
                return std::nullopt;
            QString a = answers.front();
            answers.erase(answers.begin());
            return a;
        };
    }
    void TearDown() override {
        delete mdlGeneral::propertiesWindow();
        window.reset();
        mdlGeneral::ResetEquipments();
    }

    ProblemsPanel& panel() { return *FindProblemsPanel(*window); }
    std::vector<Problem> shown() { return panel().tracker().problems(); }
    QString counter() { return panel().counter()->isVisible() ? panel().counter()->text() : ""; }

    // Puts records in place as a load of files without findings would.
    void setList(const std::vector<Equipment>& records) {
        auto list = std::make_unique<Equipments>();
        for (const Equipment& e : records)
            list->Add(e);
        mdlGeneral::document().replaceAll(std::move(list), true);
        panel().afterLoad({});
    }
    void update(std::int32_t position, const std::function<void(Equipment&)>& change) {
        Equipment before = *mdlGeneral::gEquipments().Item(position);
        Equipment after = before;
        change(after);
        mdlGeneral::document().undoStack()->push(
            new UpdateCommand(mdlGeneral::document(), position, before, after));
    }
    // The view's row of the problem of kind on record.
    QModelIndex rowOf(ProblemKind kind, Long record) {
        QTableView* view = panel().view();
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            QModelIndex index = view->model()->index(row, ProblemsModel::MessageColumn);
            int k = index.data(ProblemsModel::ProblemRole).toInt();
            const Problem& p = panel().model().problem(k);
            if (p.kind == kind && p.record == record)
                return index;
        }
        return {};
    }
    std::vector<Problem> checked() { return CheckList(mdlGeneral::gEquipments()); }
    void select(int position) {
        window->UnitList().setRow(position);
        window->UnitList().setRowSel(position);
    }
};

TEST_F(ProblemsPanelTest, ActivatingAProblemOpensItsRecordWithTheFieldFocused) {
    struct Case {
        const char* what;
        std::function<void(Equipment&)> spoil;
        ProblemKind kind;
        const char* control;  // "" when the field has none
        bool byKeyboard;
    };
    const Case cases[] = {
        {"class without a word", [](Equipment& e) { e.setEqClass(30); }, ProblemKind::NoWord,
         "cmbClass", false},
        {"cost the save refuses", [](Equipment& e) { e.setPrestigeCost(5000); },
         ProblemKind::CostOutOfRange, "txtPC", true},
        {"icon the save cuts", [](Equipment& e) { e.setIconName("TOOLONG"); }, ProblemKind::TextCut,
         "txtIcon", false},
        {"country outside the table", [](Equipment& e) { e.setCountry(26); },
         ProblemKind::CountryOutOfRange, "cmbCountry", true},
        {"tail the save cuts", [](Equipment& e) { e.setLastPart(std::string(30, 'x')); },
         ProblemKind::TextCut, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        delete mdlGeneral::propertiesWindow();
        std::vector<Equipment> records = cleanList(6);
        c.spoil(records[3]);
        setList(records);
        ASSERT_TRUE(panel().isVisible());
        QModelIndex index = rowOf(c.kind, 4);
        ASSERT_TRUE(index.isValid());
        QTableView* view = panel().view();
        QCoreApplication::processEvents();  // the dock's layout, for the click to land
        if (c.byKeyboard) {
            view->setCurrentIndex(index);
            QTest::keyClick(view, Qt::Key_Return);
        } else {
            // As the window system delivers one: a click, then the second press.
            const QPoint at = view->visualRect(index).center();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        }
        EXPECT_EQ(window->UnitList().Row(), 4);
        frmEquipment* details = mdlGeneral::propertiesWindow();
        ASSERT_NE(details, nullptr);
        EXPECT_TRUE(details->isVisible());
        EXPECT_EQ(details->recordPosition(), 4);
        EXPECT_EQ(details->txtName->text(), QStringLiteral("Unit4"));
        if (*c.control) {
            ASSERT_NE(details->focusWidget(), nullptr);
            EXPECT_EQ(details->focusWidget()->objectName(), QString::fromLatin1(c.control));
        }
    }
}

TEST_F(ProblemsPanelTest, AProblemOfTheFilesAsAWholeLeadsNowhere) {
    setList(cleanList(3));
    window->UnitList().setRow(2);
    Problem whole;
    whole.kind = ProblemKind::TrailingBytes;
    whole.message = "3 bytes after the last record";
    panel().afterLoad({whole});
    ASSERT_TRUE(panel().isVisible());
    ASSERT_EQ(shown().size(), 1u);
    QTableView* view = panel().view();
    view->setCurrentIndex(view->model()->index(0, 0));
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(window->UnitList().Row(), 2);
    EXPECT_EQ(mdlGeneral::propertiesWindow(), nullptr);
    EXPECT_EQ(view->model()->index(0, ProblemsModel::RecordColumn).data().toString(), "file");
}

TEST_F(ProblemsPanelTest, PanelAndCounterFollowCommandsUndoAndRedo) {
    std::vector<Equipment> records = cleanList(5);
    std::swap(records[0], records[4]);  // so that the sort moves records
    setList(records);
    QUndoStack* stack = mdlGeneral::document().undoStack();
    EXPECT_TRUE(shown().empty());
    EXPECT_FALSE(panel().isVisible());
    EXPECT_EQ(counter(), "");

    struct Step {
        const char* what;
        std::function<void()> act;
        bool panelShown;
        const char* counter;
    };
    const Step steps[] = {
        {"a new error brings the panel", [&] { update(2, [](Equipment& e) { e.setCountry(30); }); },
         true, "1 error, 0 warnings"},
        {"undo takes it away", [&] { stack->undo(); }, false, ""},
        {"redo brings it back", [&] { stack->redo(); }, true, "1 error, 0 warnings"},
        {"the user closes the panel", [&] { panel().close(); }, false, "1 error, 0 warnings"},
        {"a new warning only counts", [&] { update(3, [](Equipment& e) { e.setEqCode(5); }); },
         false, "1 error, 2 warnings"},
        {"the whole list moves", [] { cmdSort_Click(); }, false, "1 error, 2 warnings"},
        {"its undo", [&] { stack->undo(); }, false, "1 error, 2 warnings"},
        {"the counter reopens the panel", [&] { panel().counter()->click(); }, true,
         "1 error, 2 warnings"},
        {"the warning undone", [&] { stack->undo(); }, true, "1 error, 0 warnings"},
        {"the error undone", [&] { stack->undo(); }, false, ""},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(shown(), checked());
        EXPECT_EQ(panel().isVisible(), s.panelShown);
        EXPECT_EQ(counter(), QString::fromLatin1(s.counter));
    }
}

// A change to one record, or a few records moved, cut or pasted, changes
// only their rows, those of records sharing their codes and the positions
// after them: the rows in between stay, and so do the user's sort and
// selection.
TEST_F(ProblemsPanelTest, SmallChangesKeepSortAndSelection) {
    std::vector<Equipment> records = cleanList(6);
    records[1].setEqClass(30);
    records[3].setPrestigeCost(30);
    records[4].setCountry(26);
    setList(records);
    QAbstractItemModelTester tester(&panel().model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    int resets = 0;
    QObject::connect(&panel().model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    QTableView* view = panel().view();
    view->sortByColumn(ProblemsModel::MessageColumn, Qt::DescendingOrder);
    view->selectionModel()->select(rowOf(ProblemKind::NoWord, 2),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QUndoStack* stack = mdlGeneral::document().undoStack();
    Long selectedRecord = 2;

    struct Step {
        const char* what;
        std::function<void()> act;
    };
    const Step steps[] = {
        {"a new error", [&] { update(3, [](Equipment& e) { e.setCountry(30); }); }},
        {"its undo", [&] { stack->undo(); }},
        {"a duplicate made", [&] { update(6, [](Equipment& e) { e.setEqCode(2); }); }},
        {"one of the pair renamed", [&] { update(6, [](Equipment& e) { e.setEqName("Six"); }); }},
        {"a third joins in front", [&] { update(1, [](Equipment& e) { e.setEqCode(2); }); }},
        {"the selected problem's message changed",
         [&] { update(2, [](Equipment& e) { e.setEqClass(31); }); }},
        {"back to one",
         [&] {
             stack->undo();
             stack->undo();
             stack->undo();
             stack->undo();
         }},
        {"an error fixed", [&] { update(5, [](Equipment& e) { e.setCountry(5); }); }},
        {"redo after undo",
         [&] {
             stack->undo();
             stack->redo();
         }},
        {"two records exchanged at once",
         [&] {
             update(6, [](Equipment& e) { e.setEqCode(2); });
             mdlGeneral::SwapEquipments(3, 6);
             QCoreApplication::processEvents();
         }},
        {"a record moved up", [&] { select(5), cmdUp_Click(); }},
        {"one cut", [&] { select(4), cmdCut_Click(); }},
        {"pasted in front of another", [&] { select(3), cmdPaste_Click(); }},
        {"all three undone",
         [&] {
             stack->undo();
             stack->undo();
             stack->undo();
         }},
        // The selected problem's record goes from place 2 to place 5, and back.
        {"the list put in reverse order",
         [&] {
             Document& doc = mdlGeneral::document();
             std::vector<std::int32_t> reversed(static_cast<std::size_t>(doc.equipments().Count()));
             std::iota(reversed.rbegin(), reversed.rend(), 0);
             stack->push(new SortCommand(doc, QStringLiteral("Reverse"), reversed));
             QCoreApplication::processEvents();
             selectedRecord = doc.equipments().Count() - 1;
         }},
        {"and back",
         [&] {
             stack->undo();
             QCoreApplication::processEvents();
             selectedRecord = 2;
         }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(shown(), checked());
        EXPECT_EQ(resets, 0);
        EXPECT_EQ(view->horizontalHeader()->sortIndicatorSection(), ProblemsModel::MessageColumn);
        QAbstractItemModel* sorted = view->model();
        ASSERT_EQ(sorted->rowCount(), static_cast<int>(shown().size()));
        for (int row = 1; row < sorted->rowCount(); ++row) {
            EXPECT_GE(sorted->index(row - 1, ProblemsModel::MessageColumn).data().toString(),
                      sorted->index(row, ProblemsModel::MessageColumn).data().toString());
        }
        QModelIndexList selected = view->selectionModel()->selectedRows();
        ASSERT_EQ(selected.size(), 1);
        const Problem& p =
            panel().model().problem(selected[0].data(ProblemsModel::ProblemRole).toInt());
        EXPECT_EQ(p.kind, ProblemKind::NoWord);
        EXPECT_EQ(p.record, selectedRecord);
    }
}

// A whole selection of problems stays whole through a sort, its undo and
// its redo, and stays one run of rows: a run a row made the next update
// test every row against every run.
TEST_F(ProblemsPanelTest, AWholeSelectionOfProblemsStaysOneRunThroughASort) {
    std::vector<Equipment> records = cleanList(300);
    for (std::size_t i = 0; i < records.size(); i += 3)
        records[i].setEqClass(30);
    for (std::size_t i = 1; i < records.size(); i += 3)
        records[i].setEqCode(1);
    setList(records);
    QTableView* view = panel().view();
    view->selectAll();
    const qsizetype all = view->model()->rowCount();
    ASSERT_GT(all, 150);
    Document& doc = mdlGeneral::document();
    std::vector<std::int32_t> reversed(static_cast<std::size_t>(doc.equipments().Count()));
    std::iota(reversed.rbegin(), reversed.rend(), 0);
    QUndoStack* stack = doc.undoStack();
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"sorted", [&] { stack->push(new SortCommand(doc, QStringLiteral("Reverse"), reversed)); }},
        {"undone", [&] { stack->undo(); }},
        {"redone", [&] { stack->redo(); }},
    };
    for (const auto& [what, act] : steps) {
        SCOPED_TRACE(what);
        act();
        QCoreApplication::processEvents();
        EXPECT_EQ(shown(), checked());
        EXPECT_EQ(view->selectionModel()->selectedRows().size(), all);
        EXPECT_EQ(view->selectionModel()->selection().size(), 1);
    }
}

// The name column widens to a long name whether the panel was up when the
// problem came or is brought up later.
TEST_F(ProblemsPanelTest, TheNameColumnFitsWhenThePanelShows) {
    const std::string name(60, 'W');
    struct Case {
        const char* what;
        std::function<void(Equipment&)> spoil;
        bool comesUpByItself;
    };
    const Case cases[] = {
        {"an error brings it up", [](Equipment& e) { e.setCountry(30); }, true},
        {"a warning, then the counter", [](Equipment& e) { e.setEqClass(30); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setList(cleanList(3));
        panel().close();
        update(2, [&](Equipment& e) {
            e.setEqName(name);
            c.spoil(e);
        });
        EXPECT_EQ(panel().isVisible(), c.comesUpByItself);
        if (!c.comesUpByItself)
            panel().counter()->click();
        ASSERT_TRUE(panel().isVisible());
        QTableView* view = panel().view();
        EXPECT_GE(view->columnWidth(ProblemsModel::NameColumn),
                  view->fontMetrics().horizontalAdvance(QString::fromStdString(name)));
        mdlGeneral::document().undoStack()->clear();
    }
}

// The rows a view holds change only when the panel is told: a change made
// outside the undo stack leaves them as they are until the update.
TEST_F(ProblemsPanelTest, RowsChangeOnlyWithTheUpdate) {
    setList(cleanList(4));
    Problem whole;
    whole.kind = ProblemKind::TrailingBytes;
    whole.message = "2 bytes after the last record";
    Problem mask = whole;
    mask.kind = ProblemKind::UnknownCountryMask;
    mask.record = 2;
    panel().afterLoad({whole, mask});
    QAbstractItemModel* sorted = panel().view()->model();
    ASSERT_EQ(sorted->rowCount(), 2);
    mdlGeneral::document().swapAdjacent(2);
    EXPECT_EQ(panel().model().rowCount(), 2);
    EXPECT_EQ(sorted->rowCount(), 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(panel().model().rowCount(), 1);
    EXPECT_EQ(sorted->rowCount(), 1);
}

TEST_F(ProblemsPanelTest, RecordFindingsOfTheLoadGoOnceRecordsMove) {
    std::vector<Equipment> records = cleanList(4);
    std::swap(records[0], records[3]);
    setList(records);
    Problem whole;
    whole.kind = ProblemKind::TrailingBytes;
    whole.message = "2 bytes after the last record";
    Problem mask = whole;
    mask.kind = ProblemKind::UnknownCountryMask;
    mask.record = 2;
    mask.field = static_cast<int>(Field::Country);
    panel().afterLoad({whole, mask});
    EXPECT_EQ(shown().size(), 2u);
    update(3, [](Equipment& e) { e.setEqName("Renamed"); });
    EXPECT_EQ(shown().size(), 2u);
    cmdSort_Click();
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].kind, ProblemKind::TrailingBytes);
}

TEST_F(ProblemsPanelTest, SaveWithErrorsShowsThemAndWritesNothing) {
    std::vector<Equipment> records = cleanList(4);
    records[1].setPrestigeCost(5000);
    records[2].setEqClass(40);
    records[3].setUnitSpecial(40000);
    setList(records);
    panel().close();
    ScopedTempFolder folder;
    answers.push_back(QString::fromStdString(folder / "EQUIP97.EQP"));
    EXPECT_FALSE(window->SaveList());

    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(folder / "EQUIP97.EQP")));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(folder / "EQUIP97.TXT")));
    ASSERT_EQ(messages.size(), 1u);
    QStringList lines = messages[0].split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("Equipment File can not be written2"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("record 2 (N 2, \"Unit2\"): PrestigeCost")))
        << lines[1].toStdString();

    EXPECT_TRUE(panel().isVisible());
    QModelIndexList selected = panel().view()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 2);
    for (const QModelIndex& index : selected) {
        const Problem& p = panel().model().problem(index.data(ProblemsModel::ProblemRole).toInt());
        EXPECT_EQ(p.severity, Severity::Error);
    }
    EXPECT_EQ(panel().view()->currentIndex().row(), selected[0].row());
}

#ifdef KESTREL_EQP_PATH
TEST_F(ProblemsPanelTest, EditorAndCommandLineCheckFindTheSameProblems) {
    struct Case {
        const char* what;
        std::function<void(SamplePair&)> spoil;
    };
    const Case cases[] = {
        {"records with problems, trailing bytes and a mask of no country",
         [](SamplePair& pair) {
             pair.binary.replace(2 + 73 * 4 + 30, 4, "\x01\x02\x03\x04", 4);
             pair.binary += "xyz";
         }},
        {"a name list longer than the count", [](SamplePair& pair) { pair.names += "Extra\r\n"; }},
        {"a binary file cut short",
         [](SamplePair& pair) { pair.binary.resize(pair.binary.size() - 9); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Equipment> records = cleanList(6);
        records[1].setEqClass(30);
        records[3].setEqCode(1);
        records[5].setEqName("Tiger \xC4");
        SamplePair pair = EncodePair(records);
        c.spoil(pair);
        ScopedTempFolder folder;
        WritePair(folder.path(), pair);

        answers.push_back(QString::fromStdString(folder / "EQUIP97.EQP"));
        window->cmdLoad_Click();
        std::string editor;
        for (const Problem& p : shown())
            editor += CodePageToUtf8(FormatProblem(p)) + "\n";

        ScopedTempFolder scratch;
        kestrel::testing::ToolResult tool =
            kestrel::testing::RunTool(KESTREL_EQP_PATH, {"check", folder.path()}, scratch.path());
        EXPECT_EQ(tool.status, 1);
        EXPECT_FALSE(editor.empty());
        EXPECT_EQ(editor, tool.out);
        EXPECT_TRUE(panel().isVisible());
        mdlGeneral::document().markSaved();  // the next load asks nothing
    }
}
#endif

}  // namespace
