#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QUndoStack>
#include <fstream>

#include "storage/EquipmentFiles.h"
#include "ui/NothingClipped.h"
#include "ui/compare/CompareWith.h"
#include "ui/compare/MergeModel.h"
#include "ui/compare/TakeFromOtherCommand.h"
#include "ui/compare/frmMerge.h"
#include "ui/document/Document.h"
#include "ui/document/ListFixture.h"
#include "ui/mdlGeneral.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

using Records = std::vector<Equipment>;

Equipment record(Long code, const std::string& name, Byte sa) {
    Equipment e;
    e.setEqCode(code);
    e.setEqName(name);
    e.setSoftAttack(sa);
    e.setCountry(1);
    return e;
}

Equipment withSa(Equipment e, Byte sa) {
    e.setSoftAttack(sa);
    return e;
}

void writePair(const QString& path, const Records& records) {
    Equipments list;
    for (const Equipment& e : records)
        list.Add(e);
    std::string names, binary;
    EncodeNameList(list, names);
    EncodeBinaryFile(list, binary);
    std::ofstream(PathsFor(path.toStdString()).nameList, std::ios::binary) << names;
    std::ofstream(path.toStdString(), std::ios::binary) << binary;
}

constexpr int kSa = static_cast<int>(Field::SoftAttack);

// The open list is one mod of the base, CAMPAIGN another. Both change the
// Tiger's SA (a conflict); the open list renames the Panther and removes the
// Stuart, whose SA CAMPAIGN changes (a conflict); CAMPAIGN alone changes the
// Sherman; each adds a record.
struct MergeWindow : ListFixture {
    Records base{record(0, "Base", 1), record(10, "Tiger I", 12), record(20, "Panther", 9),
                 record(30, "Sherman", 5), record(40, "Stuart", 4)};
    Records mine{base[0], withSa(base[1], 14), record(20, "Panther G", 9), base[3],
                 record(50, "Pershing", 11)};
    Records campaign{base[0],
                     withSa(base[1], 16),
                     base[2],
                     withSa(base[3], 6),
                     withSa(base[4], 7),
                     record(60, "Jagdtiger", 20)};
    QTemporaryDir dir;
    QString basePath, campaignPath;
    frmMerge* merge = nullptr;

    void SetUp() override {
        ListFixture::SetUp();
        load(mine);
        for (const char* folder : {"BASE", "CAMPAIGN"})
            QDir(dir.path()).mkdir(QString::fromLatin1(folder));
        basePath = dir.path() + QStringLiteral("/BASE/EQUIP97.EQP");
        campaignPath = dir.path() + QStringLiteral("/CAMPAIGN/EQUIP97.EQP");
        writePair(basePath, base);
        writePair(campaignPath, campaign);
    }
    void TearDown() override {
        delete merge;
        ListFixture::TearDown();
    }
    void open() {
        merge = MergeWithPairs(window->session(), basePath, {campaignPath}, &*window);
        ASSERT_NE(merge, nullptr);
    }
    MergeModel& model() { return merge->model(); }
    int columnOf(int field) {
        for (int c = 0; c < model().columnCount(); ++c) {
            if (model().fieldAt(c) == field)
                return c;
        }
        return -1;
    }
    // The row of the record the base holds at position, or added with code.
    int rowOf(std::int32_t basePosition, Long addedCode = -1) {
        for (int r = 0; r < model().rowCount(); ++r) {
            const MergeEntry& e = merge->merge().entries()[model().entryAt(r)];
            if (basePosition > 0 ? e.base == basePosition
                                 : e.added() && (e.partners[0] ? mine[e.partners[0] - 1]
                                                               : campaign[e.partners[1] - 1])
                                                        .EqCode() == addedCode)
                return r;
        }
        return -1;
    }
    QPushButton* mergeButton() {
        return merge->findChild<QPushButton*>(QStringLiteral("cmdMergeIntoList"));
    }
    QUndoStack& stack() { return *mdlGeneral::document().undoStack(); }
};

TEST_F(MergeWindow, ListsTheTouchedRecordsWithTheirSourcesAndConflicts) {
    open();
    EXPECT_EQ(merge->accessibleName(), QStringLiteral("Merge"));
    EXPECT_EQ(merge->table().accessibleName(), QStringLiteral("Merge table"));
    EXPECT_EQ(mergeButton()->accessibleName(), QStringLiteral("Merge into list"));
    // Tiger, Panther, Sherman, Stuart; Pershing and Jagdtiger added.
    ASSERT_EQ(model().rowCount(), 6);
    const int sa = columnOf(kSa), name = columnOf(static_cast<int>(Field::EqName));
    ASSERT_GE(sa, 0);
    ASSERT_GE(name, 0);
    const int tiger = rowOf(2), panther = rowOf(3), sherman = rowOf(4), stuart = rowOf(5);
    EXPECT_EQ(model().index(tiger, MergeModel::RecordColumn).data().toString(),
              QStringLiteral("record 2 (N 10, \"Tiger I\")"));
    EXPECT_EQ(model().index(tiger, sa).data().toString(), QStringLiteral("\u26a0 12 | 14 | 16"));
    EXPECT_EQ(model().index(tiger, sa).data(MergeModel::SourceRole).toInt(), kNoChoice);
    EXPECT_EQ(model().index(panther, name).data(MergeModel::SourceRole).toInt(), 0);
    EXPECT_EQ(model().index(sherman, sa).data().toString(), QStringLiteral("6"));
    EXPECT_EQ(model().index(sherman, sa).data(MergeModel::SourceRole).toInt(), 1);
    EXPECT_EQ(model().index(sherman, name).data(MergeModel::SourceRole).toInt(), kFromBase);
    EXPECT_GE(model().conflictAt(stuart, MergeModel::KindColumn), 0);
    EXPECT_FALSE(mergeButton()->isEnabled());

    // The boxes: only the two records with conflicts, or only the four without.
    merge->findChild<QCheckBox*>(QStringLiteral("chkOthers"))->setChecked(false);
    EXPECT_EQ(model().rowCount(), 2);
    merge->findChild<QCheckBox*>(QStringLiteral("chkConflicts"))->setChecked(false);
    merge->findChild<QCheckBox*>(QStringLiteral("chkOthers"))->setChecked(true);
    EXPECT_EQ(model().rowCount(), 4);
}

TEST_F(MergeWindow, ChoicesDecideTheMergeAndItUndoesAsOneCommand) {
    const Equipment tiger14 = mine[1], tiger16 = campaign[1], tiger12 = base[1];
    const Equipment sherman6 = campaign[3], stuart7 = campaign[4], stuart4 = base[4];
    struct Case {
        const char* name;
        int tigerSa;  // the source chosen by a click; -3: "Take from" CAMPAIGN for all rows
        int stuart;
        Records expected;
    } cases[] = {
        {"this list's values", 0, 0, {mine[0], tiger14, mine[2], sherman6, mine[4], campaign[5]}},
        {"take from CAMPAIGN",
         -3,
         -3,
         {mine[0], tiger16, mine[2], sherman6, mine[4], stuart7, campaign[5]}},
        {"the base's values",
         kFromBase,
         kFromBase,
         {mine[0], tiger12, mine[2], sherman6, mine[4], stuart4, campaign[5]}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(mine);
        open();
        if (c.tigerSa == -3) {
            merge->table().selectAll();
            merge->setTakeSource(1);
            merge->cmdTakeFrom_Click();
        } else {
            EXPECT_TRUE(merge->choose(rowOf(2), columnOf(kSa), c.tigerSa));
            EXPECT_FALSE(mergeButton()->isEnabled()) << "the Stuart is still open";
            EXPECT_TRUE(merge->choose(rowOf(5), MergeModel::KindColumn, c.stuart));
        }
        EXPECT_EQ(merge->merge().unsettled(), 0u);
        ASSERT_TRUE(mergeButton()->isEnabled());
        merge->cmdMergeIntoList_Click();
        expectList(c.expected, "after merge");
        ASSERT_EQ(stack().count(), 1);
        EXPECT_EQ(stack().undoText(), QStringLiteral("Merge with CAMPAIGN"));
        stack().undo();
        expectList(mine, "after undo");
        stack().redo();
        expectList(c.expected, "after redo");
        delete merge;
        merge = nullptr;
    }
}

TEST_F(MergeWindow, ChoicesThatDoNotFitTheConflictAreRefused) {
    open();
    const int pershing = rowOf(0, 50), tiger = rowOf(2);
    EXPECT_FALSE(merge->choose(tiger, MergeModel::RecordColumn, 1)) << "no conflict there";
    EXPECT_FALSE(merge->choose(rowOf(4), columnOf(kSa), 1)) << "the Sherman has none";
    EXPECT_FALSE(merge->choose(tiger, columnOf(kSa), 2)) << "no mod 2";
    EXPECT_EQ(model().conflictAt(pershing, columnOf(kSa)), -1) << "added by one mod only";
    EXPECT_EQ(merge->merge().unsettled(), 2u);
}

TEST_F(MergeWindow, FollowsEditsOfTheOpenListTheirUndoAndRedoKeepingChoices) {
    open();
    ASSERT_TRUE(merge->choose(rowOf(5), MergeModel::KindColumn, 1));
    EXPECT_EQ(merge->merge().unsettled(), 1u);
    // The open list gives the Tiger CAMPAIGN's SA: the two agree now.
    Document& document = mdlGeneral::document();
    stack().push(new TakeFromOtherCommand(document, {{2, mine[1], campaign[1]}}, {},
                                          QStringLiteral("test")));
    QCoreApplication::processEvents();
    EXPECT_EQ(merge->merge().unsettled(), 0u);
    EXPECT_TRUE(mergeButton()->isEnabled());
    EXPECT_EQ(model().index(rowOf(2), columnOf(kSa)).data().toString(), QStringLiteral("16"));
    stack().undo();
    QCoreApplication::processEvents();
    EXPECT_EQ(merge->merge().unsettled(), 1u) << "the Tiger's conflict is back, the Stuart's "
                                                 "choice stays";
    EXPECT_FALSE(mergeButton()->isEnabled());
    stack().redo();
    // A click before the listing caught up only brings it up to date.
    merge->cmdMergeIntoList_Click();
    EXPECT_EQ(stack().count(), 1);
    merge->cmdMergeIntoList_Click();
    expectList({mine[0], campaign[1], mine[2], campaign[3], mine[4], campaign[4], campaign[5]},
               "merged after the edit");
}

TEST_F(MergeWindow, TheActionAsksForTheBaseAndTheModsAndRefusesTheOpenPair) {
    window->show();
    QMenu* file = window->menuBar()->findChild<QMenu*>(QStringLiteral("mnuFile"));
    ASSERT_NE(file, nullptr);
    const QList<QAction*> actions = file->actions();
    const auto at = [&](const char* name) {
        for (qsizetype i = 0; i < actions.size(); ++i) {
            if (actions[i]->objectName() == QLatin1String(name))
                return i;
        }
        return qsizetype{-1};
    };
    ASSERT_GE(at("actCompare"), 0);
    EXPECT_EQ(at("actMergeMods"), at("actCompare") + 1);

    QStringList answers{basePath, campaignPath, basePath};
    fake.onFileName = [&](bool save, const QString&) -> std::optional<QString> {
        EXPECT_FALSE(save);
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    };
    int asked = 0;
    fake.onYesNo = [&](const QString&) { return ++asked == 1; };
    window->findChild<QAction*>(QStringLiteral("actMergeMods"))->trigger();
    // Each file dialog says what it asks for: the base first, then the mods.
    const QString base = QStringLiteral("Base pair the open list was made from");
    const QString mod = QStringLiteral("Mod to merge with the open list");
    EXPECT_EQ(fake.fileTitles, (std::vector<QString>{base, mod, mod}));
    // The base twice: refused, nothing opens.
    EXPECT_TRUE(answers.isEmpty());
    ASSERT_FALSE(messages.empty());
    EXPECT_TRUE(messages.back().contains(QStringLiteral("already in the merge")));
    EXPECT_EQ(window->findChild<frmMerge*>(), nullptr);

    answers = QStringList{basePath, campaignPath};
    asked = 1;
    window->findChild<QAction*>(QStringLiteral("actMergeMods"))->trigger();
    merge = window->findChild<frmMerge*>();
    ASSERT_NE(merge, nullptr);
    EXPECT_EQ(merge->merge().modCount(), 2);
    EXPECT_EQ(model().rowCount(), 6);
}

// KESTREL_GRAB=prefix keeps a picture of the window.
TEST_F(MergeWindow, ShowsEveryTextInFull) {
    open();
    window->show();
    merge->show();
    merge->choose(rowOf(2), columnOf(kSa), 1);
    merge->table().selectRow(0);
    QCoreApplication::processEvents();
    kestrel_test::expectNothingClipped(*merge);
    const QString prefix = qEnvironmentVariable("KESTREL_GRAB");
    if (!prefix.isEmpty())
        merge->grab().save(prefix + QStringLiteral("-merge.png"));
}

}  // namespace
