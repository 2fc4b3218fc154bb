#pragma once

#include <QAbstractProxyModel>
#include <QPersistentModelIndex>

#include <cstdint>
#include <vector>

#include "model/RecordFilter.h"

namespace kestrel::ui {

class Document;

// The rows of the document's model that the filter keeps, in list order or
// sorted by one column for the view alone: the list's own order is never
// changed by it. Ties keep list order.
//
// Written for the flat list rather than taken from QSortFilterProxyModel:
// with neither a filter nor a sort its rows are the list's own, and every
// change of the list passes through as it is; a sort compares keys in one
// array instead of asking the list model for two indexes and a comparison,
// three calls through its interface, for each of half a million
// comparisons.
class RecordFilterProxy : public QAbstractProxyModel {
    Q_OBJECT
public:
    explicit RecordFilterProxy(Document& document, QObject* parent = nullptr);

    void setFilter(RecordFilter filter);
    bool filtering() const { return !mFilter.empty(); }
    // Sorted by a column (sortColumn(), sortOrder()); -1 is list order.
    bool sorted() const { return mSortColumn >= 0; }
    int sortColumn() const { return mSortColumn; }
    Qt::SortOrder sortOrder() const { return mSortOrder; }
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    using QAbstractProxyModel::parent;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;

    // The headings carry the field's full name as their tooltip.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // Rows are the list's positions: no vectors are kept.
    bool direct() const { return mFilter.empty() && mSortColumn < 0; }
    bool accepts(int sourceRow) const;
    // The row map made anew from the list, the filter and the sort.
    void rebuild();
    void sortRows(std::vector<int>& rows) const;
    void mapBack();
    // A number as the column sorts it.
    std::int64_t keyOf(std::int64_t number, const std::vector<int>& wordRank) const;
    void keys(std::vector<std::int64_t>& out) const;

    // The persistent indexes are kept by record across a change of the row
    // map that is not an insertion or removal of rows.
    void beginRelayout();
    void endRelayout();

    void watchSource();
    void sourceRowsInserted(int first, int last);
    void sourceRowsAboutToBeRemoved(int first, int last);
    void sourceRowsRemoved(int first, int last);
    void sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                           const QList<int>& roles);

    Document& mDocument;
    RecordFilter mFilter;
    int mSortColumn = -1;
    Qt::SortOrder mSortOrder = Qt::AscendingOrder;
    // Unless direct(): the list row of each shown row, and the shown row of
    // each list row (-1 where the filter hides it).
    std::vector<int> mRows;
    std::vector<int> mShownAt;
    // While the rows change places.
    QModelIndexList mLayoutFrom;
    std::vector<QPersistentModelIndex> mLayoutRecords;
    bool mRemoving = false;
};

}  // namespace kestrel::ui
