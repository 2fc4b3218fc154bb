#include <cstdint>
#include <vector>

#include "model/ExchangeSort.h"
#include "ui/document/Document.h"
#include "ui/list/ListCommands.h"
#include "ui/list/MoveCommand.h"
#include "ui/list/RecordRows.h"
#include "ui/list/RenumberCommand.h"
#include "ui/list/SortCommand.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"

#include <QUndoStack>

namespace mdlGeneral {

void SwapEquipments(std::int32_t a, std::int32_t b) {
    if (a == b)
        return;
    kestrel::Equipments& equipments = gEquipments();
    // Exchanging the values keeps each record object at its position, which
    // is what every holder of an Item reference expects.
    const kestrel::Equipment first = *equipments.Item(a);
    document().replaceRecord(a, *equipments.Item(b));
    document().replaceRecord(b, first);
}

}  // namespace mdlGeneral

namespace kestrel::ui {

namespace {

// Both sorts: positions 2 to Count take the arrangement the exchange sort
// gives, computed on the keys alone so that each record moves once. A list
// already in that order is left alone and nothing enters the undo stack.
template <typename Key>
void sortFromSecond(const QString& text, Key key) {
    Document& document = mdlGeneral::document();
    const Equipments& equipments = document.equipments();
    const std::int32_t n = equipments.Count();
    if (n < 3)
        return;
    std::vector<std::int32_t> keys;
    keys.reserve(static_cast<std::size_t>(n));
    for (const EquipmentRef& e : equipments)
        keys.push_back(key(*e));
    std::vector<std::int32_t> order = ExchangeSortOrder(keys);
    bool changed = false;
    for (std::size_t p = 0; p < order.size() && !changed; ++p)
        changed = order[p] != static_cast<std::int32_t>(p);
    if (changed)
        document.undoStack()->push(new SortCommand(document, text, std::move(order)));
}

void exchangeRows(const QString& text, int position, int current) {
    Document& document = mdlGeneral::document();
    document.undoStack()->push(new MoveCommand(document, text, position, current));
    mdlGeneral::UnitList().ShowRow(current);
}

}  // namespace

void cmdRenumber_Click() {
    Document& document = mdlGeneral::document();
    if (RenumberCommand* command = RenumberCommand::create(document))
        document.undoStack()->push(command);
}

void cmdSort_Click() {
    sortFromSecond(QStringLiteral("Sort by code"), [](const Equipment& e) { return e.EqCode(); });
}

void cmdSortbyCountry_Click() {
    sortFromSecond(QStringLiteral("Sort by country"),
                   [](const Equipment& e) { return e.Country(); });
}

void cmdUp_Click() {
    if (mdlGeneral::Filtering())
        return;
    Grid& grid = mdlGeneral::UnitList();
    const int r = grid.Row();
    // Row 2 would move into position 1, which stays where it is.
    if (r > 2 && r < grid.Rows())
        exchangeRows(QStringLiteral("Move up"), r - 1, r - 1);
}

void cmdDown_Click() {
    if (mdlGeneral::Filtering())
        return;
    Grid& grid = mdlGeneral::UnitList();
    const int r = grid.Row();
    if (r > 1 && r < grid.Rows() - 1)
        exchangeRows(QStringLiteral("Move down"), r, r + 1);
}

}  // namespace kestrel::ui
