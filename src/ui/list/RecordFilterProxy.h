#pragma once

#include <QSortFilterProxyModel>

#include "model/RecordFilter.h"

namespace kestrel::ui {

class Document;

// The rows of the document's model that the filter keeps, in list order:
// it never sorts, so proxy row order is file order.
class RecordFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit RecordFilterProxy(Document& document, QObject* parent = nullptr);

    void setFilter(RecordFilter filter);
    bool filtering() const { return !mFilter.empty(); }

    // The list is flat: no row has a parent. The base class looks every
    // index up in its row map to say so, and the grid asks for each painted
    // cell against every run of selected rows.
    using QSortFilterProxyModel::parent;
    QModelIndex parent(const QModelIndex& child) const override;

    // The headings carry the field's full name as their tooltip.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    Document& mDocument;
    RecordFilter mFilter;
};

}  // namespace kestrel::ui
