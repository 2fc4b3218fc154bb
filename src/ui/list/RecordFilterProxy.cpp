#include "ui/list/RecordFilterProxy.h"

#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/list/FieldTitles.h"

namespace kestrel::ui {

RecordFilterProxy::RecordFilterProxy(Document& document, QObject* parent)
    : QSortFilterProxyModel(parent), mDocument(document) {
    setSourceModel(document.model());
    // A changed cell may take its row in or out of what the filter keeps.
    setDynamicSortFilter(true);
}

void RecordFilterProxy::setFilter(RecordFilter filter) {
    const bool was = filtering();
    mFilter = std::move(filter);
    if (!was && !filtering())
        return;
    // The views start over once: row by row signals for each run of rows
    // the filter takes or gives back, or the layout change that invalidate()
    // sends, cost the views time in proportion to the whole list each.
    // Whoever keeps a selection puts it back by record. The reset drops the
    // proxy's row map, which the views' first question builds anew with the
    // new filter: every record is tried once.
    beginResetModel();
    endResetModel();
}

QModelIndex RecordFilterProxy::parent(const QModelIndex&) const {
    return {};
}

QVariant RecordFilterProxy::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && section >= 0 &&
        section < columnCount())
        return FieldTitle(section);
    return QSortFilterProxyModel::headerData(section, orientation, role);
}

bool RecordFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (mFilter.empty())
        return true;
    // Not Item, which hands out a counted reference per record.
    return mFilter.Matches(**(mDocument.equipments().begin() + sourceRow));
}

}  // namespace kestrel::ui
