#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace kestrel::ui {

// The list grid's current cell and the selection's other corner, rows
// given as the records' positions in the list (1 for the first; 0 for the
// heading row): a filter that hides records between a command and its undo
// does not move the selection onto other records.
// top is the record at the top of the view, so that undo puts the view back
// where it was; 0 brings the selection into view instead.
// records holds every selected record when the rows between row and rowSel
// are not all of them (rows picked one by one, a filter or a sorted view),
// so that the same records come back selected; empty, the range is all.
// In a view sorted by a column, a sort of the list puts another record at
// the top position; there the view goes back to topRow, the grid row at its
// top.
struct GridSelection {
    int row = 0, col = 0, rowSel = 0, colSel = 0;
    int top = 0;
    std::vector<std::int32_t> records{};
    int topRow = 0;
    bool operator==(const GridSelection& o) const {
        return row == o.row && col == o.col && rowSel == o.rowSel && colSel == o.colSel &&
               top == o.top && records == o.records && topRow == o.topRow;
    }
};

// How commands reach the list's selection without knowing its widget; the
// list window installs both, and without them commands leave it alone.
struct SelectionAccess {
    std::function<GridSelection()> read;
    std::function<void(const GridSelection&)> write;
};

}  // namespace kestrel::ui
