#pragma once

#include <QItemSelection>
#include <vector>

class QAbstractItemModel;

namespace kestrel::ui {

// Rows as a selection of whole rows (columns 0 to lastColumn), each run of
// neighbouring rows one range. Qt compares a selection's ranges pair by
// pair when it changes, so thousands of one-row ranges would cost millions
// of compares where a few runs cost nothing.
QItemSelection RowRuns(const QAbstractItemModel& model, std::vector<int> rows, int lastColumn);

// The rows a selection touches, in order, each once: what
// QItemSelectionModel::selectedRows gives, without testing every row
// against every range.
std::vector<int> RowsOf(const QItemSelection& selection);

}  // namespace kestrel::ui
