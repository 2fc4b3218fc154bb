#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QSettings>
#include <QTableView>

#include "model/FieldTable.h"
#include "ui/document/Document.h"
#include "ui/list/ColumnFit.h"
#include "ui/list/FilterBar.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"
#include "ui/platform/Twips.h"
#include "vocabulary/LookupTables.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

struct ReadableGrid : ::testing::Test {
    std::unique_ptr<frmEqs> window;
    void SetUp() override {
        InitLookupTables();
        mdlGeneral::ResetEquipments();
        window = std::make_unique<frmEqs>();
        window->resize(900, 600);
        window->show();
    }
    void TearDown() override {
        window.reset();
        mdlGeneral::ResetEquipments();
    }
    Grid& grid() { return window->UnitList(); }
    ColumnFit& fit() { return *grid().findChild<ColumnFit*>(); }
    // Fills the list as a load does: one reset with every record.
    void fill(std::vector<Equipment> records) {
        auto list = std::make_unique<Equipments>();
        for (Equipment& e : records)
            list->Add(e);
        mdlGeneral::document().replaceAll(std::move(list), true);
    }
    // Every cell and heading fits its column.
    void expectNothingCut(const char* step) {
        QTableView* view = grid().view();
        for (int c = 0; c < grid().Cols(); ++c) {
            EXPECT_GE(view->columnWidth(c), fit().headingWidth(grid().DisplayText(0, c)))
                << step << " heading " << c;
            for (int r = 1; r < grid().Rows(); ++r) {
                EXPECT_GE(view->columnWidth(c), fit().cellWidth(grid().DisplayText(r, c)))
                    << step << " row " << r << " col " << c << " " << grid().TextMatrix(r, c);
            }
        }
    }
};

Equipment wide(Long code, const std::string& name, Long cost) {
    Equipment e;
    e.setEqCode(code);
    e.setEqName(name);
    e.setPrestigeCost(cost);
    e.setAttackSound(-2147483647);
    e.setCountry(25);
    return e;
}

TEST_F(ReadableGrid, ColumnsWidenToTheirLongestTextsAndNeverBelowTheirMinimum) {
    fill({wide(32747, "Sturmgeschuetz III Ausf. G (late production)", 2400),
          wide(32766, "Sturmgeschuetz III Ausf. G (early production)", 12400)});
    expectNothingCut("load");
    for (int c = 0; c < grid().Cols(); ++c)
        EXPECT_GE(grid().view()->columnWidth(c), TwipsToPixelsX(fieldInfo(c).widthTwips)) << c;
    // Rows added or changed later widen what they no longer fit.
    mdlGeneral::document().insertRecords(3, {wide(7, std::string(80, 'W'), -2000000000)});
    Equipment changed = wide(1, "x", 1);
    changed.setIconName(std::string(60, 'M'));
    mdlGeneral::document().replaceRecord(1, changed);
    expectNothingCut("insert and replace");

    // Many long narrow names do not hide a shorter wide one.
    std::vector<Equipment> names;
    for (int i = 0; i < 10; ++i)
        names.push_back(wide(i, std::string(30, 'i') + std::to_string(i), 1));
    names.push_back(wide(10, "WMWMWMWMWMWMWMWMWMWM", 1));
    fill(names);
    expectNothingCut("narrow and wide names");
}

// Widths are measured once a text, but a text measured in a smaller font
// is measured again in the grid's new one.
TEST_F(ReadableGrid, ATextMeasuredBeforeIsMeasuredAgainInANewFont) {
    const std::string name(40, 'W');
    fill({wide(1, name, 12)});
    QFont larger = grid().view()->font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    grid().view()->setFont(larger);
    mdlGeneral::document().insertRecords(2, {wide(2, name, 12)});
    const int column = static_cast<int>(Field::EqName);
    EXPECT_GE(grid().view()->columnWidth(column), fit().cellWidth(grid().DisplayText(2, column)));
}

// A filter numbers the grid's rows its own way: a record changed while it
// is hidden, or shown on another row than its position, still widens its
// columns, and clearing the filter shows nothing cut.
TEST_F(ReadableGrid, ColumnsFollowTheListWhileFiltered) {
    fill({wide(1, "Alpha", 12), wide(2, "Bravo", 12), wide(3, "Charlie", 12),
          wide(4, "Bravo two", 12)});
    window->filterBar().edit()->setText(QStringLiteral("bravo"));
    ASSERT_EQ(grid().Rows() - 1, 2);
    Equipment hidden = wide(3, std::string(70, 'W'), 12);
    mdlGeneral::document().replaceRecord(3, hidden);
    Equipment shown = wide(4, "Bravo two", 12);
    shown.setIconName(std::string(50, 'M'));
    mdlGeneral::document().replaceRecord(4, shown);
    expectNothingCut("filtered");
    window->filterBar().clear();
    expectNothingCut("filter cleared");
}

TEST_F(ReadableGrid, TheFrozenPaneFollowsItsColumnsWhenTheUserResizesOrAutoFits) {
    fill({wide(1, "A", 1), wide(2, std::string(50, 'N'), 2)});
    QTableView* view = grid().view();
    QTableView* frozen = grid().frozenView();
    auto frozenCovers = [&] {
        int width = 0;
        for (int c = 0; c < grid().FixedCols(); ++c) {
            EXPECT_EQ(frozen->columnWidth(c), view->columnWidth(c)) << c;
            width += view->columnWidth(c);
        }
        return frozen->width() >= width;
    };
    view->horizontalHeader()->resizeSection(1, view->columnWidth(1) + 150);
    EXPECT_TRUE(frozenCovers()) << "widened";
    view->resizeColumnToContents(1);  // a double-click on the heading's edge
    EXPECT_TRUE(frozenCovers()) << "auto-fitted";
    frozen->horizontalHeader()->resizeSection(0, 200);  // dragged in the frozen pane
    EXPECT_EQ(view->columnWidth(0), 200);
    EXPECT_TRUE(frozenCovers()) << "dragged in the pane";
}

TEST_F(ReadableGrid, AWidthTheUserSetIsRememberedAndWinsOnlyWhenWider) {
    fill({wide(1, "Short", 1)});
    QHeaderView* header = grid().view()->horizontalHeader();
    const int fitted = grid().view()->columnWidth(1);
    header->resizeSection(1, fitted + 200);
    header->resizeSection(4, 10);  // narrowed: cut texts are marked, not hidden
    EXPECT_EQ(grid().view()->columnWidth(4), 10);
    // A row added later does not undo what the user chose.
    mdlGeneral::document().insertRecords(2, {wide(250, "Other", 99)});
    EXPECT_EQ(grid().view()->columnWidth(4), 10);

    // The next editor remembers both; the narrowed one loses to the texts.
    window.reset();
    window = std::make_unique<frmEqs>();
    fill({wide(1, "Short", 1)});
    EXPECT_NEAR(grid().view()->columnWidth(1), fitted + 200, 1);
    expectNothingCut("next start");
}

}  // namespace
