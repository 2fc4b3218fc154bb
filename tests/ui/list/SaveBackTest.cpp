#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <optional>

#include "storage/EquipmentFiles.h"
#include "support/FakePrompts.h"
#include "ui/document/Document.h"
#include "ui/list/OpenPairDisplay.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/FileDialog.h"
#include "ui/platform/MessageBox.h"
#include "vocabulary/LookupTables.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

QString writePair(const QString& folder, int n) {
    Equipments list;
    for (int i = 0; i < n; ++i) {
        Equipment e;
        e.setEqCode(i);
        e.setEqName("Unit" + std::to_string(i));
        list.Add(e);
    }
    const QString path = folder + QStringLiteral("/EQUIP97.EQP");
    list.setDataPath(QFile::encodeName(path).toStdString());
    PutEquipments(list);
    return path;
}

struct SaveBack : ::testing::Test {
    std::optional<frmEqs> window;
    std::vector<QString> proposed;   // what each dialog proposed
    std::vector<QString> questions;  // Yes / No questions asked
    std::vector<QString> messages;
    QString answer;
    bool yes = false;
    kestrel_test::FakePrompts fake;

    void SetUp() override {
        InitLookupTables();
        mdlGeneral::ResetEquipments();
        window.emplace();
        fake.onMessage = [this](const QString& text) { messages.push_back(text); };
        fake.onYesNo = [this](const QString& text) {
            questions.push_back(text);
            return yes;
        };
        fake.onFileName = [this](bool, const QString& path) -> std::optional<QString> {
            proposed.push_back(path);
            return answer;
        };
    }
    void TearDown() override {
        window.reset();
        mdlGeneral::ResetEquipments();
    }
    void edit() { mdlGeneral::document().insertRecords(1, {Equipment()}); }
    int recordsIn(const QString& path) {
        Equipments list;
        list.setDataPath(QFile::encodeName(path).toStdString());
        GetEquipments(list);
        return list.Count();
    }
};

TEST_F(SaveBack, TheOpenPairIsProposedAndSavedBackWithoutAQuestion) {
    QTemporaryDir dir;
    answer = writePair(dir.path(), 3);
    window->cmdLoad_Click();
    edit();
    answer.clear();
    answer = QFileInfo(dir.path() + QStringLiteral("/./EQUIP97.EQP")).filePath();
    ASSERT_TRUE(window->SaveList());
    ASSERT_EQ(proposed.size(), 2u);
    EXPECT_EQ(QFileInfo(proposed[1]).canonicalFilePath(),
              QFileInfo(dir.filePath(QStringLiteral("EQUIP97.EQP"))).canonicalFilePath());
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(recordsIn(answer), 4);
    EXPECT_FALSE(window->isModified());
}

TEST_F(SaveBack, AnotherExistingPairIsReplacedOnlyWhenTheUserAgrees) {
    QTemporaryDir open, other, fresh;
    answer = writePair(open.path(), 2);
    window->cmdLoad_Click();
    const QString target = writePair(other.path(), 5);
    edit();
    struct Case {
        bool yes;
        int recordsAfter;
    };
    for (const Case& c : {Case{false, 5}, Case{true, 3}}) {
        questions.clear();
        yes = c.yes;
        answer = target;
        EXPECT_EQ(window->SaveList(), c.yes);
        ASSERT_EQ(questions.size(), 1u);
        // The question names both files it would replace, and where.
        EXPECT_TRUE(questions[0].contains(QStringLiteral("EQUIP97.EQP and EQUIP97.TXT")))
            << questions[0].toStdString();
        EXPECT_TRUE(questions[0].contains(QDir::toNativeSeparators(other.path())));
        EXPECT_EQ(recordsIn(target), c.recordsAfter);
    }
    // Saved there, that pair is now the open one: saving again asks nothing.
    questions.clear();
    ASSERT_TRUE(window->SaveList());
    EXPECT_TRUE(questions.empty());
    // A folder without a pair is not asked about either.
    answer = fresh.filePath(QStringLiteral("EQUIP97.EQP"));
    ASSERT_TRUE(window->SaveList());
    EXPECT_TRUE(questions.empty());
}

TEST_F(SaveBack, TitleAndStatusBarNameTheOpenPair) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Ironfront2"));
    ASSERT_TRUE(QDir().mkpath(folder));
    answer = writePair(folder, 1);
    EXPECT_FALSE(window->windowTitle().contains(QStringLiteral(" in ")));
    window->cmdLoad_Click();
    EXPECT_EQ(window->windowTitle(),
              frmEqs::Caption() + QStringLiteral(" - EQUIP97.EQP in Ironfront2[*]"));
    auto* path = window->findChild<QLabel*>(QStringLiteral("OpenPairPath"));
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->text(), QDir::toNativeSeparators(answer));
    EXPECT_EQ(PairCaption("/EQUIP97.EQP"), QStringLiteral("EQUIP97.EQP in /"));
    EXPECT_EQ(PairCaption(""), QString());
}

}  // namespace
