#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/Equipments.h"
#include "model/RecordFilter.h"

namespace kestrel {

// One column summed up over the selected records, as spreadsheets show it
// beside their selection.
struct ColumnStatistics {
    int field = -1;
    std::size_t count = 0;  // the records counted
    bool numbers = false;   // a number field: sum to max hold
    std::int64_t sum = 0;
    std::int64_t min = 0;
    std::int64_t max = 0;
    double mean = 0;
    // A coded field: each word as the grid shows it with its count, the most
    // common first (ties in code order).
    std::vector<std::pair<std::string, int>> words;
};

// The column field (-1 for none) over the records at the selected positions
// (1-based) that shown keeps; null shows every record.
ColumnStatistics StatisticsOf(const Equipments& list, const std::vector<Long>& selected, int field,
                              const RecordFilter* shown = nullptr);

// The status bar's line, in the files' code page:
//   12 selected · SA sum 1,480 · mean 123.3 · min 40 · max 255
//   12 selected · CL Tank 5 · Fighter 4 · Infantry 2 · …
// a text column gives only the count; nothing counted, an empty text.
std::string StatisticsText(const ColumnStatistics& statistics);

}  // namespace kestrel
