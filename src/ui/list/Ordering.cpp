#include <cstdint>
#include <vector>

#include "model/ExchangeSort.h"
#include "ui/document/Document.h"
#include "ui/document/EditorSession.h"
#include "ui/list/ListCommands.h"
#include "ui/list/MoveCommand.h"
#include "ui/list/RecordRows.h"
#include "ui/list/RenumberCommand.h"
#include "ui/list/SortCommand.h"
#include "ui/mdlGeneral.h"

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
void sortFromSecond(EditorSession& session, const QString& text, Key key) {
    Document& document = session.document();
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

void exchangeRows(EditorSession& session, const QString& text, int position, int current) {
    Document& document = session.document();
    document.undoStack()->push(new MoveCommand(document, text, position, current));
    session.scrollTo(current);
}

}  // namespace

void Renumber(EditorSession& session) {
    Document& document = session.document();
    if (RenumberCommand* command = RenumberCommand::create(document))
        document.undoStack()->push(command);
}

void SortByCode(EditorSession& session) {
    sortFromSecond(session, QStringLiteral("Sort by code"),
                   [](const Equipment& e) { return e.EqCode(); });
}

void SortByCountry(EditorSession& session) {
    sortFromSecond(session, QStringLiteral("Sort by country"),
                   [](const Equipment& e) { return e.Country(); });
}

// Without a filter the rows are the positions.
void MoveUp(EditorSession& session) {
    if (session.filtering())
        return;
    const std::int32_t p = session.currentPosition();
    // Position 2 would move into position 1, which stays where it is.
    if (p > 2)
        exchangeRows(session, QStringLiteral("Move up"), p - 1, p - 1);
}

void MoveDown(EditorSession& session) {
    if (session.filtering())
        return;
    const std::int32_t p = session.currentPosition();
    if (p > 1 && p < session.equipments().Count())
        exchangeRows(session, QStringLiteral("Move down"), p, p + 1);
}

void cmdRenumber_Click() {
    Renumber(mdlGeneral::session());
}
void cmdSort_Click() {
    SortByCode(mdlGeneral::session());
}
void cmdSortbyCountry_Click() {
    SortByCountry(mdlGeneral::session());
}
void cmdUp_Click() {
    MoveUp(mdlGeneral::session());
}
void cmdDown_Click() {
    MoveDown(mdlGeneral::session());
}

}  // namespace kestrel::ui
