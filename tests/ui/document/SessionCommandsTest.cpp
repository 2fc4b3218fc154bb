#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QUndoStack>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "storage/EquipmentFiles.h"
#include "support/FakePrompts.h"
#include "support/SamplePairs.h"
#include "ui/document/EditorSession.h"
#include "ui/list/BulkCommands.h"
#include "ui/list/ListCommands.h"
#include "ui/platform/MessageBox.h"
#include "vocabulary/LookupTables.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

// The list's commands on a session with no window: what each does to the
// bytes a save would write and to the selection, and that undo and redo
// take both back and forth exactly.
struct SessionCommands : ::testing::Test {
    kestrel_test::FakePrompts fake;
    EditorSession session;
    std::vector<QString>& messages = fake.messages;

    void SetUp() override {
        InitLookupTables();
        session.setPrompts(&fake);
    }

    // Codes 0 5 3 9 1 7, countries 0 2 1 2 0 1.
    void fill() {
        const int codes[] = {0, 5, 3, 9, 1, 7};
        const int countries[] = {0, 2, 1, 2, 0, 1};
        std::vector<Equipment> records;
        for (int i = 0; i < 6; ++i) {
            Equipment e;
            e.setEqCode(codes[i]);
            e.setCountry(countries[i]);
            e.setEqName("R" + std::to_string(codes[i]));
            records.push_back(e);
        }
        session.document().replaceAll(nullptr, true);
        session.document().insertRecords(1, records);
    }
    std::string bytes() {
        std::string names, binary;
        EncodeNameList(session.equipments(), names);
        EncodeBinaryFile(session.equipments(), binary);
        return names + '|' + binary;
    }
    std::vector<int> codes() {
        std::vector<int> out;
        for (const EquipmentRef& e : session.equipments())
            out.push_back(e->EqCode());
        return out;
    }
    struct Selection {
        std::vector<std::int32_t> positions;
        std::int32_t current;
        bool operator==(const Selection& o) const {
            return positions == o.positions && current == o.current;
        }
    };
    Selection selection() { return {session.selectedPositions(), session.currentPosition()}; }
};

TEST_F(SessionCommands, EachCommandChangesTheListAndUndoAndRedoTakeItBackAndForth) {
    struct Case {
        const char* name;
        std::vector<std::int32_t> selected;
        std::int32_t current;
        std::function<void(EditorSession&)> run;
        std::vector<int> codesAfter;  // empty: checked by the case's own rule
    };
    const std::vector<Case> cases = {
        {"renumber", {2}, 2, Renumber, {0, 1, 2, 3, 4, 5}},
        {"sort by code", {2}, 2, SortByCode, {0, 1, 3, 5, 7, 9}},
        {"sort by country", {2}, 2, SortByCountry, {}},
        {"move up", {3}, 3, MoveUp, {0, 3, 5, 9, 1, 7}},
        {"move down", {3}, 3, MoveDown, {0, 5, 9, 3, 1, 7}},
        {"cut", {2, 3}, 2, Cut, {0, 9, 1, 7}},
        {"cut apart", {2, 4}, 2, Cut, {0, 3, 1, 7}},
        {"delete", {2, 3}, 2, DeleteSelected, {0, 9, 1, 7}},
        {"delete keeps the first record", {1, 2}, 1, DeleteSelected, {0, 3, 9, 1, 7}},
        {"duplicate",
         {2, 3},
         2,
         [](EditorSession& s) { DuplicateSelected(s); },
         {0, 5, 3, 5, 3, 9, 1, 7}},
        {"move to", {2, 3}, 2, [](EditorSession& s) { MoveSelectedTo(s, 5); }, {0, 9, 1, 7, 5, 3}},
        {"paste what was copied",
         {2, 3},
         2,
         [](EditorSession& s) {
             Copy(s);
             Paste(s);
         },
         {0, 5, 3, 9, 1, 7, 5, 3}},
    };
    for (const Case& c : cases) {
        fill();
        session.selectPositions(c.selected, c.current);
        const std::string before = bytes();
        const Selection selectedBefore = selection();
        c.run(session);
        const std::string after = bytes();
        const Selection selectedAfter = selection();
        EXPECT_NE(after, before) << c.name;
        if (!c.codesAfter.empty()) {
            EXPECT_EQ(codes(), c.codesAfter) << c.name;
        } else {
            // By country from the second record on.
            for (std::int32_t p = 3; p <= session.equipments().Count(); ++p)
                EXPECT_LE(session.equipments().Item(p - 1)->Country(),
                          session.equipments().Item(p)->Country())
                    << c.name;
        }
        QUndoStack& stack = *session.document().undoStack();
        ASSERT_EQ(stack.count(), 1) << c.name;
        stack.undo();
        EXPECT_EQ(bytes(), before) << c.name;
        // A selection keeps its corners: one with a gap comes back whole.
        if (c.selected.back() - c.selected.front() + 1 == static_cast<int>(c.selected.size())) {
            EXPECT_TRUE(selection() == selectedBefore) << c.name;
        }
        stack.redo();
        EXPECT_EQ(bytes(), after) << c.name;
        EXPECT_TRUE(selection() == selectedAfter) << c.name;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(SessionCommands, WhatEachCommandLeavesSelected) {
    fill();
    session.selectPositions({2, 3}, 2);
    DuplicateSelected(session);
    EXPECT_EQ(session.selectedPositions(), (std::vector<std::int32_t>{4, 5}));
    fill();
    session.selectPositions({2, 3}, 2);
    MoveSelectedTo(session, 5);
    EXPECT_EQ(session.selectedPositions(), (std::vector<std::int32_t>{5, 6}));
    EXPECT_EQ(session.currentPosition(), 5);
}

TEST_F(SessionCommands, CommandsThatCannotApplyChangeNothing) {
    struct Case {
        const char* name;
        std::vector<std::int32_t> selected;
        std::int32_t current;
        std::function<void(EditorSession&)> run;
    };
    const std::vector<Case> cases = {
        {"move up into position 1", {2}, 2, MoveUp},
        {"move down off the end", {6}, 6, MoveDown},
        {"move the first record", {1}, 1, MoveDown},
        {"delete the first record alone", {1}, 1, DeleteSelected},
        {"move to where they stand", {2, 3}, 2, [](EditorSession& s) { MoveSelectedTo(s, 2); }},
    };
    for (const Case& c : cases) {
        fill();
        session.selectPositions(c.selected, c.current);
        const std::string before = bytes();
        c.run(session);
        EXPECT_EQ(bytes(), before) << c.name;
        EXPECT_EQ(session.document().undoStack()->count(), 0) << c.name;
    }
}

// A command that cannot do what was asked says why to its caller and shows
// nothing itself: the window is the one that shows it.
TEST_F(SessionCommands, ARefusalIsReturnedNotShown) {
    struct Case {
        const char* name;
        std::vector<std::int32_t> selected;
        std::function<std::optional<QString>(EditorSession&)> run;
        const char* refusal;
    };
    const std::vector<Case> cases = {
        {"move the first record",
         {1, 2},
         [](EditorSession& s) { return MoveSelectedTo(s, 3); },
         "The first record of the list stays where it is"},
        {"move past the end",
         {2, 3},
         [](EditorSession& s) { return MoveSelectedTo(s, 6); },
         "2 records cannot go to position 6: the first of them can go to 2 to 5."},
        {"paste what is not records",
         {2},
         [](EditorSession& s) {
             QGuiApplication::clipboard()->setText(QStringLiteral("not records"));
             return Paste(s);
         },
         "Invalid clipboard data"},
    };
    for (const Case& c : cases) {
        fill();
        session.selectPositions(c.selected, c.selected.front());
        const std::string before = bytes();
        const std::optional<QString> refusal = c.run(session);
        ASSERT_TRUE(refusal.has_value()) << c.name;
        EXPECT_TRUE(refusal->startsWith(QLatin1String(c.refusal))) << refusal->toStdString();
        EXPECT_EQ(bytes(), before) << c.name;
    }
    EXPECT_TRUE(messages.empty());
}

// Reading and writing the pair with no window: what the user is told comes
// from the results, and one flag says whether the list stands for its pair.
TEST_F(SessionCommands, AnIncompleteLoadIsAskedAboutUntilASaveAndARefusedRecordIsNamed) {
    ScopedTempFolder folder;
    std::mt19937 random(5);
    const SamplePair pair = RandomPair(random, 3);
    WritePair(folder.path(), pair);
    WriteBytes(folder / "EQUIP97.TXT", pair.names + "one more\r\n");
    const QString other = QString::fromStdString(folder / "OTHER.EQP");
    int asked = 0;
    fake.onSaveOverIncomplete = [&asked](const QString&) {
        ++asked;
        return false;
    };

    EXPECT_FALSE(session.readPair(QString::fromStdString(folder / "EQUIP97.EQP")).complete);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Equipment File can not be read5\n")));
    EXPECT_FALSE(session.lastLoadComplete());
    EXPECT_TRUE(session.document().isModified());
    EXPECT_EQ(session.unsavedChangesDefault(), SaveChangesAnswer::Discard);
    EXPECT_FALSE(session.maySaveTo(folder / "EQUIP97.EQP"));
    EXPECT_TRUE(session.maySaveTo(folder / "OTHER.EQP"));
    EXPECT_EQ(asked, 1);

    messages.clear();
    session.equipments().Item(2)->setCountry(26);
    EXPECT_FALSE(session.writePair(other));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(
        messages[0].startsWith(QStringLiteral("Equipment File can not be written2\nrecord 2 (")))
        << messages[0].toStdString();
    EXPECT_EQ(ReadBytes(folder / "OTHER.EQP"), "<missing>");
    EXPECT_FALSE(session.lastLoadComplete());

    session.equipments().Item(2)->setCountry(1);
    EXPECT_TRUE(session.writePair(other));
    EXPECT_TRUE(session.lastLoadComplete());
    EXPECT_FALSE(session.document().isModified());
    EXPECT_TRUE(session.maySaveTo(folder / "EQUIP97.EQP"));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(messages.size(), 1u);
}

}  // namespace
