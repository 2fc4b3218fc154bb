#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <functional>
#include <stdexcept>

#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

std::vector<Equipment> named(int n) {
    std::vector<Equipment> out(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        out[static_cast<std::size_t>(i)].setEqName("R" + std::to_string(i + 1));
    return out;
}

std::vector<std::string> names(const Document& document) {
    std::vector<std::string> out;
    for (const EquipmentRef& e : document.equipments())
        out.push_back(e->EqName());
    return out;
}

}  // namespace

TEST(Document, OperationsOutsideTheListThrowAndChangeNothing) {
    Document document;
    QAbstractItemModelTester tester(document.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    document.insertRecords(1, named(4));
    const auto before = names(document);
    const int code = static_cast<int>(Field::EqCode);
    const std::function<void()> bad[] = {
        [&] { document.insertRecords(0, named(1)); },
        [&] { document.insertRecords(6, named(1)); },
        [&] { document.removeRecords(0, 1); },
        [&] { document.removeRecords(3, 3); },
        [&] { document.swapAdjacent(4); },
        [&] {
            document.permute({0, 1, 2});
        },
        [&] {
            document.permute({0, 1, 1, 3});
        },
        [&] {
            document.setNumbers(code, {{2, 7}, {5, 7}});
        },
        [&] {
            document.setNumbers(code, {{0, 7}, {2, 7}});
        },
    };
    for (std::size_t i = 0; i < std::size(bad); ++i) {
        EXPECT_ANY_THROW(bad[i]()) << "case " << i;
        EXPECT_EQ(names(document), before) << "case " << i;
        EXPECT_EQ(document.equipments().Item(2)->EqCode(), 0) << "case " << i;
    }
}

TEST(Document, InsertPutsRecordsBeforeThePositionAndRemoveGivesThemBack) {
    Document document;
    QAbstractItemModelTester tester(document.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    document.insertRecords(1, named(5));
    std::vector<Equipment> block = {Equipment(), Equipment()};
    block[0].setEqName("A");
    block[1].setEqName("B");
    document.insertRecords(3, block);
    EXPECT_EQ(names(document), (std::vector<std::string>{"R1", "R2", "A", "B", "R3", "R4", "R5"}));
    const std::vector<Equipment> removed = document.removeRecords(3, 2);
    ASSERT_EQ(removed.size(), 2u);
    EXPECT_EQ(removed[1].EqName(), "B");
    EXPECT_EQ(names(document), (std::vector<std::string>{"R1", "R2", "R3", "R4", "R5"}));
    document.swapAdjacent(4);
    document.permute({4, 0, 1, 2, 3});
    EXPECT_EQ(names(document), (std::vector<std::string>{"R4", "R1", "R2", "R3", "R5"}));
}
