#pragma once

#include <string>

#include "model/Chart.h"
#include "model/Equipments.h"

namespace kestrel {

// The chart as an SVG picture in UTF-8: axes with their ticks, the strips of
// a coded X with their means, the legend, and one circle per record whose
// <title> names it as the Problems panel does, with its values:
//   record 12 (N 298, "Tiger I"): SA 40, P 120
// list is the one the chart was described from.
std::string ChartSvg(const Chart& chart, const Equipments& list, int width = 800, int height = 500);

}  // namespace kestrel
