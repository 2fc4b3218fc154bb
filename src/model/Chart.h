#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Equipments.h"

namespace kestrel {

// A chart of one field against another over some records of a list, worked
// out without drawing: the editor's panel paints it, the SVG writer writes
// it. Texts (words, labels, titles) are in the files' code page.

struct ChartTick {
    double at = 0;      // where on the axis, in the axis's units
    std::string label;  // "1,500", or a word on a coded axis
};

struct ChartAxis {
    int field = -1;
    bool coded = false;  // one strip (X) or row (Y) per word, at 0, 1, 2, ...
    double low = 0;      // the drawn range, ticks included
    double high = 1;
    std::vector<ChartTick> ticks;
    std::string title;  // "SA (SoftAttack)"
};

// The records of one word of a coded X: they are spread across the strip
// around its middle, and their mean Y is marked.
struct ChartStrip {
    std::string word;  // as the grid shows it
    double at = 0;     // the strip's middle on the X axis
    double low = 0;    // its edges
    double high = 0;
    int count = 0;
    bool hasMean = false;  // false when Y is coded too
    double mean = 0;       // of the Y values of its records
};

struct ChartPoint {
    Long record = 0;  // position in the list, 1 for the first
    double x = 0;     // in axis units
    double y = 0;
    int colour = -1;   // index into the legend; -1 without a colour field
    int together = 1;  // records with this record's X and Y values, itself included
};

struct ChartLegendEntry {
    std::string label;      // a word, a number, a range ("40 to 49") or "other"
    std::uint32_t rgb = 0;  // 0xRRGGBB
    int count = 0;
};

struct Chart {
    ChartAxis x;
    ChartAxis y;
    int colourField = -1;
    std::vector<ChartPoint> points;  // in the order of the records given
    std::vector<ChartStrip> strips;  // coded X only, in X order
    std::vector<ChartLegendEntry> legend;
};

// The colour of every point when the chart has no colour field.
constexpr std::uint32_t kChartPointRgb = 0x0072B2;

// Whether a chart can take the field as an axis or colour: numbers and
// codes can, texts cannot.
bool ChartCanShow(int field);

// The field a user's word names, as the filter bar reads column names (a
// heading or a property name in any letter case), or -1 with the reason in
// error: no such column, a heading of several, a field that holds text.
int ChartFieldNamed(std::string_view word, std::string& error);

// The chart of yField against xField over the records at positions (1-based,
// any order), coloured by colourField (-1 for none). Number axes get whole
// ticks, at most eight; coded fields get one strip or row per word present.
// The fields must be ones ChartCanShow takes.
Chart DescribeChart(const Equipments& list, const std::vector<Long>& positions, int xField,
                    int yField, int colourField = -1);

// What working a chart out needs besides the chart itself.
struct ChartScratch {
    std::vector<std::int64_t> xs;
    std::vector<std::int64_t> ys;
    std::vector<std::uint64_t> keys;
    std::vector<std::uint64_t> sorted;
};

// The same, into chart: a view that works its chart out again after every
// change keeps the chart and the scratch, so that a list of tens of thousands
// of records is not given back to the system and faulted in anew each time.
void DescribeChart(Chart& chart, ChartScratch& scratch, const Equipments& list,
                   const std::vector<Long>& positions, int xField, int yField,
                   int colourField = -1);

// A sentence a screen reader can say for the chart: its axes, their ranges
// and the number of points.
std::string ChartSummary(const Chart& chart);

// The name of a record as the Problems panel gives it:
//   record 12 (N 298, "Tiger I")
std::string RecordNameText(const Equipments& list, Long position);

// The names of records at one spot of the chart, one a line, up to ten,
// then "and N more".
std::string RecordNamesText(const Equipments& list, const std::vector<Long>& positions);

// A whole number with its thousands grouped: "-1,480".
std::string GroupedNumber(std::int64_t value);

}  // namespace kestrel
