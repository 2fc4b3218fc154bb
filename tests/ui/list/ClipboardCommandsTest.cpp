#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringList>
#include <QTableView>
#include <QTest>
#include <QUndoStack>
#include <optional>
#include <string>
#include <vector>

#include "support/FakePrompts.h"
#include "ui/document/Document.h"
#include "ui/list/ListCommands.h"
#include "ui/list/RecordRows.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MessageBox.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

const char kEol[] = "\r\n";

// Every field set, so that a value landing in the wrong line shows.
Equipment scoutCar() {
    Equipment e;
    for (int f = 0; f < kFieldCount; ++f) {
        if (fieldKind(f) == FieldKind::Byte)
            e.setNumber(f, f + 1);
    }
    e.setEqCode(5);
    e.setEqName("Scout Car");
    e.setPrestigeCost(1200);
    e.setCountry(3);
    e.setUnitSpecial(8);
    e.setIconName(std::string("ic\0on", 5));
    e.setAttackSound(-7);
    e.setMoveSound(0);
    e.setDeathSound(2147483647);
    e.setLastPart(std::string("\0end", 4));
    return e;
}

const char kScoutCarLines[] =
    "5\r\nScout Car\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n13\r\n14\r\n15\r\n"
    "16\r\n17\r\n18\r\n19\r\n20\r\n21\r\n1200\r\n23\r\n24\r\n25\r\n26\r\n27\r\n28\r\n29\r\n"
    "30\r\n3\r\n8\r\n33\r\n34\r\n35\r\nicon\r\n-7\r\n0\r\n2147483647\r\nend\r\n";

std::string header(int count) {
    return std::string("IFII Equipment Editor - by Varnek\r\nEquipment Info for\r\n") +
           std::to_string(count) + kEol;
}

QClipboard* clipboard() {
    return QGuiApplication::clipboard();
}

struct Clipboard : ::testing::Test {
    kestrel_test::FakePrompts fake;
    std::vector<QString>& messages = fake.messages;
    std::optional<frmEqs> window;

    void SetUp() override {
        mdlGeneral::ResetEquipments();
        window.emplace();
        clipboard()->clear();
    }
    void TearDown() override {
        window.reset();
        mdlGeneral::ResetEquipments();
    }
    Grid& grid() { return window->UnitList(); }
    Equipments& list() { return mdlGeneral::gEquipments(); }

    void add(const Equipment& e) {
        mdlGeneral::document().insertRecords(list().Count() + 1, {e});
        grid().setFixedRows(1);
        window->setModified(false);
    }
    void addNamed(int n) {
        for (int i = 1; i <= n; ++i) {
            Equipment e;
            e.setEqCode(100 + i);
            e.setEqName("R" + std::to_string(i));
            add(e);
        }
    }
    void select(int row, int rowSel) {
        grid().setRow(row);
        grid().setRowSel(rowSel);
    }
    std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const auto& e : list())
            out.push_back(e->EqName());
        return out;
    }
    // The clipboard's text as the code page's bytes (all test texts fit).
    std::string clipboardBytes() { return clipboard()->text().toLatin1().toStdString(); }
    void setClipboardBytes(const std::string& bytes) {
        clipboard()->setText(
            QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
    void expectGridAgrees() {
        ASSERT_EQ(grid().Rows(), list().Count() + 1);
        for (std::int32_t i = 1; i <= list().Count(); ++i) {
            std::string row;
            for (int c = 0; c < grid().Cols(); ++c)
                row += (c ? "\t" : "") + grid().TextMatrix(i, c);
            EXPECT_EQ(row, mdlGeneral::GridRowText(*list().Item(i))) << "row " << i;
        }
        EXPECT_TRUE(grid().Redraw());
    }
};

using Names = std::vector<std::string>;

TEST_F(Clipboard, CopyOfOneRecordWritesItsFortyLines) {
    add(scoutCar());
    select(1, 1);
    cmdCopy_Click();
    EXPECT_EQ(clipboardBytes(), header(1) + kScoutCarLines);
    EXPECT_FALSE(window->isModified());
}

TEST_F(Clipboard, CopyOfThreeRecordsIsTheSameWhicheverWayTheyWereSelected) {
    addNamed(1);
    for (int i = 0; i < 3; ++i)
        add(scoutCar());
    addNamed(1);
    const std::string expected = header(3) + kScoutCarLines + kScoutCarLines + kScoutCarLines;
    select(2, 4);
    cmdCopy_Click();
    EXPECT_EQ(clipboardBytes(), expected);
    clipboard()->clear();
    select(4, 2);
    cmdCopy_Click();
    EXPECT_EQ(clipboardBytes(), expected);
}

TEST_F(Clipboard, CopyThenPasteAppendsDuplicatesWithTheirCodes) {
    addNamed(5);
    select(4, 2);
    cmdCopy_Click();
    cmdPaste_Click();
    EXPECT_EQ(names(), (Names{"R1", "R2", "R3", "R4", "R5", "R2", "R3", "R4"}));
    EXPECT_EQ(list().Item(6)->EqCode(), 102);
    EXPECT_EQ(*list().Item(8), *list().Item(4));
    EXPECT_TRUE(window->isModified());
    EXPECT_TRUE(messages.empty());
    expectGridAgrees();
}

// The records pasted are the selection afterwards, and in view however far
// down the list they land; undo and redo keep that.
TEST_F(Clipboard, PastedRecordsAreSelectedAndScrolledIntoView) {
    addNamed(120);
    window->resize(900, 400);
    window->show();
    select(3, 2);
    cmdCopy_Click();
    grid().ShowRow(1);
    QTableView* view = grid().view();
    auto inView = [&](int row) {
        const int top = view->rowViewportPosition(row - 1);
        return top >= 0 && top + view->rowHeight(row - 1) <= view->viewport()->height();
    };
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&*window));
    ASSERT_FALSE(inView(121));
    cmdPaste_Click();
    EXPECT_EQ(mdlGeneral::SelectedPositions(), (std::vector<std::int32_t>{121, 122}));
    EXPECT_TRUE(inView(121));
    EXPECT_TRUE(inView(122));
    mdlGeneral::document().undoStack()->undo();
    grid().ShowRow(1);
    mdlGeneral::document().undoStack()->redo();
    EXPECT_EQ(mdlGeneral::SelectedPositions(), (std::vector<std::int32_t>{121, 122}));
    EXPECT_TRUE(inView(121));
}

TEST_F(Clipboard, CutOfAMiddleBlockClosesTheGapWithoutRenumbering) {
    addNamed(7);
    select(3, 5);
    cmdCut_Click();
    EXPECT_EQ(names(), (Names{"R1", "R2", "R6", "R7"}));
    EXPECT_EQ(list().Item(3)->EqCode(), 106);
    EXPECT_TRUE(window->isModified());
    expectGridAgrees();
    // What was cut can be put back at the end.
    cmdPaste_Click();
    EXPECT_EQ(names(), (Names{"R1", "R2", "R6", "R7", "R3", "R4", "R5"}));
    expectGridAgrees();
}

TEST_F(Clipboard, CutOfEverythingLeavesTheHeadingRowAlone) {
    addNamed(4);
    select(4, 1);
    cmdCut_Click();
    EXPECT_EQ(list().Count(), 0);
    EXPECT_EQ(grid().Rows(), 1);
    EXPECT_EQ(grid().TextMatrix(0, 1), "Name");
    cmdPaste_Click();
    EXPECT_EQ(names(), (Names{"R1", "R2", "R3", "R4"}));
    expectGridAgrees();
}

TEST_F(Clipboard, CopyAndCutWithoutRecordRowsKeepTheClipboard) {
    clipboard()->setText(QStringLiteral("kept"));
    cmdCopy_Click();
    cmdCut_Click();
    EXPECT_EQ(clipboard()->text(), QStringLiteral("kept"));
    EXPECT_FALSE(window->isModified());
    EXPECT_EQ(grid().Rows(), 1);
}

TEST_F(Clipboard, PasteIntoAnEmptyEditorListsTheRecords) {
    setClipboardBytes(header(2) + kScoutCarLines + kScoutCarLines);
    cmdPaste_Click();
    ASSERT_EQ(list().Count(), 2);
    Equipment expected = scoutCar();
    expected.setIconName("icon");
    expected.setLastPart("end");
    EXPECT_EQ(*list().Item(2), expected);
    EXPECT_EQ(grid().FixedRows(), 1);
    expectGridAgrees();
}

TEST_F(Clipboard, PasteWithoutTextOnTheClipboardDoesNothing) {
    addNamed(1);
    clipboard()->clear();
    cmdPaste_Click();
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("application/x-other"), QByteArray("x"));
    clipboard()->setMimeData(mime);
    cmdPaste_Click();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(names(), (Names{"R1"}));
    EXPECT_FALSE(window->isModified());
}

TEST_F(Clipboard, ARefusedTextChangesNothing) {
    const std::string valid = header(1) + kScoutCarLines;
    // Field f of the first record is line f + 3, counting from 0.
    auto withLine = [&](int line, const std::string& text) {
        std::string out;
        std::size_t pos = 0;
        for (int i = 0; i < line; ++i)
            pos = valid.find(kEol, pos) + 2;
        std::size_t end = valid.find(kEol, pos);
        return valid.substr(0, pos) + text + valid.substr(end);
    };
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"no header", valid.substr(valid.find(kEol) + 2)},
        {"lower-case header", withLine(0, "ifii equipment editor - by varnek")},
        {"lost final CR LF", valid.substr(0, valid.size() - 2)},
        {"extra line", valid + "more\r\n"},
        {"negative count", withLine(2, "-1")},
        {"fractional count", withLine(2, "1.5")},
        {"header alone", "IFII Equipment Editor - by Varnek\r\nEquipment Info for"},
        {"byte of 256", withLine(3 + 5, "256")},
        {"leading-number byte of 256", withLine(3 + 3, "256")},
        {"long not a number", withLine(3 + 21, "abc")},
        {"long out of range", withLine(3 + 30, "2147483648")},
        {"empty text", ""},
    };
    addNamed(2);
    for (const Case& c : cases) {
        messages.clear();
        setClipboardBytes(c.text);
        cmdPaste_Click();
        EXPECT_EQ(messages, (std::vector<QString>{QStringLiteral("Invalid clipboard data")}))
            << c.what;
        EXPECT_EQ(names(), (Names{"R1", "R2"})) << c.what;
        EXPECT_FALSE(window->isModified()) << c.what;
        expectGridAgrees();
    }

    // A character the code page cannot hold, in the name.
    messages.clear();
    QString foreign = QString::fromLatin1(valid.data(), static_cast<qsizetype>(valid.size()));
    foreign.replace(QStringLiteral("Scout Car"), QStringLiteral("Scout \u4e2d"));
    clipboard()->setText(foreign);
    cmdPaste_Click();
    EXPECT_EQ(messages, (std::vector<QString>{QStringLiteral("Invalid clipboard data")}));
    EXPECT_EQ(names(), (Names{"R1", "R2"}));
    expectGridAgrees();
}

TEST_F(Clipboard, AcceptedVariantsOfTheText) {
    struct Case {
        const char* what;
        std::string text;
        int added;
    };
    const Case cases[] = {
        {"header with more after it",
         "IFII Equipment Editor - by Varnek 7\r\nx\r\n1\r\n" + std::string(kScoutCarLines), 1},
        {"count 0", header(0), 0},
        {"count with blanks",
         "IFII Equipment Editor - by Varnek\r\nEquipment Info for\r\n 1 \r\n" +
             std::string(kScoutCarLines),
         1},
    };
    for (const Case& c : cases) {
        const std::int32_t before = list().Count();
        setClipboardBytes(c.text);
        cmdPaste_Click();
        EXPECT_TRUE(messages.empty()) << c.what;
        EXPECT_EQ(list().Count(), before + c.added) << c.what;
    }
    expectGridAgrees();
}

TEST_F(Clipboard, BlanksAndHighBytesSurviveTheRealClipboard) {
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high += static_cast<char>(b);
    Equipment e = scoutCar();
    e.setEqName("  " + high + "  ");
    e.setIconName(" " + high.substr(0, 64));
    e.setLastPart(high.substr(64) + " ");
    add(e);
    select(1, 1);
    cmdCopy_Click();
    // Through the system clipboard as text, not only this program's copy of it.
    const QString text = clipboard()->text();
    clipboard()->clear();
    clipboard()->setText(text);
    cmdPaste_Click();
    ASSERT_EQ(list().Count(), 2);
    EXPECT_EQ(*list().Item(2), e);
    EXPECT_TRUE(messages.empty());
    expectGridAgrees();
}

}  // namespace
