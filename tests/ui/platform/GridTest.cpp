#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTableView>
#include <functional>
#include <string>
#include <vector>

#include "ui/platform/Grid.h"
#include "ui/platform/GridModel.h"

using kestrel::ui::Grid;

namespace {

std::string rowText(const Grid& grid, int row) {
    std::string text;
    for (int c = 0; c < grid.Cols(); ++c) {
        if (c)
            text += '|';
        text += grid.TextMatrix(row, c);
    }
    return text;
}

struct GridFixture : ::testing::Test {
    Grid grid;
    void SetUp() override {
        grid.setCols(3);
        grid.AddItem("A\tB\tC");
    }
};

}  // namespace

TEST_F(GridFixture, AddItemSplitsAtTabsDropsExtraFieldsAndFillsMissing) {
    struct Case {
        std::string text;
        std::string cells;
    } cases[] = {
        {"1\t2\t3", "1|2|3"}, {"1\t2\t3\t4\t5", "1|2|3"}, {"1", "1||"},
        {"", "||"},           {"\t\tx", "||x"},
    };
    for (const Case& c : cases) {
        grid.AddItem(c.text);
        EXPECT_EQ(rowText(grid, grid.Rows() - 1), c.cells) << c.text;
    }
}

TEST_F(GridFixture, InsertRemoveAndRowsKeepOrder) {
    for (int i = 1; i <= 9; ++i)
        grid.AddItem(std::to_string(i));
    ASSERT_EQ(grid.Rows(), 10);
    grid.AddItem("new", 3);
    EXPECT_EQ(grid.TextMatrix(3, 0), "new");
    EXPECT_EQ(grid.TextMatrix(4, 0), "3");
    grid.RemoveItem(3);
    EXPECT_EQ(grid.TextMatrix(3, 0), "3");
    grid.setRows(4);
    EXPECT_EQ(grid.Rows(), 4);
    EXPECT_EQ(grid.TextMatrix(3, 0), "3");
    EXPECT_EQ(grid.model()->rowCount(), 3);
    grid.setRows(0);
    EXPECT_EQ(grid.Rows(), 0);
    EXPECT_EQ(grid.model()->rowCount(), 0);
}

TEST_F(GridFixture, HeadingRowFeedsTheHeaderNotTheBody) {
    grid.AddItem("x\ty\tz");
    EXPECT_EQ(grid.model()->rowCount(), 1);
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("B"));
    EXPECT_EQ(grid.model()->index(0, 2).data().toString(), QStringLiteral("z"));
}

TEST_F(GridFixture, SettingRowOrColCollapsesTheSelection) {
    for (int i = 0; i < 5; ++i)
        grid.AddItem("r");
    grid.setRow(2);
    grid.setCol(1);
    grid.setRowSel(4);
    grid.setColSel(2);
    EXPECT_EQ(grid.RowSel(), 4);
    grid.setRow(3);
    EXPECT_EQ(grid.RowSel(), 3);
    EXPECT_EQ(grid.ColSel(), 1);
    grid.setRowSel(5);
    grid.setColSel(2);
    grid.setCol(0);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.RowSel(), 3);
    EXPECT_EQ(grid.ColSel(), 0);
    EXPECT_EQ(grid.view()->selectionModel()->selectedIndexes().size(), 1);
}

TEST_F(GridFixture, RedrawOffSendsNoRowSignalsAndOneResetWhenBackOn) {
    QSignalSpy inserted(grid.model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(grid.model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(grid.model(), &QAbstractItemModel::modelReset);
    grid.setRedraw(false);
    for (int i = 0; i < 100; ++i)
        grid.AddItem("r");
    grid.RemoveItem(5);
    grid.setRows(50);
    EXPECT_EQ(inserted.count() + removed.count(), 0);
    EXPECT_EQ(reset.count(), 0);
    grid.setRedraw(true);
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(grid.model()->rowCount(), 49);
}

TEST_F(GridFixture, ModelPassesTheItemModelTester) {
    QAbstractItemModelTester tester(grid.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (int i = 0; i < 20; ++i)
        grid.AddItem(std::to_string(i) + "\tx\ty");
    grid.AddItem("first", 1);
    grid.AddItem("heading", 0);
    grid.RemoveItem(0);
    grid.RemoveItem(7);
    grid.setRows(5);
    grid.setRedraw(false);
    grid.setRows(1);
    grid.AddItem("later");
    grid.setRedraw(true);
    grid.setColAlignment(1, 0);
    grid.setRows(0);
    grid.AddItem("h");
    EXPECT_EQ(grid.Rows(), 1);
}

TEST_F(GridFixture, FrozenViewSharesModelAndSelection) {
    grid.setFixedCols(2);
    EXPECT_EQ(grid.frozenView()->model(), grid.view()->model());
    EXPECT_EQ(grid.frozenView()->selectionModel(), grid.view()->selectionModel());
    EXPECT_FALSE(grid.frozenView()->isColumnHidden(1));
    EXPECT_TRUE(grid.frozenView()->isColumnHidden(2));
}

// A cell's text stays inside its cell, and selected rows show the highlight
// from edge to edge; read back from the pixels of a real paint.
TEST(GridPaint, SelectedRowsAreHighlightedAndTextIsClippedAtTheCell) {
    Grid grid;
    grid.setCols(3);
    for (int c = 0; c < 3; ++c)
        grid.setColWidth(c, 900);
    grid.AddItem("N\tName\tCL");
    grid.AddItem("1\tWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW\t");
    grid.AddItem("2\tWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW\t");
    grid.setFixedRows(1);
    grid.setRow(1);
    grid.setCol(0);
    grid.setRowSel(1);
    grid.setColSel(2);
    grid.resize(400, 200);
    grid.show();
    QApplication::processEvents();

    QWidget* viewport = grid.view()->viewport();
    const QImage image = viewport->grab().toImage();
    const QPalette palette = viewport->palette();
    const QRgb highlights[] = {palette.color(QPalette::Active, QPalette::Highlight).rgb(),
                               palette.color(QPalette::Inactive, QPalette::Highlight).rgb()};
    auto cellPixels = [&](int modelRow, int col) {
        QRect r = grid.view()->visualRect(grid.model()->index(modelRow, col));
        std::vector<QRgb> pixels;
        // Inside the grid lines, which belong to neither cell.
        for (int y = r.top() + 1; y < r.bottom() - 1; ++y) {
            for (int x = r.left() + 1; x < r.right() - 1; ++x)
                pixels.push_back(image.pixel(x, y));
        }
        return pixels;
    };
    const auto selectedEmpty = cellPixels(0, 2);
    ASSERT_FALSE(selectedEmpty.empty());
    for (QRgb p : selectedEmpty)
        ASSERT_TRUE(p == highlights[0] || p == highlights[1]) << std::hex << p;
    const QRgb base = palette.color(QPalette::Base).rgb();
    for (QRgb p : cellPixels(1, 2))
        ASSERT_EQ(p, base) << std::hex << p;
    bool inked = false;
    for (QRgb p : cellPixels(1, 1))
        inked = inked || p != base;
    EXPECT_TRUE(inked) << "the unselected long name was not drawn";
}

#include <QFontMetrics>

#include "ui/platform/GridCellDelegate.h"

namespace {

// A cell never shows part of a value as if it were the whole: what does not
// fit ends in an ellipsis and stays within the cell.
TEST(GridCellText, WhatDoesNotFitEndsInAnEllipsis) {
    const QFontMetrics metrics(QApplication::font());
    const QString ellipsis = QStringLiteral("\u2026");
    struct Case {
        QString text;
        int width;  // pixels; -1: exactly the text's own width
        bool cut;
    };
    const Case cases[] = {
        {QStringLiteral("32747"), -1, false},
        {QStringLiteral("32747"), 1000, false},
        {QStringLiteral(""), 0, false},
        {QStringLiteral("32747"), metrics.horizontalAdvance(QStringLiteral("327")), true},
        {QStringLiteral("Panzer IV Ausf. H"), metrics.horizontalAdvance(QStringLiteral("Panzer")),
         true},
    };
    for (const Case& c : cases) {
        const int width = c.width < 0 ? metrics.horizontalAdvance(c.text) : c.width;
        const QString shown = kestrel::ui::FittedCellText(c.text, metrics, width);
        SCOPED_TRACE(c.text.toStdString() + " in " + std::to_string(width));
        if (!c.cut) {
            EXPECT_EQ(shown, c.text);
            continue;
        }
        EXPECT_TRUE(shown.endsWith(ellipsis)) << shown.toStdString();
        EXPECT_TRUE(c.text.startsWith(shown.chopped(1)));
        EXPECT_LE(metrics.horizontalAdvance(shown), width);
    }
}

}  // namespace

#include <QScrollBar>

namespace {

struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

}  // namespace

// The scroll bar is painted again exactly when its handle or its ends look
// otherwise: a step of one row among thousands moves the handle by no pixel.
TEST(GridScrollBar, RepaintsWhenWhatItShowsChanges) {
    Grid grid;
    grid.setCols(2);
    grid.AddItem("N\tName");
    grid.setFixedRows(1);
    grid.setRedraw(false);
    for (int row = 1; row <= 30000; ++row)
        grid.AddItem(std::to_string(row) + "\tname");
    grid.setRedraw(true);
    grid.resize(300, 300);
    grid.show();
    QApplication::processEvents();
    QScrollBar* bar = grid.view()->verticalScrollBar();
    PaintCount count;
    bar->installEventFilter(&count);

    const struct {
        const char* change;
        std::function<void()> apply;
        bool repainted;
    } cases[] = {
        {"scrolled to the middle", [&] { grid.setTopRow(15000); }, true},
        {"scrolled down by one row", [&] { grid.setTopRow(15001); }, false},
        {"scrolled to the last row", [&] { grid.setTopRow(grid.Rows() - 1); }, true},
        {"most rows removed", [&] { grid.setRows(200); }, true},
        {"scrolled back to the first row", [&] { grid.setTopRow(1); }, true},
    };
    for (const auto& c : cases) {
        count.paints = 0;
        c.apply();
        // The first round lays the rows out, the second paints.
        QApplication::processEvents();
        QApplication::processEvents();
        EXPECT_EQ(count.paints > 0, c.repainted) << c.change;
    }
}

#include <QSortFilterProxyModel>

namespace {

// Rows of numbers that can move, as the document's list does.
class MovableRows : public QAbstractTableModel {
public:
    explicit MovableRows(int count) {
        for (int k = 0; k < count; ++k)
            rows.push_back(k);
    }
    std::vector<int> rows;
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 6;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole)
            return {};
        return rows[static_cast<std::size_t>(index.row())] * 10 + index.column();
    }
    void changeColumn(int column) {
        emit dataChanged(index(0, column), index(rowCount() - 1, column));
    }
    void moveUp(int row) {
        beginMoveRows({}, row, row, {}, row - 1);
        std::swap(rows[static_cast<std::size_t>(row)], rows[static_cast<std::size_t>(row - 1)]);
        endMoveRows();
    }
};

// The grid over model, two frozen columns and one hidden, on screen.
void showFrozen(Grid& grid, QAbstractItemModel* model, int hiddenColumn) {
    grid.setModel(model);
    grid.setFixedCols(2);
    grid.setColumnHidden(hiddenColumn, true);
    grid.resize(500, 300);
    grid.show();
    QApplication::processEvents();
    QApplication::processEvents();
}

}  // namespace

// A record moved through a proxy reaches the grid as a change of layout: the
// grid paints it once, and the frozen and hidden columns stay as they were.
TEST(GridPaint, MovedRowIsPaintedOnceAndColumnsStayHidden) {
    MovableRows rows(2000);
    QSortFilterProxyModel shown;
    shown.setSourceModel(&rows);
    Grid grid;
    showFrozen(grid, &shown, 4);
    grid.setRow(3);
    QApplication::processEvents();
    QApplication::processEvents();
    PaintCount main, frozen;
    grid.view()->viewport()->installEventFilter(&main);
    grid.frozenView()->viewport()->installEventFilter(&frozen);
    for (int round = 0; round < 3; ++round) {
        main.paints = frozen.paints = 0;
        rows.moveUp(3 - round % 2);
        for (int pass = 0; pass < 4; ++pass)
            QApplication::processEvents();
        EXPECT_EQ(main.paints, 1) << round;
        EXPECT_EQ(frozen.paints, 1) << round;
    }
    EXPECT_TRUE(grid.isColumnHidden(4));
    EXPECT_FALSE(grid.isColumnHidden(5));
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(grid.frozenView()->isColumnHidden(c), c >= 2) << c;
    EXPECT_EQ(grid.TextMatrix(3, 0), "20");
}

namespace {

void fillRows(Grid& grid, int rows) {
    grid.setCols(2);
    grid.AddItem("N\tName");
    grid.setFixedRows(1);
    grid.setRedraw(false);
    for (int row = 1; row <= rows; ++row)
        grid.AddItem(std::to_string(row) + "\tname");
    grid.setRedraw(true);
    grid.resize(300, 300);
    grid.show();
    QApplication::processEvents();
    QApplication::processEvents();
}

}  // namespace

// Rows added or taken leave the vertical scroll bar as a full layout of the
// table sets it, and the horizontal bar, which shows nothing of them,
// unpainted.
TEST(GridScrollBar, RowsAddedOrTakenKeepTheRangeALayoutGives) {
    Grid grid;
    fillRows(grid, 5000);
    grid.setColWidth(1, 9000);
    grid.setTopRow(4990);
    QApplication::processEvents();
    QApplication::processEvents();
    ASSERT_TRUE(grid.view()->horizontalScrollBar()->isVisible());
    QApplication::processEvents();
    PaintCount across;
    grid.view()->horizontalScrollBar()->installEventFilter(&across);
    // What the set-up left to paint.
    for (int pass = 0; pass < 4; ++pass)
        QApplication::processEvents();
    const struct {
        const char* change;
        std::function<void()> apply;
        bool barShownBeforeAndAfter;
    } cases[] = {
        {"one row added", [&] { grid.AddItem("x\ty"); }, true},
        {"one row added in the middle", [&] { grid.AddItem("x\ty", 20); }, true},
        {"one row removed", [&] { grid.RemoveItem(3); }, true},
        {"most rows removed", [&] { grid.setRows(40); }, true},
        {"down to fewer rows than the view shows", [&] { grid.setRows(3); }, false},
        {"more rows again",
         [&] {
             for (int k = 0; k < 60; ++k)
                 grid.AddItem("x\ty");
         },
         false},
    };
    for (const auto& c : cases) {
        across.paints = 0;
        c.apply();
        QApplication::processEvents();
        QApplication::processEvents();
        if (c.barShownBeforeAndAfter) {
            EXPECT_EQ(across.paints, 0) << c.change;
        }
        const QScrollBar* bar = grid.view()->verticalScrollBar();
        const int after[] = {bar->maximum(), bar->pageStep(), bar->value(), bar->isVisible()};
        // The rows shown follow the bar.
        EXPECT_EQ(grid.view()->rowAt(0), bar->value()) << c.change;
        // Another size and back: the table is laid out in full.
        grid.resize(300, 301);
        QApplication::processEvents();
        grid.resize(300, 300);
        QApplication::processEvents();
        QApplication::processEvents();
        const int full[] = {bar->maximum(), bar->pageStep(), bar->value(), bar->isVisible()};
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(after[k], full[k]) << c.change << ", figure " << k;
    }
}

namespace {

// The area of each paint.
struct PaintAreas : QObject {
    std::vector<QRect> areas;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            areas.push_back(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }
};

}  // namespace

// A field changed in every record repaints that column's cells on screen,
// and nothing where the column is hidden or scrolled away.
TEST(GridPaint, ChangedColumnRepaintsItsCellsAlone) {
    MovableRows rows(2000);
    Grid grid;
    showFrozen(grid, &rows, 5);
    QTableView* view = grid.view();
    PaintAreas main, frozen;
    view->viewport()->installEventFilter(&main);
    grid.frozenView()->viewport()->installEventFilter(&frozen);
    const struct {
        int column;
        int mainPaints, frozenPaints;
    } cases[] = {{3, 1, 0}, {0, 0, 1}, {5, 0, 0}};
    for (const auto& c : cases) {
        main.areas.clear();
        frozen.areas.clear();
        rows.changeColumn(c.column);
        QApplication::processEvents();
        EXPECT_EQ(static_cast<int>(main.areas.size()), c.mainPaints) << c.column;
        EXPECT_EQ(static_cast<int>(frozen.areas.size()), c.frozenPaints) << c.column;
        if (c.mainPaints == 1) {
            const QRect& area = main.areas.front();
            EXPECT_EQ(area.left(), view->columnViewportPosition(c.column));
            EXPECT_EQ(area.width(), view->columnWidth(c.column));
        }
    }
}

// Thousands of runs of selected rows: the views are given those near the
// screen, and scrolling brings them along, while the whole selection stays
// with the grid and does not change with the scrolling.
TEST(GridSelection, ViewsHoldTheSelectedRowsNearTheScreen) {
    Grid grid;
    fillRows(grid, 3000);
    std::vector<int> everyOther;
    for (int row = 1; row <= 3000; row += 2)
        everyOther.push_back(row);
    grid.setSelectedRows(everyOther, 1);
    QApplication::processEvents();
    QSignalSpy changes(&grid, &Grid::selectionChanged);
    const QItemSelectionModel* shown = grid.view()->selectionModel();
    for (int top : {1, 1501, 2990, 40, 1}) {
        grid.setTopRow(top);
        QApplication::processEvents();
        EXPECT_LT(shown->selection().size(), 100) << top;
        const int first = grid.view()->rowAt(0);
        const int last = grid.view()->rowAt(grid.view()->viewport()->height() - 1);
        ASSERT_GE(first, 0);
        for (int row = first; row <= (last < 0 ? 2999 : last); ++row) {
            // Model row r is the grid's row r + 1: the odd grid rows are selected.
            const QModelIndex cell = grid.view()->model()->index(row, 1);
            EXPECT_EQ(shown->isSelected(cell), row % 2 == 0) << top << " " << row;
        }
        EXPECT_EQ(grid.SelectedRows(), everyOther) << top;
    }
    EXPECT_EQ(changes.count(), 0);
    // A change of the selection is told once; the same selection again is
    // no change.
    grid.setSelectedRows({2, 3}, 2);
    grid.setSelectedRows({2, 3}, 2);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{2, 3}));
}
