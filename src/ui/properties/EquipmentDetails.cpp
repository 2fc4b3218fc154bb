#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"
#include "ui/properties/frmEquipment.h"

namespace mdlGeneral {

using kestrel::ui::frmEquipment;

void ShowEquipmentDetails() {
    kestrel::ui::Grid& grid = UnitList();
    // A double-click on the heading row, or on an empty list, opens nothing.
    if (grid.Row() < 1 || grid.Row() >= grid.Rows())
        return;
    frmEquipment* window = propertiesWindow();
    if (window && window->isVisible() && grid.Row() != window->recordPosition() &&
        !window->confirmEdits()) {
        // The user stays with the record and its edits: so does the grid.
        const int shown = window->recordPosition();
        if (shown >= 1) {
            grid.setRow(shown);
            grid.setCol(0);
            grid.setRowSel(shown);
            grid.setColSel(grid.Cols() - 1);
        }
        return;
    }
    if (!window)
        window = new frmEquipment(listWindow());
    window->showGridRow();
}

void CommitEquipmentDetails() {
    if (frmEquipment* window = propertiesWindow())
        window->commit();
}

}  // namespace mdlGeneral
