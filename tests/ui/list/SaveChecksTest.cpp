// The list window around an incomplete load and a save to a name that is
// no equipment file.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "storage/EquipmentFiles.h"
#include "support/FakePrompts.h"
#include "support/SamplePairs.h"
#include "ui/list/SaveChecks.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/FileDialog.h"
#include "ui/platform/MessageBox.h"
#include "vocabulary/LookupTables.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

struct SaveChecks : ::testing::Test {
    std::vector<QString> messages;
    std::vector<QString> questions;
    bool saveAnyway = false;
    std::vector<QString> answers;
    std::optional<frmEqs> window;
    ScopedTempFolder folder;
    SamplePair pair;
    kestrel_test::FakePrompts fake;

    void SetUp() override {
        InitLookupTables();
        mdlGeneral::ResetEquipments();
        window.emplace();
        fake.onMessage = [this](const QString& text) { messages.push_back(text); };
        fake.onSaveOverIncomplete = [this](const QString& text) {
            questions.push_back(text);
            return saveAnyway;
        };
        fake.onFileName = [this](bool, const QString&) -> std::optional<QString> {
            if (answers.empty())
                return std::nullopt;
            QString a = answers.front();
            answers.erase(answers.begin());
            return a;
        };
        std::mt19937 random(41);
        pair = RandomPair(random, 3);
        WritePair(folder.path(), pair);
    }
    void TearDown() override {
        window.reset();
        mdlGeneral::ResetEquipments();
    }
    QString path(const char* name) { return QString::fromStdString(folder / name); }
    void load(const char* name) {
        answers.push_back(path(name));
        window->cmdLoad_Click();
    }
    void save(const char* name) {
        answers.push_back(path(name));
        window->cmdSave_Click();
    }
};

TEST_F(SaveChecks, AnIncompleteLoadIsNeverSavedOverSilently) {
    WriteBytes(folder / "EQUIP97.TXT", pair.names + "one more\r\n");
    const std::string names = ReadBytes(folder / "EQUIP97.TXT");
    load("EQUIP97.EQP");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "Equipment File can not be read5\nthe name list holds 4 names, the equipment file "
              "3 records");
    EXPECT_TRUE(window->isModified());
    EXPECT_TRUE(ListIsIncomplete());
    EXPECT_EQ(UnsavedChangesDefault(), SaveChangesAnswer::Discard);

    save("EQUIP97.EQP");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].contains("the name list holds 4 names"));
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.EQP"), pair.binary);
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), names);
    EXPECT_TRUE(window->isModified());

    // Elsewhere nothing is asked; back over the same pair only when the user says so.
    save("OTHER.EQP");
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_NE(ReadBytes(folder / "OTHER.EQP"), "<missing>");
    EXPECT_FALSE(ListIsIncomplete());
    load("EQUIP97.EQP");
    saveAnyway = true;
    save("EQUIP97.EQP");
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.T"), names);
    EXPECT_FALSE(window->isModified());
}

TEST_F(SaveChecks, ACompleteLoadAsksNothing) {
    load("EQUIP97.EQP");
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(window->isModified());
    EXPECT_EQ(UnsavedChangesDefault(), SaveChangesAnswer::Save);
    save("EQUIP97.EQP");
    EXPECT_TRUE(questions.empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(SaveChecks, ANameThatIsNoEquipmentFileIsRefused) {
    load("EQUIP97.EQP");
    for (const char* name : {"EQUIP97.EPQ", "MYMOD", "MYMOD.TXT"}) {
        messages.clear();
        save(name);
        ASSERT_EQ(messages.size(), 1u) << name;
        EXPECT_TRUE(messages[0].contains("must end in .EQP")) << name;
        EXPECT_EQ(ReadBytes(folder / name), "<missing>") << name;
    }
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.T"), "<missing>");
    save("mymod.eqp");
    EXPECT_EQ(ReadBytes(folder / "mymod.txt"), pair.names);
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.T"), "<missing>");
}

}  // namespace
