#include "ui/platform/RowRuns.h"

#include <QAbstractItemModel>
#include <algorithm>
#include <utility>

namespace kestrel::ui {

std::vector<std::pair<int, int>> RunsOfRows(std::vector<int> rows) {
    // Most callers hand them in order already.
    if (!std::is_sorted(rows.begin(), rows.end()))
        std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<std::pair<int, int>> runs;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        runs.emplace_back(rows[i], rows[j]);
        i = j + 1;
    }
    return runs;
}

QItemSelection RowRuns(const QAbstractItemModel& model, std::vector<int> rows, int lastColumn) {
    QItemSelection selection;
    for (const auto& [first, last] : RunsOfRows(std::move(rows)))
        selection.append(
            QItemSelectionRange(model.index(first, 0), model.index(last, std::max(0, lastColumn))));
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
