#pragma once

#include <QSortFilterProxyModel>

#include <cstdint>
#include <vector>

#include "model/RecordFilter.h"

namespace kestrel::ui {

class Document;

// The rows of the document's model that the filter keeps, in list order or
// sorted by one column for the view alone: the list's own order is never
// changed by it. Ties keep list order.
class RecordFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit RecordFilterProxy(Document& document, QObject* parent = nullptr);

    void setFilter(RecordFilter filter);
    bool filtering() const { return !mFilter.empty(); }
    // Sorted by a column (sortColumn(), sortOrder()); -1 is list order.
    bool sorted() const { return sortColumn() >= 0; }
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

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
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    // One key per source row for the column sort() was asked for, so that
    // each of the sort's comparisons is two loads, not two records looked up
    // (records lie apart in memory: each lookup is a cache miss).
    void computeKeys(int column);
    // A number as the column sorts it.
    std::int64_t keyOf(std::int64_t number) const;

    Document& mDocument;
    RecordFilter mFilter;
    // A coded column sorts by its words: the rank of each code's word.
    std::vector<int> mWordRank;
    // Only while sort() runs: the sorts the base class makes on its own
    // after a change of the source compare the records themselves.
    std::vector<std::int64_t> mKeys;
};

}  // namespace kestrel::ui
