#include "ui/platform/Grid.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>
#include <iterator>

#include "ui/platform/GridPrivate.h"
#include "ui/platform/RowRuns.h"

// Which rows are selected: the flex grid's one range from Row to RowSel,
// and the set of single rows Ctrl+click picks beside it.
namespace kestrel::ui {

std::vector<int> Grid::SelectedRows() const {
    std::vector<int> rows;
    const int last = Rows() - 1;
    if (d->rangeOn) {
        const int top = std::max(1, std::min(d->row, d->rowSel));
        const int bottom = std::min(last, std::max(d->row, d->rowSel));
        for (int r = top; r <= bottom; ++r)
            rows.push_back(r);
    }
    if (d->marked.empty())
        return rows;
    std::vector<int> all;
    all.reserve(rows.size() + d->marked.size());
    std::set_union(rows.begin(), rows.end(), d->marked.begin(), d->marked.end(),
                   std::back_inserter(all));
    all.erase(std::remove_if(all.begin(), all.end(), [last](int r) { return r < 1 || r > last; }),
              all.end());
    return all;
}

void Grid::setSelectedRows(const std::vector<int>& rows, int current) {
    const int last = Rows() - 1;
    d->row = d->rowSel = std::clamp(current, 0, std::max(0, last));
    d->col = 0;
    d->colSel = std::max(0, Cols() - 1);
    d->marked.clear();
    const bool contiguous =
        !rows.empty() && rows.back() - rows.front() + 1 == static_cast<int>(rows.size());
    if (contiguous && (current == rows.front() || current == rows.back())) {
        d->rangeOn = true;
        d->rowSel = current == rows.front() ? rows.back() : rows.front();
    } else {
        d->rangeOn = false;
        for (int r : rows) {
            if (r >= 1 && r <= last)
                d->marked.push_back(r);
        }
    }
    applySelection();
}

void Grid::setSelection(int row, int col, int rowSel, int colSel) {
    const int maxRow = std::max(0, Rows() - 1), maxCol = std::max(0, Cols() - 1);
    d->marked.clear();
    d->rangeOn = true;
    d->row = std::clamp(row, 0, maxRow);
    d->col = std::clamp(col, 0, maxCol);
    d->rowSel = std::clamp(rowSel, 0, maxRow);
    d->colSel = std::clamp(colSel, 0, maxCol);
    applySelection();
}

void Grid::SelectAll() {
    if (Rows() < 2)
        return;
    const int current = d->row >= 1 ? d->row : 1;
    d->marked.clear();
    d->rangeOn = true;
    d->row = current;
    d->col = 0;
    d->colSel = std::max(0, Cols() - 1);
    // The range runs from the current row to one end; the rest is marked.
    d->rowSel = Rows() - 1;
    for (int r = 1; r < std::min(current, Rows()); ++r)
        d->marked.push_back(r);
    applySelection();
}

void Grid::clampSelection() {
    int maxRow = std::max(0, Rows() - 1), maxCol = std::max(0, Cols() - 1);
    d->row = std::min(d->row, maxRow);
    d->rowSel = std::min(d->rowSel, maxRow);
    d->col = std::min(d->col, maxCol);
    d->colSel = std::min(d->colSel, maxCol);
    d->marked.erase(
        std::remove_if(d->marked.begin(), d->marked.end(), [maxRow](int r) { return r > maxRow; }),
        d->marked.end());
    if (d->redraw)
        applySelection();
}

void Grid::applySelection() {
    if (!d->redraw)
        return;
    d->syncing = true;
    std::vector<Private::Run> runs;
    int top = std::min(d->row, d->rowSel), bottom = std::max(d->row, d->rowSel);
    int left = std::min(d->col, d->colSel), right = std::max(d->col, d->colSel);
    top = std::max(top, 1);
    if (d->rangeOn && bottom >= top && bottom < Rows() && right < Cols())
        runs.push_back({top - 1, bottom - 1, left, right});
    // Picked rows go in as runs, so that a long picked stretch is one.
    std::vector<int> picked;
    picked.reserve(d->marked.size());
    for (int row : d->marked) {
        if (row >= 1 && row < Rows())
            picked.push_back(row - 1);
    }
    const int lastCol = std::max(0, Cols() - 1);
    for (const auto& [first, last] : RunsOfRows(std::move(picked)))
        runs.push_back({first, last, 0, lastCol});
    const bool changed = runs != d->runs;
    d->runs = std::move(runs);
    showSelection(true);
    if (d->row >= 1 && d->row < Rows() && d->cursor < Cols())
        d->selection->setCurrentIndex(d->model->index(d->row - 1, d->cursor),
                                      QItemSelectionModel::NoUpdate);
    d->syncing = false;
    if (changed)
        emit selectionChanged();
}

void Grid::showSelection(bool always) {
    const QTableView* view = d->view;
    const int rows = d->model->rowCount();
    int top = view->rowAt(0);
    int bottom = view->rowAt(view->viewport()->height() - 1);
    if (top < 0)
        top = 0;
    if (bottom < 0)
        bottom = rows - 1;
    if (!always && top >= d->shownFirst && bottom <= d->shownLast)
        return;
    const int page = std::max(1, bottom - top + 1);
    d->shownFirst = std::max(0, top - page);
    d->shownLast = std::min(rows - 1, bottom + page);
    QItemSelection shown;
    for (const Private::Run& run : d->runs) {
        const int first = std::max(run.top, d->shownFirst);
        const int last = std::min(run.bottom, d->shownLast);
        if (first <= last)
            shown.append(QItemSelectionRange(d->model->index(first, run.left),
                                             d->model->index(last, run.right)));
    }
    const bool was = d->syncing;
    d->syncing = true;
    d->selection->select(shown, QItemSelectionModel::ClearAndSelect);
    d->syncing = was;
}

}  // namespace kestrel::ui
