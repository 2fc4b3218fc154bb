#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "check/Problem.h"

namespace kestrel::ui {

class ProblemTracker;

// The problems of the open list as a table, one row per problem in the
// check's own order. SortRole gives each column's value for sorting: the
// record column by number, the severity column errors first.
class ProblemsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        SeverityColumn,
        RecordColumn,
        NameColumn,
        FieldColumn,
        MessageColumn,
        ColumnCount
    };
    static constexpr int SortRole = Qt::UserRole + 1;
    // The row's index into problems(), which a sorted view does not keep.
    static constexpr int ProblemRole = Qt::UserRole + 2;

    explicit ProblemsModel(QObject* parent = nullptr);

    // Shows the tracker's problems, row for row, and follows their changes
    // as it announces them.
    void follow(const ProblemTracker& tracker);

    // The problem of row (unsorted).
    const Problem& problem(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const ProblemTracker* mTracker = nullptr;
};

}  // namespace kestrel::ui
