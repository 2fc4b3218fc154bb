#pragma once

namespace kestrel::ui {

class Grid;

// The row numbers of the grid's current cell and selection, taken before a
// command rebuilds the rows and put back afterwards (the grid keeps them
// within its new size).
class SelectionKeeper {
public:
    explicit SelectionKeeper(Grid& grid);
    void restore() const;

private:
    Grid& mGrid;
    int mRow, mCol, mRowSel, mColSel;
};

// Cuts the grid back to its first `keep` rows and renders the records from
// position `keep` to the end again; FixedRows is 1 once a record row exists.
void RefillGridFrom(Grid& grid, int keep);

}  // namespace kestrel::ui
