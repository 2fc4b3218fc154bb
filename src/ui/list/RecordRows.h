#pragma once

#include <cstdint>
#include <vector>

// The list grid's rows and the records they show. Without a filter or a
// sorted view grid row n shows record n; with a filter, the grid shows only
// the records it keeps, in list order unless the view is sorted, and these
// convert between the two.
namespace mdlGeneral {

bool Filtering();
// The record a grid row shows; 0 for the heading row or beyond the list.
std::int32_t PositionOfRow(int row);
// The grid row showing a record; 0 when the filter hides it.
int RowOfPosition(std::int32_t position);
// The grid row showing a record or, when the filter hides it, the first
// shown record after it, else the last row; 0 for position 0 or an empty grid.
int RowNearPosition(std::int32_t position);
// The records of the selected rows, in list order.
std::vector<std::int32_t> SelectedPositions();
// Selects the rows of positions that are shown, current's row current.
void SelectPositions(const std::vector<std::int32_t>& positions, std::int32_t current);

}  // namespace mdlGeneral
