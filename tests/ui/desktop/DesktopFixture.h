#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "model/Equipment.h"
#include "support/FakePrompts.h"
#include "support/SamplePairs.h"
#include "ui/list/frmEqs.h"
#include "ui/platform/MessageBox.h"

// A list window with every box answered by the test: messages recorded, the
// unsaved-changes question answered with promptAnswer and counted, the file
// dialog answered from answers in order (cancelled when they run out).
struct DesktopFixture : ::testing::Test {
    kestrel_test::FakePrompts fake;
    std::optional<kestrel::ui::frmEqs> window;
    std::vector<QString> messages;
    std::vector<QString> answers;
    int prompts = 0;
    kestrel::ui::SaveChangesAnswer promptAnswer = kestrel::ui::SaveChangesAnswer::Cancel;
    kestrel::ScopedTempFolder folder;

    void SetUp() override;
    void TearDown() override;

    // count made-up records whose names start with prefix.
    static std::vector<kestrel::Equipment> records(int count, const std::string& prefix);
    // Writes the pair into folder/sub (created) and gives its EQUIP97.EQP.
    QString writePair(const std::string& sub, const std::vector<kestrel::Equipment>& list);
    // The bytes a save of the open list would write (names, a zero, binary).
    static std::string listBytes();
    static std::string pairBytes(const std::vector<kestrel::Equipment>& list);
    // Saves the list to path through the Save command.
    bool saveTo(const QString& path);
    // Makes one change through the undo stack.
    static void edit();
};
