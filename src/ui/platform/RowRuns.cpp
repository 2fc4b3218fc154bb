#include "ui/platform/RowRuns.h"

#include <QAbstractItemModel>
#include <algorithm>

namespace kestrel::ui {

QItemSelection RowRuns(const QAbstractItemModel& model, std::vector<int> rows, int lastColumn) {
    // Most callers hand them in order already.
    if (!std::is_sorted(rows.begin(), rows.end()))
        std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QItemSelection selection;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        selection.append(QItemSelectionRange(model.index(rows[i], 0),
                                             model.index(rows[j], std::max(0, lastColumn))));
        i = j + 1;
    }
    return selection;
}

std::vector<int> RowsOf(const QItemSelection& selection) {
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    }
    if (!std::is_sorted(rows.begin(), rows.end()))
        std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

}  // namespace kestrel::ui
