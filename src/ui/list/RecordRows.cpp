#include "ui/list/RecordRows.h"

#include <algorithm>

#include "ui/list/RecordFilterProxy.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"

namespace mdlGeneral {

namespace {
using Proxy = kestrel::ui::RecordFilterProxy;

const Proxy* proxy() {
    if (!listWindow())
        return nullptr;
    return qobject_cast<const Proxy*>(UnitList().model());
}
// Whether row r shows the record at position r: no filter hides any and
// no sort moves them, and the rows need no looking up one by one.
bool rowsArePositions(const Proxy* p) {
    return !p || (p->sortColumn() < 0 && p->rowCount() == p->sourceModel()->rowCount());
}
}  // namespace

bool Filtering() {
    const Proxy* p = proxy();
    return p && p->rowCount() != p->sourceModel()->rowCount();
}

std::int32_t PositionOfRow(int row) {
    if (row < 1)
        return 0;
    const Proxy* p = proxy();
    if (!p)
        return row < UnitList().Rows() ? row : 0;
    const QModelIndex source = p->mapToSource(p->index(row - 1, 0));
    return source.isValid() ? source.row() + 1 : 0;
}

int RowOfPosition(std::int32_t position) {
    if (position < 1)
        return 0;
    const Proxy* p = proxy();
    if (!p)
        return position < UnitList().Rows() ? position : 0;
    const QModelIndex shown = p->mapFromSource(p->sourceModel()->index(position - 1, 0));
    return shown.isValid() ? shown.row() + 1 : 0;
}

int RowNearPosition(std::int32_t position) {
    if (position < 1)
        return 0;
    if (const int row = RowOfPosition(position))
        return row;
    const int rows = UnitList().Rows() - 1;
    const Proxy* p = proxy();
    if (p && p->sortColumn() >= 0) {
        // Sorted rows: the row of the nearest record after it in the list.
        int best = 0;
        std::int32_t bestPosition = 0;
        for (int row = 1; row <= rows; ++row) {
            const std::int32_t at = PositionOfRow(row);
            if (at > position && (best == 0 || at < bestPosition)) {
                best = row;
                bestPosition = at;
            }
        }
        return best ? best : rows;
    }
    // Shown rows keep list order: the first whose record comes after.
    int low = 1, high = rows + 1;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (PositionOfRow(mid) < position)
            low = mid + 1;
        else
            high = mid;
    }
    return std::min(low, rows);
}

std::vector<std::int32_t> SelectedPositions() {
    std::vector<std::int32_t> positions;
    if (!listWindow())
        return positions;
    std::vector<int> rows = UnitList().SelectedRows();
    if (rowsArePositions(proxy()))
        return rows;
    positions.reserve(rows.size());
    for (int row : rows) {
        if (std::int32_t position = PositionOfRow(row))
            positions.push_back(position);
    }
    // Rows keep list order unless the view is sorted.
    if (!std::is_sorted(positions.begin(), positions.end()))
        std::sort(positions.begin(), positions.end());
    return positions;
}

void SelectPositions(const std::vector<std::int32_t>& positions, std::int32_t current) {
    std::vector<int> rows;
    rows.reserve(positions.size());
    if (rowsArePositions(proxy())) {
        const int last = UnitList().Rows() - 1;
        for (std::int32_t position : positions) {
            if (position >= 1 && position <= last)
                rows.push_back(position);
        }
    } else {
        for (std::int32_t position : positions) {
            if (int row = RowOfPosition(position))
                rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    int currentRow = RowOfPosition(current);
    if (currentRow == 0)
        currentRow = rows.empty() ? (UnitList().Rows() > 1 ? 1 : 0) : rows.front();
    if (rows.empty() && currentRow > 0)
        rows.push_back(currentRow);
    UnitList().setSelectedRows(rows, currentRow);
}

}  // namespace mdlGeneral
