#pragma once

#include <QItemSelectionModel>
#include <QTableView>
#include <vector>

#include "ui/platform/Grid.h"
#include "ui/platform/GridModel.h"

namespace kestrel::ui {

// The grid's state, shared by its operations (Grid.cpp) and its mouse and
// keyboard handling (GridInput.cpp).
struct Grid::Private {
    QAbstractItemModel* model = nullptr;
    GridModel* own = nullptr;  // the grid's own rows, the model until another is set
    bool viewsOwn() const { return model == own; }
    QTableView* view = nullptr;
    QTableView* frozen = nullptr;  // the frozen columns, laid over the view's left edge
    // What the views show as selected: the runs of selected rows on screen
    // and a screenful either side (rows shownFirst to shownLast of the
    // model). A table asks for each cell it paints whether it is selected,
    // which goes through every run: thousands of them for records picked on
    // a chart or left apart by a filter just cleared.
    QItemSelectionModel* selection = nullptr;
    int shownFirst = 0, shownLast = -1;
    // Every selected cell as rectangles of the model's rows and columns,
    // plain numbers: a selection model would keep two persistent indexes a
    // run, thousands of them for records picked on a chart, each entered in
    // and taken out of the model's table of them.
    struct Run {
        int top, bottom, left, right;
        bool operator==(const Run& o) const {
            return top == o.top && bottom == o.bottom && left == o.left && right == o.right;
        }
    };
    std::vector<Run> runs;
    int fixedRows = 0;
    int fixedCols = 0;
    std::vector<int> widths;  // twips
    std::vector<int> alignments;
    int row = 0, col = 0, rowSel = 0, colSel = 0;
    int cursor = 0;  // the cell cursor's column
    // Rows picked one by one (Ctrl+click), beyond the range between row and
    // rowSel; the range counts only while rangeOn.
    std::vector<int> marked;
    bool rangeOn = true;
    bool redraw = true;
    bool syncing = false;
    bool dragging = false;
    bool settingWidths = false;
    bool movingBack = false;  // a refused column move being undone  // widths set by the grid, not
                              // dragged by the user
};

}  // namespace kestrel::ui
