#include <gtest/gtest.h>

#include <QUndoStack>

#include <optional>
#include <random>
#include <string>
#include <utility>
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

struct Ordering : ::testing::Test {
    kestrel_test::FakePrompts fake;
    std::optional<frmEqs> window;

    void SetUp() override {
        mdlGeneral::ResetEquipments();
        window.emplace();
        fake.onMessage = [](const QString& text) { ADD_FAILURE() << text.toStdString(); };
    }
    void TearDown() override {
        window.reset();
        mdlGeneral::ResetEquipments();
    }
    Grid& grid() { return window->UnitList(); }

    // Records named after their place in the list given, keyed by code and
    // country as given, listed the way a load lists them.
    void fill(const std::vector<std::pair<Long, Long>>& codeAndCountry) {
        Equipments& list = mdlGeneral::gEquipments();
        for (std::size_t i = 0; i < codeAndCountry.size(); ++i) {
            Equipment e;
            e.setEqCode(codeAndCountry[i].first);
            e.setCountry(codeAndCountry[i].second);
            e.setEqName("R" + std::to_string(i + 1));
            e.setSoftAttack(static_cast<Byte>(i));
            mdlGeneral::document().insertRecords(list.Count() + 1, {e});
        }
        if (grid().Rows() > 1)
            grid().setFixedRows(1);
        window->setModified(false);
    }
    void fillCodes(const std::vector<Long>& codes) {
        std::vector<std::pair<Long, Long>> pairs;
        for (Long c : codes)
            pairs.emplace_back(c, 0);
        fill(pairs);
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : mdlGeneral::gEquipments())
            out.push_back(e->EqName());
        return out;
    }
    std::vector<Long> codes() const {
        std::vector<Long> out;
        for (const auto& e : mdlGeneral::gEquipments())
            out.push_back(e->EqCode());
        return out;
    }
    // Grid row n shows item n, cell for cell.
    void expectGridAgrees() {
        Equipments& list = mdlGeneral::gEquipments();
        ASSERT_EQ(grid().Rows(), list.Count() + 1);
        for (std::int32_t i = 1; i <= list.Count(); ++i) {
            std::string row;
            for (int c = 0; c < grid().Cols(); ++c)
                row += (c ? "\t" : "") + grid().TextMatrix(i, c);
            EXPECT_EQ(row, mdlGeneral::GridRowText(*list.Item(i))) << "row " << i;
        }
        EXPECT_TRUE(grid().Redraw());
    }
};

using Names = std::vector<std::string>;

TEST_F(Ordering, RenumberGivesEveryRecordItsPositionFromZero) {
    fillCodes({7, 3, 9});
    cmdRenumber_Click();
    EXPECT_EQ(codes(), (std::vector<Long>{0, 1, 2}));
    EXPECT_EQ(names(), (Names{"R1", "R2", "R3"}));
    EXPECT_EQ(grid().TextMatrix(1, 0), "0");
    EXPECT_EQ(grid().TextMatrix(3, 0), "2");
    EXPECT_EQ(grid().FixedRows(), 1);
    EXPECT_TRUE(window->isModified());
    expectGridAgrees();

    // Already numbered: nothing to save afterwards.
    window->setModified(false);
    cmdRenumber_Click();
    EXPECT_FALSE(window->isModified());
    expectGridAgrees();
}

TEST_F(Ordering, RenumberOfAnEmptyListKeepsTheHeadingRowAlone) {
    cmdRenumber_Click();
    EXPECT_EQ(grid().Rows(), 1);
    EXPECT_EQ(grid().TextMatrix(0, 0), "N");
    EXPECT_FALSE(window->isModified());
}

TEST_F(Ordering, SortsLeaveTheFirstRecordAndOrderTheRestLikeTheExchangeSort) {
    struct Case {
        std::vector<Long> keys;
        Names expected;
    };
    const Case cases[] = {
        {{0, 9, 4, 7}, {"R1", "R3", "R4", "R2"}},
        {{9, 4, 7}, {"R1", "R2", "R3"}},
        {{99, 5, 3}, {"R1", "R3", "R2"}},
        // Equal keys change their order through exchanges with a third.
        {{0, 5, 5, 3}, {"R1", "R4", "R3", "R2"}},
        {{3, 1}, {"R1", "R2"}},
        {{3}, {"R1"}},
        {{}, {}},
        {{1, -5, 7, INT32_MIN, INT32_MAX}, {"R1", "R4", "R2", "R3", "R5"}},
    };
    for (bool byCountry : {false, true}) {
        for (const Case& c : cases) {
            TearDown();
            SetUp();
            std::vector<std::pair<Long, Long>> pairs;
            for (Long k : c.keys)
                pairs.emplace_back(byCountry ? 100 : k, byCountry ? k : 100);
            fill(pairs);
            byCountry ? cmdSortbyCountry_Click() : cmdSort_Click();
            EXPECT_EQ(names(), c.expected) << (byCountry ? "country " : "code ") << c.keys.size();
            Names original;
            for (std::size_t i = 0; i < c.keys.size(); ++i)
                original.push_back("R" + std::to_string(i + 1));
            EXPECT_EQ(window->isModified(), c.expected != original);
            expectGridAgrees();
            if (!c.keys.empty()) {
                EXPECT_EQ(grid().FixedRows(), 1);
            }
        }
    }
}

TEST_F(Ordering, SortByCountryOfTheWorkedExample) {
    fill({{0, 0}, {1, 3}, {2, 1}, {3, 3}, {4, 2}});
    cmdSortbyCountry_Click();
    std::vector<Long> countries;
    for (const auto& e : mdlGeneral::gEquipments())
        countries.push_back(e->Country());
    EXPECT_EQ(countries, (std::vector<Long>{0, 1, 2, 3, 3}));
    expectGridAgrees();
}

// The exchange sort written out as the list window first did it, on plain
// pairs, to check the order the command gives on lists with many ties.
Names literalExchangeSort(std::vector<std::pair<Long, std::string>> list) {
    const std::size_t n = list.size();
    for (std::size_t i = 2; i + 1 <= n; ++i) {
        for (std::size_t j = i + 1; j <= n; ++j) {
            if (list[i - 1].first > list[j - 1].first)
                std::swap(list[i - 1], list[j - 1]);
        }
    }
    Names out;
    for (const auto& p : list)
        out.push_back(p.second);
    return out;
}

TEST_F(Ordering, SortMatchesTheLiteralExchangeSortOnRandomListsWithTies) {
    std::mt19937 rng(42);
    for (int round = 0; round < 30; ++round) {
        TearDown();
        SetUp();
        const int n = 1 + static_cast<int>(rng() % 60);
        const Long spread = 1 + static_cast<Long>(rng() % 5);
        std::vector<Long> keys;
        std::vector<std::pair<Long, std::string>> reference;
        for (int i = 0; i < n; ++i) {
            keys.push_back(static_cast<Long>(rng() % spread) - 1);
            reference.emplace_back(keys.back(), "R" + std::to_string(i + 1));
        }
        fillCodes(keys);
        cmdSort_Click();
        EXPECT_EQ(names(), literalExchangeSort(reference)) << "round " << round;
        expectGridAgrees();
    }
}

TEST_F(Ordering, MovesExchangeTwoRecordsExceptAtTheEdges) {
    enum Button { Up, Down };
    struct Case {
        int records;
        int row;
        Button button;
        Names expected;  // empty: the list stays as it was
        int current;     // the row current afterwards
    };
    const Case cases[] = {
        {5, 5, Up, {"R1", "R2", "R3", "R5", "R4"}, 4},
        {5, 3, Up, {"R1", "R3", "R2", "R4", "R5"}, 2},
        {5, 2, Up, {}, 2},
        {5, 1, Up, {}, 1},
        {5, 0, Up, {}, 0},
        {5, 2, Down, {"R1", "R3", "R2", "R4", "R5"}, 3},
        {5, 4, Down, {"R1", "R2", "R3", "R5", "R4"}, 5},
        {5, 5, Down, {}, 5},
        {5, 1, Down, {}, 1},
        {5, 0, Down, {}, 0},
        {1, 1, Up, {}, 1},
        {1, 1, Down, {}, 1},
        {0, 0, Up, {}, 0},
        {0, 0, Down, {}, 0},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        std::vector<Long> keys;
        for (int i = 0; i < c.records; ++i)
            keys.push_back(10 * (i + 1));
        fillCodes(keys);
        const Names before = names();
        grid().setRow(c.row);
        (c.button == Up ? cmdUp_Click : cmdDown_Click)();
        const bool moved = !c.expected.empty();
        EXPECT_EQ(names(), moved ? c.expected : before)
            << c.records << " records, row " << c.row << (c.button == Up ? " up" : " down");
        EXPECT_EQ(grid().Row(), c.current);
        EXPECT_EQ(window->isModified(), moved);
        if (moved) {
            EXPECT_EQ(grid().RowSel(), c.current);
            EXPECT_EQ(grid().ColSel(), grid().Cols() - 1);
            // A moved record keeps its own code.
            EXPECT_EQ(
                mdlGeneral::gEquipments().Item(c.current)->EqName(),
                "R" + std::to_string(mdlGeneral::gEquipments().Item(c.current)->EqCode() / 10));
        }
        expectGridAgrees();
    }
}

TEST_F(Ordering, PressingMoveDownAgainCarriesTheSameRecordFurther) {
    fillCodes({0, 1, 2, 3, 4});
    grid().setRow(2);
    cmdDown_Click();
    cmdDown_Click();
    cmdDown_Click();
    EXPECT_EQ(names(), (Names{"R1", "R3", "R4", "R5", "R2"}));
    EXPECT_EQ(grid().Row(), 5);
    expectGridAgrees();
}

// A sort moves the selected records, and they stay selected where they go;
// undo and redo put the selection back with the order.
TEST_F(Ordering, SortKeepsTheSelectedRecordsSelectedWhereTheyGo) {
    struct Case {
        std::vector<std::int32_t> selected;
        std::int32_t current;
        std::vector<std::int32_t> after;
        std::int32_t currentAfter;
    };
    // R1 stays first; R2 goes to 4, R3 to 2, R4 to 3.
    const Case cases[] = {
        {{2}, 2, {4}, 4},
        {{2, 3}, 2, {2, 4}, 4},
        {{3, 4}, 4, {2, 3}, 3},
        {{2, 4}, 4, {3, 4}, 3},
        {{1, 2, 3, 4}, 1, {1, 2, 3, 4}, 1},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        fillCodes({0, 9, 4, 7});
        mdlGeneral::SelectPositions(c.selected, c.current);
        cmdSort_Click();
        ASSERT_EQ(names(), (Names{"R1", "R3", "R4", "R2"}));
        const auto expectSelection = [&](const std::vector<std::int32_t>& selected,
                                         std::int32_t current, const char* when) {
            EXPECT_EQ(mdlGeneral::SelectedPositions(), selected) << when << " " << c.current;
            EXPECT_EQ(mdlGeneral::PositionOfRow(grid().Row()), current) << when << " " << c.current;
        };
        expectSelection(c.after, c.currentAfter, "sorted");
        QUndoStack& stack = *mdlGeneral::document().undoStack();
        stack.undo();
        expectSelection(c.selected, c.current, "undone");
        stack.redo();
        expectSelection(c.after, c.currentAfter, "redone");
    }
}

TEST_F(Ordering, SwapEquipmentsExchangesEveryValueButNotTheObjects) {
    fillCodes({1, 2});
    EquipmentRef first = mdlGeneral::gEquipments().Item(1);
    Equipment a = *first, b = *mdlGeneral::gEquipments().Item(2);
    mdlGeneral::SwapEquipments(2, 1);
    EXPECT_EQ(mdlGeneral::gEquipments().Item(1), first);
    EXPECT_EQ(*first, b);
    EXPECT_EQ(*mdlGeneral::gEquipments().Item(2), a);
}

}  // namespace
