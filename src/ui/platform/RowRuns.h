#pragma once

#include <QItemSelection>
#include <utility>
#include <vector>

class QAbstractItemModel;

namespace kestrel::ui {

// Rows as runs of neighbouring rows, first and last of each, in order; the
// rows in any order, each once or more.
std::vector<std::pair<int, int>> RunsOfRows(std::vector<int> rows);

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
