// The list window around an incomplete load and a save to a name that is
// no equipment file.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QUndoStack>
#include <optional>

#include "storage/EquipmentFiles.h"
#include "support/FakePrompts.h"
#include "support/SamplePairs.h"
#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/list/SaveChecks.h"
#include "ui/list/SetValueCommand.h"
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
              "Equipment File can not be read5\nthe name list has 4 lines, the equipment file 3 "
              "records; line 4 (\"one more\") has no record and is left out");
    EXPECT_TRUE(window->isModified());
    EXPECT_FALSE(window->session().lastLoadComplete());
    EXPECT_EQ(window->session().unsavedChangesDefault(), SaveChangesAnswer::Discard);

    save("EQUIP97.EQP");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].contains("the name list has 4 lines"));
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.EQP"), pair.binary);
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), names);
    EXPECT_TRUE(window->isModified());

    // Elsewhere nothing is asked; back over the same pair only when the user says so.
    save("OTHER.EQP");
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_NE(ReadBytes(folder / "OTHER.EQP"), "<missing>");
    EXPECT_TRUE(window->session().lastLoadComplete());
    load("EQUIP97.EQP");
    saveAnyway = true;
    save("EQUIP97.EQP");
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.T"), names);
    EXPECT_FALSE(window->isModified());
}

// A list put in place of an incomplete one (an earlier version, restored
// work) is whole: saving it over the pair asks nothing.
TEST_F(SaveChecks, AListPutInPlaceOfAnIncompleteLoadIsSavedAsAnyOther) {
    WriteBytes(folder / "EQUIP97.TXT", pair.names + "one more\r\n");
    load("EQUIP97.EQP");
    ASSERT_FALSE(window->session().lastLoadComplete());
    auto restored = std::make_unique<Equipments>();
    for (const EquipmentRef& record : mdlGeneral::gEquipments())
        restored->Add(*record);
    window->AdoptList(std::move(restored), path("EQUIP97.EQP"));
    EXPECT_TRUE(window->isModified());
    save("EQUIP97.EQP");
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.EQP"), pair.binary);
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), pair.names);
    EXPECT_FALSE(window->isModified());
}

TEST_F(SaveChecks, ACompleteLoadAsksNothing) {
    load("EQUIP97.EQP");
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(window->isModified());
    EXPECT_EQ(window->session().unsavedChangesDefault(), SaveChangesAnswer::Save);
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

// Three records named and coded for the lines of the question.
SamplePair knownPair() {
    std::vector<Equipment> records(3);
    const char* const names[] = {"Scout", "Tiger I", "Flak 88"};
    for (std::size_t k = 0; k < 3; ++k) {
        records[k].setEqCode(static_cast<Long>(5 + k));
        records[k].setEqName(names[k]);
        records[k].setPrestigeCost(132);
    }
    return EncodePair(records);
}

TEST_F(SaveChecks, WhatIsShownIsWhatIsSaved) {
    pair = knownPair();
    WritePair(folder.path(), pair);
    std::vector<QString> asked;
    bool fit = false;
    fake.onFitValues = [&](const QString& text) {
        asked.push_back(text);
        return fit;
    };
    load("EQUIP97.EQP");
    Document& document = mdlGeneral::document();
    const int cost = static_cast<int>(Field::PrestigeCost);
    const int icon = static_cast<int>(Field::IconName);
    document.undoStack()->push(
        new SetValueCommand(document, cost, SetValueCommand::Numbers{{2, 100}}));
    document.undoStack()->push(
        new SetValueCommand(document, icon, SetValueCommand::Texts{{3, "ABCDEFGH"}}));
    auto shown = [&](int record, int field) {
        return document.model()->index(record - 1, field).data().toString();
    };
    const QString question = QStringLiteral(
        "Saving changes 2 values to what the file can hold:\n\n"
        "record 2 (N 6, \"Tiger I\"): PrestigeCost 100 \u2192 96\n"
        "record 3 (N 7, \"Flak 88\"): IconName \"ABCDEFGH\" \u2192 \"ABCDEF\"\n"
        "\nAfter the save the list shows the values as saved; Undo takes them back. Save?");

    // Cancel: nothing is written and the list stays as it is.
    save("EQUIP97.EQP");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], question);
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.EQP"), pair.binary);
    EXPECT_EQ(shown(2, cost), QStringLiteral("100"));
    EXPECT_EQ(document.undoStack()->undoText(), QStringLiteral("Set Icon on 1 record"));
    EXPECT_TRUE(window->isModified());

    // A save that fails leaves the values as they were shown.
    document.undoStack()->push(new SetValueCommand(document, static_cast<int>(Field::EqCode),
                                                   SetValueCommand::Numbers{{1, 40000}}));
    fit = true;
    save("EQUIP97.EQP");
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_FALSE(messages.empty());
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.EQP"), pair.binary);
    EXPECT_EQ(shown(2, cost), QStringLiteral("100"));
    EXPECT_EQ(document.undoStack()->undoText(), QStringLiteral("Set N on 1 record"));
    document.undoStack()->undo();

    // Saved: the list holds what the file holds, unchanged since the save,
    // and Undo gives back the values as typed.
    messages.clear();
    save("EQUIP97.EQP");
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(shown(2, cost), QStringLiteral("96"));
    EXPECT_EQ(shown(3, icon), QStringLiteral("ABCDEF"));
    EXPECT_FALSE(window->isModified());
    Equipments onDisk;
    onDisk.setDataPath(folder / "EQUIP97.EQP");
    ASSERT_EQ(LoadEquipments(onDisk).message(), "");
    for (Long k = 1; k <= 3; ++k)
        EXPECT_EQ(*onDisk.Item(k), *document.equipments().Item(k)) << k;
    EXPECT_EQ(document.undoStack()->undoText(), QStringLiteral("Fit values to the file"));
    document.undoStack()->undo();
    EXPECT_EQ(shown(2, cost), QStringLiteral("100"));
    EXPECT_TRUE(window->isModified());
}

TEST_F(SaveChecks, MoreThanTwentyChangesAreCounted) {
    WritePair(folder.path(), std::vector<Equipment>(25));
    QString asked;
    fake.onFitValues = [&](const QString& text) {
        asked = text;
        return false;
    };
    load("EQUIP97.EQP");
    Document& document = mdlGeneral::document();
    SetValueCommand::Numbers costs;
    for (std::int32_t position = 1; position <= 25; ++position)
        costs.emplace_back(position, 5);
    document.undoStack()->push(
        new SetValueCommand(document, static_cast<int>(Field::PrestigeCost), costs));
    save("EQUIP97.EQP");
    EXPECT_TRUE(asked.startsWith(QStringLiteral("Saving changes 25 values")))
        << asked.toStdString();
    EXPECT_EQ(asked.count(QStringLiteral("\u2192")), 20);
    EXPECT_TRUE(asked.contains(QStringLiteral("\nand 5 more\n")));
}

// A blank last name line, as a text editor adds it, is only a warning: the
// list is whole and the next save writes the names without it.
TEST_F(SaveChecks, ABlankLastNameLineIsLeftOut) {
    WriteBytes(folder / "EQUIP97.TXT", pair.names + "\r\n");
    load("EQUIP97.EQP");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "the name list has 4 lines, the equipment file 3 records; line 4 is empty; it is "
              "left out, and a save writes the list without it");
    EXPECT_EQ(mdlGeneral::document().equipments().Count(), 3);
    EXPECT_TRUE(window->session().lastLoadComplete());
    save("EQUIP97.EQP");
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.TXT"), pair.names);
    EXPECT_EQ(ReadBytes(folder / "EQUIP97.EQP"), pair.binary);
}

}  // namespace
