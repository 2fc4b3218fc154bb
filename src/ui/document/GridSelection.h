#pragma once

#include <functional>

namespace kestrel::ui {

// The list grid's current cell and the selection's other corner, in grid
// rows (row 0 is the heading row).
struct GridSelection {
    int row = 0, col = 0, rowSel = 0, colSel = 0;
    bool operator==(const GridSelection& o) const {
        return row == o.row && col == o.col && rowSel == o.rowSel && colSel == o.colSel;
    }
};

// How commands reach the list's selection without knowing its widget; the
// list window installs both, and without them commands leave it alone.
struct SelectionAccess {
    std::function<GridSelection()> read;
    std::function<void(const GridSelection&)> write;
};

}  // namespace kestrel::ui
