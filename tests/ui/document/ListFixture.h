#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "model/Equipment.h"
#include "support/FakePrompts.h"
#include "ui/list/frmEqs.h"

// A list window over a document filled with made-up records, the document's
// model under QAbstractItemModelTester, and helpers that compare the list
// with a plain vector of records: the bytes a save would write and the
// texts the grid shows.
struct ListFixture : ::testing::Test {
    kestrel_test::FakePrompts fake;
    std::optional<kestrel::ui::frmEqs> window;
    std::unique_ptr<QAbstractItemModelTester> tester;
    // The rows the grid shows, through the filter and the sort.
    std::unique_ptr<QAbstractItemModelTester> shownTester;
    std::vector<QString> messages;

    void SetUp() override;
    void TearDown() override;

    kestrel::ui::Grid& grid();
    // Replaces the list by records, as a load would.
    void load(const std::vector<kestrel::Equipment>& records);
    std::vector<kestrel::Equipment> current() const;
    // Puts records on the clipboard as Copy would.
    static void toClipboard(const std::vector<kestrel::Equipment>& records);
    // A record with small random values, named by its number.
    static kestrel::Equipment madeUp(std::mt19937& random, int number);

    // The name list and binary file bytes a save of records would write.
    static std::string fileBytes(const std::vector<kestrel::Equipment>& records);
    // The list holds records, grid row n shows record n.
    void expectList(const std::vector<kestrel::Equipment>& records, const std::string& step);
};
