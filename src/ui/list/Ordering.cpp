#include <cstdint>
#include <utility>
#include <vector>

#include "model/ExchangeSort.h"
#include "ui/list/ListCommands.h"
#include "ui/list/ListGridUpdate.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/Grid.h"

namespace mdlGeneral {

void SwapEquipments(std::int32_t a, std::int32_t b) {
    if (a == b)
        return;
    kestrel::Equipments& equipments = gEquipments();
    // Exchanging the values keeps each record object at its position, which
    // is what every holder of an Item reference expects.
    std::swap(*equipments.Item(a), *equipments.Item(b));
}

}  // namespace mdlGeneral

namespace kestrel::ui {

namespace {

void listChanged() {
    mdlGeneral::MarkModified();
    mdlGeneral::ListChanged();
}

// Both sorts: positions 2 to Count take the arrangement the exchange sort
// gives, computed on the keys alone so that each record moves once.
template <typename Key>
void sortFromSecond(Key key) {
    Grid& grid = mdlGeneral::UnitList();
    bool changed = false;
    {
        BusyGuard busy(&grid);
        SelectionKeeper selection(grid);
        Equipments& equipments = mdlGeneral::gEquipments();
        const std::int32_t n = equipments.Count();
        if (n >= 3) {
            std::vector<std::int32_t> keys;
            keys.reserve(static_cast<std::size_t>(n));
            for (const EquipmentRef& e : equipments)
                keys.push_back(key(*e));
            const std::vector<std::int32_t> order = ExchangeSortOrder(keys);
            for (std::size_t p = 0; p < order.size() && !changed; ++p)
                changed = order[p] != static_cast<std::int32_t>(p);
            if (changed)
                ApplyOrder(equipments, order);
        }
        RefillGridFrom(grid, 1);
        selection.restore();
    }
    if (changed)
        listChanged();
}

// Move up and Move down: the records at a and a + 1 exchange places and
// their two rows are rendered again; the moved record's row becomes current.
void exchangeRows(int a, int current) {
    Grid& grid = mdlGeneral::UnitList();
    {
        BusyGuard busy(&grid);
        Equipments& equipments = mdlGeneral::gEquipments();
        mdlGeneral::SwapEquipments(a, a + 1);
        grid.RemoveItem(a);
        grid.RemoveItem(a);
        mdlGeneral::FillGridRow(*equipments.Item(a), a);
        mdlGeneral::FillGridRow(*equipments.Item(a + 1), a + 1);
        grid.setRow(current);
        grid.setRowSel(current);
        grid.setColSel(grid.Cols() - 1);
    }
    grid.ShowRow(current);
    listChanged();
}

}  // namespace

void cmdRenumber_Click() {
    Grid& grid = mdlGeneral::UnitList();
    bool changed = false;
    {
        BusyGuard busy(&grid);
        SelectionKeeper selection(grid);
        Equipments& equipments = mdlGeneral::gEquipments();
        grid.setRows(1);
        const std::int32_t n = equipments.Count();
        for (std::int32_t i = 1; i <= n; ++i) {
            Equipment& e = *equipments.Item(i);
            if (e.EqCode() != i - 1) {
                e.setEqCode(i - 1);
                changed = true;
            }
            mdlGeneral::FillGridRow(e);
        }
        if (grid.Rows() > 1)
            grid.setFixedRows(1);
        selection.restore();
    }
    if (changed)
        listChanged();
}

void cmdSort_Click() {
    sortFromSecond([](const Equipment& e) { return e.EqCode(); });
}

void cmdSortbyCountry_Click() {
    sortFromSecond([](const Equipment& e) { return e.Country(); });
}

void cmdUp_Click() {
    Grid& grid = mdlGeneral::UnitList();
    const int r = grid.Row();
    // Row 2 would move into position 1, which stays where it is.
    if (r > 2 && r < grid.Rows()) {
        exchangeRows(r - 1, r - 1);
    }
}

void cmdDown_Click() {
    Grid& grid = mdlGeneral::UnitList();
    const int r = grid.Row();
    if (r > 1 && r < grid.Rows() - 1) {
        exchangeRows(r, r + 1);
    }
}

}  // namespace kestrel::ui
