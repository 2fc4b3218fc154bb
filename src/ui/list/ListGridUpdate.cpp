#include "ui/list/ListGridUpdate.h"

#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"

namespace kestrel::ui {

SelectionKeeper::SelectionKeeper(Grid& grid)
    : mGrid(grid),
      mRow(grid.Row()),
      mCol(grid.Col()),
      mRowSel(grid.RowSel()),
      mColSel(grid.ColSel()) {}

void SelectionKeeper::restore() const {
    // Row and Col collapse the selection, so the far corner comes last.
    mGrid.setRow(mRow);
    mGrid.setCol(mCol);
    mGrid.setRowSel(mRowSel);
    mGrid.setColSel(mColSel);
}

void RefillGridFrom(Grid& grid, int keep) {
    Equipments& equipments = mdlGeneral::gEquipments();
    grid.setRows(keep);
    const std::int32_t n = equipments.Count();
    for (std::int32_t i = keep; i <= n; ++i)
        mdlGeneral::FillGridRow(*equipments.Item(i));
    if (grid.Rows() > 1)
        grid.setFixedRows(1);
}

}  // namespace kestrel::ui
