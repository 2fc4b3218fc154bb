#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <fstream>
#include <set>

#include "model/FieldText.h"
#include "storage/EquipmentFiles.h"
#include "ui/NothingClipped.h"
#include "ui/compare/CompareWith.h"
#include "ui/compare/ComparisonModel.h"
#include "ui/compare/frmCompare.h"
#include "ui/document/Document.h"
#include "ui/document/ListFixture.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/CodePageText.h"
#include "ui/platform/Grid.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

using Records = std::vector<Equipment>;

Equipment record(Long code, const std::string& name, Byte sa, Long country) {
    Equipment e;
    e.setEqCode(code);
    e.setEqName(name);
    e.setSoftAttack(sa);
    e.setCountry(country);
    e.setLastPart("tail");
    return e;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// This list and a modder's: record 1 differs (and must stay), 2 and 3 are
// changed there, 4 is only here, 5 is the same, 6 and 7 are only there.
struct CompareWindow : ListFixture {
    Records here{record(0, "Base", 1, 1), record(10, "Tiger I", 12, 1), record(20, "Panther", 9, 2),
                 record(30, "Sherman", 5, 3), record(40, "Stuart", 4, 3)};
    Records there{record(0, "Base mod", 2, 1),   record(10, "Tiger I", 14, 2),
                  record(20, "Panther G", 9, 2), record(40, "Stuart", 4, 3),
                  record(50, "Pershing", 11, 3), record(60, "Jagdtiger", 20, 1)};
    QTemporaryDir dir;
    std::string otherPath;
    std::string otherBytes;
    frmCompare* compare = nullptr;

    void SetUp() override {
        ListFixture::SetUp();
        load(here);
        QDir(dir.path()).mkdir(QStringLiteral("MODPACK"));
        otherPath = (dir.path() + QStringLiteral("/MODPACK/EQUIP97.EQP")).toStdString();
        Equipments list;
        for (const Equipment& e : there)
            list.Add(e);
        std::string names, binary;
        EncodeNameList(list, names);
        EncodeBinaryFile(list, binary);
        writeAll(PathsFor(otherPath).nameList, names);
        writeAll(otherPath, binary);
        otherBytes = names + '\0' + binary;
    }
    void TearDown() override {
        delete compare;
        ListFixture::TearDown();
    }
    void open() {
        compare = CompareWithPair(window->session(), QString::fromStdString(otherPath), &*window);
        ASSERT_NE(compare, nullptr);
    }
    ComparisonModel& model() { return compare->model(); }
    // Selects the rows whose record column names these positions here (or
    // there, for records only there).
    void select(const std::set<std::int32_t>& positions, bool onlyThere = false) {
        QItemSelection selection;
        for (int r = 0; r < model().rowCount(); ++r) {
            const RecordDifference& d = model().differenceAt(r);
            const bool isThere = d.kind == DifferenceKind::OnlyInSecond;
            if (isThere == onlyThere && positions.count(isThere ? d.second : d.first))
                selection.select(model().index(r, 0), model().index(r, 0));
        }
        compare->table().selectionModel()->select(
            selection, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void selectAll() { compare->table().selectAll(); }
    void checkOnly(FieldMask fields) {
        auto* list = compare->findChild<QListWidget*>(QStringLiteral("lstFields"));
        for (int f = 0; f < kFieldCount; ++f)
            list->item(f)->setCheckState(fields & fieldBit(f) ? Qt::Checked : Qt::Unchecked);
    }
    QPushButton* button(const char* name) {
        return compare->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QUndoStack& stack() { return *mdlGeneral::document().undoStack(); }
    std::string otherOnDisk() {
        return readAll(PathsFor(otherPath).nameList) + '\0' + readAll(otherPath);
    }
};

TEST_F(CompareWindow, ListsEachDifferenceWithThisAndOtherValuesMarked) {
    open();
    EXPECT_EQ(compare->accessibleName(), QStringLiteral("Comparison"));
    ASSERT_EQ(model().rowCount(), 6);  // 1, 2, 3 changed; 4 only here; 50, 60 only there
    const int sa = static_cast<int>(Field::SoftAttack), co = static_cast<int>(Field::Country);
    int saColumn = -1, coColumn = -1;
    for (int c = 0; c < model().columnCount(); ++c) {
        saColumn = model().fieldAt(c) == sa ? c : saColumn;
        coColumn = model().fieldAt(c) == co ? c : coColumn;
    }
    ASSERT_GE(saColumn, 0);
    ASSERT_GE(coColumn, 0);
    EXPECT_EQ(model().headerData(saColumn, Qt::Horizontal, Qt::DisplayRole).toString(), "SA");

    const int tiger = 1;  // the second row: record 2
    EXPECT_EQ(model().index(tiger, ComparisonModel::RecordColumn).data().toString(),
              QStringLiteral("record 2 (N 10, \"Tiger I\")"));
    EXPECT_EQ(model().index(tiger, ComparisonModel::KindColumn).data().toString(), "changed");
    EXPECT_EQ(model().index(tiger, saColumn).data().toString(), QStringLiteral("12 \u2192 14"));
    const QString words = FromCodePage(FieldValueText(here[1], co)) + QStringLiteral(" \u2192 ") +
                          FromCodePage(FieldValueText(there[1], co));
    EXPECT_EQ(model().index(tiger, coColumn).data().toString(), words);
    EXPECT_FALSE(words.contains(QLatin1Char('1')));  // words, not codes
    EXPECT_TRUE(model().index(tiger, saColumn).data(ComparisonModel::ChangedRole).toBool());
    // The Panther's SA is the same: shown plainly, unmarked.
    EXPECT_EQ(model().index(2, saColumn).data().toString(), "9");
    EXPECT_FALSE(model().index(2, saColumn).data(ComparisonModel::ChangedRole).toBool());
    EXPECT_EQ(model().index(4, ComparisonModel::RecordColumn).data().toString(),
              QStringLiteral("record 5 (N 50, \"Pershing\")"));
    EXPECT_EQ(model().index(4, ComparisonModel::KindColumn).data().toString(), "only there");
}

TEST_F(CompareWindow, FiltersShowOnlyTheChosenKinds) {
    open();
    struct Case {
        bool changed, onlyHere, onlyThere;
        int rows;
    } cases[] = {{true, false, false, 3},
                 {false, true, false, 1},
                 {false, false, true, 2},
                 {false, true, true, 3},
                 {true, true, true, 6}};
    for (const Case& c : cases) {
        compare->findChild<QCheckBox*>(QStringLiteral("chkChanged"))->setChecked(c.changed);
        compare->findChild<QCheckBox*>(QStringLiteral("chkOnlyHere"))->setChecked(c.onlyHere);
        compare->findChild<QCheckBox*>(QStringLiteral("chkOnlyThere"))->setChecked(c.onlyThere);
        EXPECT_EQ(model().rowCount(), c.rows) << c.changed << c.onlyHere << c.onlyThere;
    }
}

TEST_F(CompareWindow, TakeFromOtherWritesTheMergeAndUndoRestoresTheList) {
    const FieldMask saOnly = fieldBit(static_cast<int>(Field::SoftAttack));
    auto takeAll = [](Records r, const Records& t) {
        r[1] = t[1];
        r[2] = t[2];
        r.push_back(t[4]);
        r.push_back(t[5]);
        return r;
    };
    auto takeSa = [](Records r, const Records& t) {
        r[1].setSoftAttack(t[1].SoftAttack());  // Panther's SA is the same already
        r.push_back(t[4]);
        r.push_back(t[5]);
        return r;
    };
    auto onlyTiger = [](Records r, const Records& t) {
        r[1] = t[1];
        return r;
    };
    struct Case {
        const char* name;
        FieldMask fields;
        std::set<std::int32_t> rowsHere, rowsThere;
        Records (*expected)(Records, const Records&);
        const char* text;
    } cases[] = {
        {"all fields, every row",
         kAllFields,
         {1, 2, 3, 4},
         {5, 6},
         takeAll,
         "Take 4 records from MODPACK"},
        {"SA only", saOnly, {1, 2, 3, 4}, {5, 6}, takeSa, "Take 3 records from MODPACK"},
        {"one record", kAllFields, {2}, {}, onlyTiger, "Take 1 record from MODPACK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(here);
        open();
        checkOnly(c.fields);
        select(c.rowsHere);
        select(c.rowsThere, true);
        compare->cmdTake_Click();
        const Records merged = c.expected(here, there);
        expectList(merged, "after take");
        EXPECT_EQ(stack().undoText(), QString::fromLatin1(c.text));
        stack().undo();
        compare->refresh();
        expectList(here, "after undo");
        EXPECT_EQ(model().rowCount(), 6);
        stack().redo();
        compare->refresh();
        expectList(merged, "after redo");
        EXPECT_EQ(otherOnDisk(), otherBytes) << "the other pair is never written";
        delete compare;
        compare = nullptr;
    }
}

TEST_F(CompareWindow, ComparisonFollowsTheCommandItsUndoAndRedo) {
    open();
    selectAll();
    compare->cmdTake_Click();
    // Record 1 stays changed, record 4 stays only here.
    ASSERT_EQ(model().rowCount(), 2);
    EXPECT_EQ(model().differenceAt(0).first, 1);
    EXPECT_EQ(model().differenceAt(1).kind, DifferenceKind::OnlyInFirst);
    stack().undo();
    QCoreApplication::processEvents();
    EXPECT_EQ(model().rowCount(), 6);
    stack().redo();
    QCoreApplication::processEvents();
    EXPECT_EQ(model().rowCount(), 2);
    // Loading another list puts it in place of the one compared.
    load(there);
    QCoreApplication::processEvents();
    EXPECT_EQ(model().rowCount(), 0);
    load({here[0], here[3]});
    QCoreApplication::processEvents();
    ASSERT_EQ(model().rowCount(), 7);  // record 1 changed, 2 only here, five only there
    EXPECT_EQ(model().index(1, ComparisonModel::RecordColumn).data().toString(),
              QStringLiteral("record 2 (N 30, \"Sherman\")"));
}

TEST_F(CompareWindow, RecordOneIsNeverChangedAndTheWindowSaysSo) {
    here.push_back(here[0]);
    here[0] = record(99, "Only here first", 3, 1);  // 1 is only here now
    load(here);
    open();
    auto* note = compare->findChild<QLabel*>(QStringLiteral("lblFirstRecord"));
    compare->show();
    select({1});
    EXPECT_TRUE(note->isVisible());
    EXPECT_FALSE(button("cmdRemoveHere")->isEnabled());
    compare->cmdRemoveHere_Click();
    EXPECT_EQ(stack().count(), 0);
    compare->table().clearSelection();
    EXPECT_FALSE(note->isVisible());
}

TEST_F(CompareWindow, RemoveHereTakesOutOnlyTheRecordsTheOtherLacks) {
    here.insert(here.begin() + 2, record(31, "Lee", 6, 3));
    here.push_back(record(32, "Grant", 6, 3));  // positions 3, 5 and 7 only here
    load(here);
    open();
    select({3, 5, 7});
    select({2});  // changed: not removed
    EXPECT_TRUE(button("cmdRemoveHere")->isEnabled());
    compare->cmdRemoveHere_Click();
    Records expected{here[0], here[1], here[3], here[5]};
    expectList(expected, "after remove");
    EXPECT_EQ(stack().undoText(), QStringLiteral("Remove 3 records not in MODPACK"));
    stack().undo();
    expectList(here, "after undo");
    stack().redo();
    expectList(expected, "after redo");
}

TEST_F(CompareWindow, DoubleClickSelectsTheRecordInTheList) {
    open();
    compare->showInList(2);  // record 3
    EXPECT_EQ(grid().Row(), 3);
    EXPECT_EQ(grid().RowSel(), 3);
    compare->showInList(4);  // only there: the list's selection stays
    EXPECT_EQ(grid().Row(), 3);
}

// Escape closes the window from wherever the focus is in it; it opens
// wholly on the list's screen.
TEST_F(CompareWindow, EscapeClosesItAndItOpensOnTheScreen) {
    window->show();
    for (const char* focus : {"tblDifferences", "lstFields", "cmbMatchBy"}) {
        SCOPED_TRACE(focus);
        open();
        QPointer<frmCompare> shown(compare);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(compare));
        EXPECT_TRUE(compare->screen()->availableGeometry().contains(compare->frameGeometry()))
            << compare->frameGeometry().x() << "," << compare->frameGeometry().y() << " "
            << compare->frameGeometry().width() << "x" << compare->frameGeometry().height()
            << " min " << compare->minimumSize().width() << "x" << compare->minimumSize().height();
        QWidget* target = compare->findChild<QWidget*>(QLatin1String(focus));
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(shown.isNull());
        compare = shown.data();
        if (compare)
            compare->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        compare = nullptr;
    }
}

TEST_F(CompareWindow, InterruptedSaveThereIsReportedNotRepaired) {
    // A load to edit would remove a note it cannot read; a comparison must not.
    const EquipmentFilePaths paths = PathsFor(otherPath);
    writeAll(paths.intent, "half a note");
    writeAll(paths.binaryTemp, "half a save");
    open();
    const QString notes = compare->findChild<QLabel*>(QStringLiteral("lblNotes"))->text();
    const QString note = QString::fromStdString(paths.intent.substr(paths.folder.size()));
    EXPECT_TRUE(notes.contains(QStringLiteral("MODPACK holds ") + note)) << notes.toStdString();
    EXPECT_TRUE(notes.contains(QStringLiteral("EQUIP97.TMP"))) << notes.toStdString();
    EXPECT_EQ(readAll(paths.intent), "half a note");
    EXPECT_EQ(readAll(paths.binaryTemp), "half a save");
    EXPECT_EQ(otherOnDisk(), otherBytes);
}

TEST_F(CompareWindow, AnUnreadablePairIsRefusedWithAMessage) {
    writeAll(otherPath, std::string("\x05\x00", 2));  // claims 5 records, holds none
    EXPECT_EQ(CompareWithPair(window->session(), QString::fromStdString(otherPath), &*window),
              nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("cannot be compared")));
}

}  // namespace

namespace {

// Both windows with differences selected show every text in full;
// KESTREL_GRAB=prefix keeps pictures of them.
TEST_F(CompareWindow, BothWindowsShowEveryTextInFull) {
    const QString prefix = qEnvironmentVariable("KESTREL_GRAB");
    open();
    window->show();
    compare->show();
    select({2, 4});
    QCoreApplication::processEvents();
    kestrel_test::expectNothingClipped(*compare);
    kestrel_test::expectNothingClipped(*window);
    if (prefix.isEmpty())
        return;
    compare->grab().save(prefix + QStringLiteral("-comparison.png"));
    window->grab().save(prefix + QStringLiteral("-list.png"));
}

}  // namespace
