#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLayout>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <optional>

#include "storage/EquipmentFiles.h"
#include "support/FakePrompts.h"
#include "ui/document/Document.h"
#include "ui/list/FilterBar.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/FileDialog.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/Twips.h"
#include "vocabulary/LookupTables.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

std::vector<std::string> cells(const Grid& grid, int row) {
    std::vector<std::string> out;
    for (int c = 0; c < grid.Cols(); ++c)
        out.push_back(grid.TextMatrix(row, c));
    return out;
}

Equipment record(Long code, const std::string& name, Long country) {
    Equipment e;
    e.setEqCode(code);
    e.setEqName(name);
    e.setCountry(country);
    e.setEqClass(2);
    e.setSoftAttack(7);
    return e;
}

// Writes a pair of n records through the storage layer and returns its path.
QString writePair(const QTemporaryDir& dir, int n, const std::string& prefix = "Unit") {
    Equipments list;
    for (int i = 0; i < n; ++i)
        list.Add(record(i, prefix + std::to_string(i), i % 26));
    QString path = dir.filePath(QStringLiteral("EQUIP97.EQP"));
    list.setDataPath(path.toStdString());
    PutEquipments(list);
    return path;
}

struct ListWindow : ::testing::Test {
    std::vector<QString> messages;
    std::vector<std::optional<QString>> answers;  // next dialog answers, in order
    int dialogs = 0;
    int prompts = 0;
    QString question;  // the last "Save changes?" asked
    SaveChangesAnswer promptAnswer = SaveChangesAnswer::Cancel;
    kestrel_test::FakePrompts fake;
    std::optional<frmEqs> window;

    void SetUp() override {
        mdlGeneral::ResetEquipments();
        window.emplace();
        fake.onMessage = [this](const QString& text) { messages.push_back(text); };
        fake.onSaveChanges = [this](const QString& text) {
            ++prompts;
            question = text;
            return promptAnswer;
        };
        fake.onFileName = [this](bool, const QString&) -> std::optional<QString> {
            ++dialogs;
            if (answers.empty())
                return std::nullopt;
            auto a = answers.front();
            answers.erase(answers.begin());
            return a;
        };
    }
    void TearDown() override {
        window.reset();
        mdlGeneral::ResetEquipments();
    }
    Grid& grid() { return window->UnitList(); }
    void load(const QString& path) {
        answers.push_back(path);
        window->cmdLoad_Click();
    }
};

}  // namespace

TEST_F(ListWindow, StartsWithTheHeadingRowAloneAndThreeFrozenColumns) {
    EXPECT_EQ(grid().Rows(), 1);
    EXPECT_EQ(grid().Cols(), 40);
    EXPECT_EQ(grid().FixedRows(), 0);
    EXPECT_EQ(grid().FixedCols(), 3);
    EXPECT_EQ(grid().TextMatrix(0, 0), "N");
    EXPECT_EQ(grid().TextMatrix(0, 1), "Name");
    EXPECT_EQ(grid().TextMatrix(0, 39), "Unknown");
    EXPECT_EQ(grid().ColWidth(29), 2000);
    EXPECT_EQ(grid().ColAlignment(1), 0);
    EXPECT_FALSE(window->isModified());
    EXPECT_EQ(window->windowTitle(),
              QStringLiteral("Kestrel Editor for Ironfront II Equipment Files - by R. Varnek - "
                             "Beta 1[*]"));
}

TEST_F(ListWindow, EveryButtonCanBeIdentified) {
    const char* names[] = {"cmdLoad",     "cmdSave", "cmdCut",           "cmdCopy", "cmdPaste",
                           "cmdRenumber", "cmdSort", "cmdSortbyCountry", "cmdUp",   "cmdDown"};
    for (const char* name : names) {
        auto* button = window->findChild<QToolButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_FALSE(button->toolTip().isEmpty()) << name;
        // The tooltip adds the key to the name: "Cut (Ctrl+X)".
        EXPECT_TRUE(button->toolTip().startsWith(button->accessibleName())) << name;
        EXPECT_FALSE(button->icon().isNull()) << name;
    }
}

TEST_F(ListWindow, RowTextsOfFreshEdgeAndUnknownCodeRecords) {
    Equipment fresh;
    std::vector<std::string> expected = {
        "0",       "",  "None", "0", "0", "0",      "0",       "0", "0", "0",
        "Soft",    "0", "0",    "0", "0", "Ground", "Tracked", "0", "0", "0",
        "0",       "0", "0",    "0", "0", "0",      "0",       "0", "0", "Cannot be transported",
        "Austria", "0", "0",    "0", "0", "",       "0",       "0", "0", ""};
    mdlGeneral::document().insertRecords(1, {fresh});
    EXPECT_EQ(cells(grid(), 1), expected);

    Equipment edge;
    for (int f = 0; f < kFieldCount; ++f) {
        if (fieldKind(f) == FieldKind::Byte)
            edge.setNumber(f, 255);
        if (fieldKind(f) == FieldKind::Long)
            edge.setNumber(f, INT32_MIN);
        if (fieldKind(f) == FieldKind::Text)
            edge.setText(f, "\xE9t\xE9");
    }
    edge.setPrestigeCost(1200);
    edge.setUnitSpecial(8);
    edge.setCountry(25);
    edge.setEqClass(21);
    mdlGeneral::document().insertRecords(1, {edge});
    std::vector<std::string> row = cells(grid(), 1);
    EXPECT_EQ(row[0], "-2147483648");
    EXPECT_EQ(row[1], "\xE9t\xE9");
    EXPECT_EQ(row[2], ClassNames[21]);
    EXPECT_EQ(row[3], "255");
    EXPECT_EQ(row[10], "255");  // no target type 255: shown as its number
    EXPECT_EQ(row[21], "1200");
    EXPECT_EQ(row[30], CountryNames[25]);
    EXPECT_EQ(row[31], "8");
    EXPECT_EQ(row[36], "-2147483648");
    EXPECT_EQ(grid().DisplayText(1, 1), QStringLiteral("\u00e9t\u00e9"));
    EXPECT_EQ(cells(grid(), 2), expected);  // inserted above the fresh one

    Equipment unknown;
    unknown.setEqClass(22);
    unknown.setCountry(-1);
    mdlGeneral::document().insertRecords(3, {unknown});
    EXPECT_EQ(grid().TextMatrix(3, 2), "22");
    EXPECT_EQ(grid().TextMatrix(3, 30), "-1");
}

TEST_F(ListWindow, GridTakesTheSpaceBetweenTheFilterBarAndTheStatusBar) {
    window->show();
    for (QSize size : {QSize(900, 700), QSize(1400, 500)}) {
        window->resize(size);
        QCoreApplication::processEvents();
        const QWidget* central = window->centralWidget();
        const QRect grid = window->UnitList().geometry();
        EXPECT_EQ(grid.width(), central->width());
        EXPECT_EQ(grid.top(), window->filterBar().geometry().bottom() + 1);
        EXPECT_EQ(central->mapTo(window.operator->(), grid.bottomLeft()).y() + 1,
                  window->statusBar()->geometry().top());
        EXPECT_GT(grid.height(), size.height() / 2);
    }
}

TEST_F(ListWindow, LoadListsEveryRecordAndASecondLoadReplacesThem) {
    QTemporaryDir a, b;
    load(writePair(a, 5, "First"));
    ASSERT_EQ(grid().Rows(), 6);
    EXPECT_EQ(grid().FixedRows(), 1);
    EXPECT_EQ(grid().TextMatrix(1, 1), "First0");
    EXPECT_EQ(grid().TextMatrix(5, 1), "First4");
    EXPECT_TRUE(messages.empty());

    load(writePair(b, 2, "Second"));
    ASSERT_EQ(grid().Rows(), 3);
    EXPECT_EQ(mdlGeneral::gEquipments().Count(), 2);
    EXPECT_EQ(grid().TextMatrix(2, 1), "Second1");
    EXPECT_EQ(grid().TextMatrix(0, 1), "Name");
}

TEST_F(ListWindow, SavedAndReloadedPairListsTheSameRows) {
    QTemporaryDir a, b;
    load(writePair(a, 4));
    std::vector<std::vector<std::string>> before;
    for (int r = 0; r < grid().Rows(); ++r)
        before.push_back(cells(grid(), r));
    window->setModified(true);
    answers.push_back(b.filePath(QStringLiteral("EQUIP97.EQP")));
    EXPECT_TRUE(window->SaveList());
    EXPECT_FALSE(window->isModified());
    load(b.filePath(QStringLiteral("EQUIP97.EQP")));
    ASSERT_EQ(grid().Rows(), static_cast<int>(before.size()));
    for (int r = 0; r < grid().Rows(); ++r)
        EXPECT_EQ(cells(grid(), r), before[r]);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ListWindow, FailingLoadShowsItsMessageOnceAndListsWhatWasRead) {
    QTemporaryDir dir;
    QString path = writePair(dir, 3);
    QFile::remove(path);  // names without the binary file
    load(path);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(grid().Rows(), mdlGeneral::gEquipments().Count() + 1);
}

TEST_F(ListWindow, CancelledDialogsChangeNothing) {
    QTemporaryDir dir;
    load(writePair(dir, 3));
    QString name = window->cd1().FileName;
    window->setModified(true);
    window->cmdLoad_Click();  // no answer queued: cancel
    promptAnswer = SaveChangesAnswer::Discard;
    window->cmdLoad_Click();
    window->cmdSave_Click();
    EXPECT_EQ(grid().Rows(), 4);
    EXPECT_EQ(mdlGeneral::gEquipments().Count(), 3);
    EXPECT_EQ(window->cd1().FileName, name);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ListWindow, UnsavedChangesAreAskedAboutOnLoadAndClose) {
    QTemporaryDir dir;
    QString path = writePair(dir, 2);
    load(path);
    EXPECT_EQ(prompts, 0);
    mdlGeneral::MarkModified();
    EXPECT_TRUE(window->isModified());

    promptAnswer = SaveChangesAnswer::Cancel;
    answers.push_back(path);
    window->cmdLoad_Click();
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(
        question,
        QStringLiteral("Save changes to EQUIP97.EQP in %1?").arg(QFileInfo(dir.path()).fileName()));
    EXPECT_EQ(dialogs, 1);  // cancelled before the open dialog
    answers.clear();

    window->show();
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());

    // Save whose dialog is cancelled did not save: the window stays.
    promptAnswer = SaveChangesAnswer::Save;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isModified());

    answers.push_back(dir.filePath(QStringLiteral("EQUIP97.EQP")));
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isModified());
}

TEST_F(ListWindow, ClickAndShiftClickSelectWholeRows) {
    QTemporaryDir dir;
    load(writePair(dir, 8));
    window->show();
    QTableView* view = grid().view();
    view->scrollTo(view->model()->index(0, 5));
    auto at = [&](int row, int col) {
        return view->visualRect(view->model()->index(row - 1, col)).center();
    };
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(3, 5));
    EXPECT_EQ(grid().Row(), 3);
    EXPECT_EQ(grid().RowSel(), 3);
    EXPECT_EQ(grid().Col(), 0);
    EXPECT_EQ(grid().ColSel(), 39);
    EXPECT_EQ(view->selectionModel()->selectedIndexes().size(), 40);

    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, at(6, 4));
    EXPECT_EQ(grid().Row(), 3);
    EXPECT_EQ(grid().RowSel(), 6);
    EXPECT_EQ(grid().ColSel(), 39);
    EXPECT_EQ(view->selectionModel()->selectedIndexes().size(), 4 * 40);

    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, at(1, 7));
    EXPECT_EQ(grid().Row(), 3);
    EXPECT_EQ(grid().RowSel(), 1);
}

TEST_F(ListWindow, DialogProposesTheExampleNameThenTheFileUsedLast) {
    std::vector<QString> proposed;
    fake.onFileName = [&](bool, const QString& path) -> std::optional<QString> {
        proposed.push_back(path);
        if (answers.empty())
            return std::nullopt;
        auto a = answers.front();
        answers.erase(answers.begin());
        return a;
    };
    QTemporaryDir dir;
    QString path = writePair(dir, 1);
    EXPECT_EQ(window->cd1().InitDir, QStringLiteral("C:\\Ironfront2"));
    load(path);
    window->cmdSave_Click();  // cancelled
    ASSERT_EQ(proposed.size(), 2u);
    EXPECT_EQ(proposed[0], QDir(QDir::currentPath()).filePath(QStringLiteral("EQUIP97.EQP")));
    EXPECT_EQ(QFileInfo(proposed[1]).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
}

TEST_F(ListWindow, LoadRestoresPointerAndRedrawAndEnterActsAsDoubleClick) {
    QTemporaryDir dir;
    load(writePair(dir, 3));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(grid().Redraw());
    QSignalSpy doubleClicks(&grid(), &Grid::DblClick);
    QTest::keyClick(grid().view(), Qt::Key_Return);
    EXPECT_EQ(doubleClicks.count(), 1);
}
