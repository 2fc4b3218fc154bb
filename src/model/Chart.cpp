#include "model/Chart.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "model/CodedWords.h"
#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "model/RecordName.h"

namespace kestrel {

namespace {

// Told apart in colour, also by those who see red and green alike; no
// yellow, which fades on white.
constexpr std::uint32_t kPalette[] = {0x0072B2, 0xE69F00, 0x009E73, 0xD55E00,
                                      0xCC79A7, 0x56B4E9, 0x000000, 0x8C564B};
constexpr int kPaletteSize = static_cast<int>(sizeof kPalette / sizeof kPalette[0]);
constexpr std::uint32_t kOtherRgb = 0x999999;
constexpr int kMostTicks = 8;
constexpr double kStripWidth = 0.8;  // of the 1 between two strips' middles

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) {
    return -floorDiv(-a, b);
}

// The smallest step of 1, 2 or 5 times a power of ten at which whole steps
// from below min to above max take at most most marks.
struct Steps {
    std::int64_t low = 0;
    std::int64_t high = 0;
    std::int64_t step = 1;
};

Steps niceSteps(std::int64_t min, std::int64_t max, std::int64_t most) {
    for (std::int64_t magnitude = 1;; magnitude *= 10) {
        for (std::int64_t m : {1, 2, 5}) {
            const std::int64_t step = m * magnitude;
            const std::int64_t low = floorDiv(min, step);
            const std::int64_t high = ceilDiv(max, step);
            if (high - low + 1 <= most)
                return {low * step, high * step, step};
        }
    }
}

std::string axisTitle(int field) {
    const FieldInfo& info = fieldInfo(field);
    if (std::strcmp(info.heading, "U") == 0)
        return info.name;
    return std::string(info.heading) + " (" + info.name + ")";
}

// The records at the positions given, looked up as they are read.
struct Records {
    const Equipments& list;
    const std::vector<Long>& positions;
    std::size_t size() const { return positions.size(); }
    const Equipment& operator[](std::size_t i) const {
        return **(list.begin() + (positions[i] - 1));
    }
};

// Fills the axis and each record's value on it: numbers as they are, words
// as their rank (the strip's or row's middle).
void placeOnAxis(ChartAxis& axis, int field, const Records& records,
                 std::vector<std::int64_t>& values, std::vector<std::string>* wordsInOrder) {
    axis.field = field;
    axis.title = axisTitle(field);
    axis.coded = fieldInfo(field).words != FieldWords::None;
    values.resize(records.size());
    if (axis.coded) {
        CodedWords words(field);
        for (std::size_t i = 0; i < records.size(); ++i)
            values[i] = words.idOf(records[i]);
        const std::vector<int> rank = words.ranks();
        for (std::int64_t& v : values)
            v = rank[static_cast<std::size_t>(v)];
        std::vector<std::string> byRank(words.size());
        for (std::size_t id = 0; id < words.size(); ++id)
            byRank[static_cast<std::size_t>(rank[id])] = words.word(static_cast<int>(id));
        axis.low = -0.5;
        axis.high = byRank.empty() ? 0.5 : static_cast<double>(byRank.size()) - 0.5;
        for (std::size_t r = 0; r < byRank.size(); ++r)
            axis.ticks.push_back({static_cast<double>(r), byRank[r]});
        if (wordsInOrder)
            *wordsInOrder = std::move(byRank);
        return;
    }
    std::int64_t min = 0;
    std::int64_t max = 1;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::int64_t v = records[i].number(field);
        values[i] = v;
        if (i == 0 || v < min)
            min = v;
        if (i == 0 || v > max)
            max = v;
    }
    // One value everywhere: a step each side, so the axis still reads.
    if (min == max) {
        --min;
        ++max;
    }
    const Steps steps = niceSteps(min, max, kMostTicks);
    axis.low = static_cast<double>(steps.low);
    axis.high = static_cast<double>(steps.high);
    for (std::int64_t t = steps.low; t <= steps.high; t += steps.step)
        axis.ticks.push_back({static_cast<double>(t), GroupedNumber(t)});
}

// Each record's legend entry: the words of a coded field, the values of a
// number field when there are few, else whole-number ranges. Past the
// palette, the most common keep their colour and the rest share "other".
// Each record's entry is kept in its point's colour as it is worked out.
void colourRecords(Chart& chart, int field, const Records& records) {
    std::vector<ChartPoint>& points = chart.points;
    std::vector<std::string> labels;
    std::vector<int> counts;
    if (fieldInfo(field).words != FieldWords::None) {
        CodedWords words(field);
        for (std::size_t i = 0; i < records.size(); ++i)
            points[i].colour = words.idOf(records[i]);
        const std::vector<int> rank = words.ranks();
        labels.resize(words.size());
        counts.resize(words.size());
        for (std::size_t id = 0; id < words.size(); ++id) {
            labels[static_cast<std::size_t>(rank[id])] = words.word(static_cast<int>(id));
            counts[static_cast<std::size_t>(rank[id])] = words.count(static_cast<int>(id));
        }
        for (ChartPoint& point : points)
            point.colour = rank[static_cast<std::size_t>(point.colour)];
    } else {
        std::vector<std::int64_t> distinct;
        std::int64_t min = 0;
        std::int64_t max = 0;
        for (std::size_t i = 0; i < records.size(); ++i) {
            const std::int64_t v = records[i].number(field);
            min = i == 0 ? v : std::min(min, v);
            max = i == 0 ? v : std::max(max, v);
            if (distinct.size() <= kPaletteSize &&
                std::find(distinct.begin(), distinct.end(), v) == distinct.end())
                distinct.push_back(v);
        }
        if (distinct.size() <= kPaletteSize) {
            std::sort(distinct.begin(), distinct.end());
            for (std::int64_t v : distinct)
                labels.push_back(GroupedNumber(v));
            counts.assign(distinct.size(), 0);
            for (std::size_t i = 0; i < records.size(); ++i) {
                const std::int64_t v = records[i].number(field);
                points[i].colour = static_cast<int>(
                    std::lower_bound(distinct.begin(), distinct.end(), v) - distinct.begin());
                ++counts[static_cast<std::size_t>(points[i].colour)];
            }
        } else {
            // Ranges [low, low + step): at most as many as the palette has.
            std::int64_t step = 1;
            for (std::int64_t magnitude = 1;; magnitude *= 10) {
                bool found = false;
                for (std::int64_t m : {1, 2, 5}) {
                    step = m * magnitude;
                    if (floorDiv(max, step) - floorDiv(min, step) + 1 <= kPaletteSize) {
                        found = true;
                        break;
                    }
                }
                if (found)
                    break;
            }
            const std::int64_t first = floorDiv(min, step);
            const std::int64_t bins = floorDiv(max, step) - first + 1;
            counts.assign(static_cast<std::size_t>(bins), 0);
            for (std::size_t i = 0; i < records.size(); ++i) {
                points[i].colour =
                    static_cast<int>(floorDiv(records[i].number(field), step) - first);
                ++counts[static_cast<std::size_t>(points[i].colour)];
            }
            // Empty ranges are left out of the legend.
            std::vector<int> kept(static_cast<std::size_t>(bins), -1);
            std::vector<int> keptCounts;
            for (std::int64_t b = 0; b < bins; ++b) {
                if (counts[static_cast<std::size_t>(b)] == 0)
                    continue;
                kept[static_cast<std::size_t>(b)] = static_cast<int>(labels.size());
                const std::int64_t low = (first + b) * step;
                labels.push_back(GroupedNumber(low) + " to " + GroupedNumber(low + step - 1));
                keptCounts.push_back(counts[static_cast<std::size_t>(b)]);
            }
            counts = std::move(keptCounts);
            for (ChartPoint& point : points)
                point.colour = kept[static_cast<std::size_t>(point.colour)];
        }
    }

    const int entries = static_cast<int>(labels.size());
    std::vector<int> finalEntry(static_cast<std::size_t>(entries));
    if (entries <= kPaletteSize) {
        for (int e = 0; e < entries; ++e) {
            finalEntry[static_cast<std::size_t>(e)] = e;
            chart.legend.push_back({labels[static_cast<std::size_t>(e)], kPalette[e],
                                    counts[static_cast<std::size_t>(e)]});
        }
    } else {
        std::vector<int> byCount(static_cast<std::size_t>(entries));
        for (int e = 0; e < entries; ++e)
            byCount[static_cast<std::size_t>(e)] = e;
        std::stable_sort(byCount.begin(), byCount.end(), [&counts](int a, int b) {
            return counts[static_cast<std::size_t>(a)] > counts[static_cast<std::size_t>(b)];
        });
        std::vector<bool> own(static_cast<std::size_t>(entries), false);
        for (int k = 0; k < kPaletteSize - 1; ++k)
            own[static_cast<std::size_t>(byCount[static_cast<std::size_t>(k)])] = true;
        int other = 0;
        for (int e = 0; e < entries; ++e) {
            if (!own[static_cast<std::size_t>(e)]) {
                other += counts[static_cast<std::size_t>(e)];
                continue;
            }
            finalEntry[static_cast<std::size_t>(e)] = static_cast<int>(chart.legend.size());
            chart.legend.push_back({labels[static_cast<std::size_t>(e)],
                                    kPalette[chart.legend.size()],
                                    counts[static_cast<std::size_t>(e)]});
        }
        const int otherEntry = static_cast<int>(chart.legend.size());
        chart.legend.push_back({"other", kOtherRgb, other});
        for (int e = 0; e < entries; ++e) {
            if (!own[static_cast<std::size_t>(e)])
                finalEntry[static_cast<std::size_t>(e)] = otherEntry;
        }
    }
    for (ChartPoint& point : points)
        point.colour = finalEntry[static_cast<std::size_t>(point.colour)];
}

}  // namespace

bool ChartCanShow(int field) {
    return field >= 0 && field < kFieldCount && fieldKind(field) != FieldKind::Text;
}

int ChartFieldNamed(std::string_view word, std::string& error) {
    const std::string quoted = "\"" + std::string(word) + "\"";
    const std::vector<int> fields = FieldsNamed(word);
    if (fields.empty()) {
        error = quoted + " is not a column.";
        return -1;
    }
    if (fields.size() > 1) {
        error = quoted + " names " + std::to_string(fields.size()) + " columns; use " +
                fieldName(fields.front()) + " to " + fieldName(fields.back()) + ".";
        return -1;
    }
    if (!ChartCanShow(fields.front())) {
        error = quoted + ": " + fieldName(fields.front()) +
                " holds text; a chart takes numbers or words.";
        return -1;
    }
    error.clear();
    return fields.front();
}

Chart DescribeChart(const Equipments& list, const std::vector<Long>& positions, int xField,
                    int yField, int colourField) {
    Chart chart;
    ChartScratch scratch;
    DescribeChart(chart, scratch, list, positions, xField, yField, colourField);
    return chart;
}

namespace {

unsigned bitsFor(std::uint64_t value) {
    unsigned bits = 0;
    for (; value != 0; value >>= 1)
        ++bits;
    return bits;
}

// Each point's count of records with its pair of values. The pairs are
// sorted with the point's index in the low bits of one word, a digit at a
// time, when they fit there (as the values of every field do); else by
// comparison.
void countTogether(Chart& chart, ChartScratch& scratch) {
    const std::vector<std::int64_t>& xs = scratch.xs;
    const std::vector<std::int64_t>& ys = scratch.ys;
    const std::size_t n = xs.size();
    if (n == 0)
        return;
    std::uint32_t xLow = UINT32_MAX, xHigh = 0, yLow = UINT32_MAX, yHigh = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<std::uint32_t>(xs[i]);
        const auto y = static_cast<std::uint32_t>(ys[i]);
        xLow = std::min(xLow, x);
        xHigh = std::max(xHigh, x);
        yLow = std::min(yLow, y);
        yHigh = std::max(yHigh, y);
    }
    const unsigned yBits = bitsFor(yHigh - yLow);
    const unsigned keyBits = bitsFor(xHigh - xLow) + yBits;
    const unsigned indexBits = bitsFor(n - 1);
    std::vector<std::uint64_t>& keys = scratch.keys;
    keys.resize(n);
    std::uint64_t indexMask = 0;
    if (keyBits + indexBits <= 64) {
        indexMask = (std::uint64_t{1} << indexBits) - 1;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint64_t key =
                (static_cast<std::uint64_t>(static_cast<std::uint32_t>(xs[i]) - xLow) << yBits) |
                (static_cast<std::uint32_t>(ys[i]) - yLow);
            keys[i] = (key << indexBits) | i;
        }
        constexpr unsigned kDigit = 11;
        std::vector<std::uint64_t>& other = scratch.sorted;
        other.resize(n);
        std::size_t counts[std::size_t{1} << kDigit];
        for (unsigned shift = indexBits; shift < indexBits + keyBits; shift += kDigit) {
            const std::uint64_t mask = (std::uint64_t{1} << kDigit) - 1;
            std::fill(std::begin(counts), std::end(counts), 0);
            for (std::uint64_t k : keys)
                ++counts[(k >> shift) & mask];
            std::size_t at = 0;
            for (std::size_t& c : counts)
                at += std::exchange(c, at);
            for (std::uint64_t k : keys)
                other[counts[(k >> shift) & mask]++] = k;
            keys.swap(other);
        }
    } else {
        // Sorted on the pair of values, the index beside it.
        std::vector<std::pair<std::uint64_t, std::uint32_t>> pairs(n);
        for (std::size_t i = 0; i < n; ++i) {
            const auto x = static_cast<std::uint32_t>(xs[i]);
            const auto y = static_cast<std::uint32_t>(ys[i]);
            pairs[i] = {(static_cast<std::uint64_t>(x) << 32) | y, static_cast<std::uint32_t>(i)};
        }
        std::sort(pairs.begin(), pairs.end());
        for (std::size_t run = 0; run < n;) {
            std::size_t end = run + 1;
            while (end < n && pairs[end].first == pairs[run].first)
                ++end;
            for (std::size_t k = run; k < end; ++k)
                chart.points[pairs[k].second].together = static_cast<int>(end - run);
            run = end;
        }
        return;
    }
    // Each run of one key is one spot (or, on a strip, one value pair spread
    // apart).
    for (std::size_t run = 0; run < n;) {
        const std::uint64_t key = keys[run] >> indexBits;
        std::size_t end = run + 1;
        while (end < n && (keys[end] >> indexBits) == key)
            ++end;
        for (std::size_t k = run; k < end; ++k)
            chart.points[keys[k] & indexMask].together = static_cast<int>(end - run);
        run = end;
    }
}

}  // namespace

void DescribeChart(Chart& chart, ChartScratch& scratch, const Equipments& list,
                   const std::vector<Long>& positions, int xField, int yField, int colourField) {
    if (!ChartCanShow(xField) || !ChartCanShow(yField) ||
        (colourField != -1 && !ChartCanShow(colourField)))
        throw std::invalid_argument("a chart takes number and coded fields only");
    const std::size_t n = positions.size();
    for (Long position : positions) {
        if (position < 1 || position > list.Count())
            throw std::out_of_range("no record at that position");
    }
    const Records records{list, positions};

    // All but the points start anew; the points' memory is kept.
    chart.x = ChartAxis();
    chart.y = ChartAxis();
    chart.colourField = colourField;
    chart.strips.clear();
    chart.legend.clear();
    std::vector<std::int64_t>& xs = scratch.xs;
    std::vector<std::int64_t>& ys = scratch.ys;
    std::vector<std::string> stripWords;
    placeOnAxis(chart.x, xField, records, xs, &stripWords);
    placeOnAxis(chart.y, yField, records, ys, nullptr);

    chart.points.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        ChartPoint& point = chart.points[i];
        point.record = positions[i];
        point.x = static_cast<double>(xs[i]);
        point.y = static_cast<double>(ys[i]);
        point.colour = -1;
        point.together = 1;
    }

    if (chart.x.coded) {
        chart.strips.resize(stripWords.size());
        std::vector<std::int64_t> sums(stripWords.size(), 0);
        for (std::size_t i = 0; i < n; ++i) {
            const auto s = static_cast<std::size_t>(xs[i]);
            ++chart.strips[s].count;
            sums[s] += ys[i];
        }
        for (std::size_t s = 0; s < chart.strips.size(); ++s) {
            ChartStrip& strip = chart.strips[s];
            strip.word = std::move(stripWords[s]);
            strip.at = static_cast<double>(s);
            strip.low = strip.at - kStripWidth / 2;
            strip.high = strip.at + kStripWidth / 2;
            strip.hasMean = !chart.y.coded;
            if (strip.hasMean && strip.count > 0)
                strip.mean = static_cast<double>(sums[s]) / strip.count;
        }
        // Spread evenly across the strip, in list order.
        std::vector<int> placed(chart.strips.size(), 0);
        for (std::size_t i = 0; i < n; ++i) {
            const auto s = static_cast<std::size_t>(xs[i]);
            const ChartStrip& strip = chart.strips[s];
            const double share = (placed[s]++ + 0.5) / strip.count;
            chart.points[i].x = strip.low + kStripWidth * share;
        }
    }

    countTogether(chart, scratch);

    if (colourField != -1)
        colourRecords(chart, colourField, records);
}

namespace {

std::string axisSummary(const ChartAxis& axis) {
    if (axis.coded) {
        const std::size_t words = axis.ticks.size();
        return axis.title + ", " + std::to_string(words) + (words == 1 ? " word" : " words");
    }
    return axis.title + ", " + axis.ticks.front().label + " to " + axis.ticks.back().label;
}

}  // namespace

std::string ChartSummary(const Chart& chart) {
    std::string text = "X: " + axisSummary(chart.x) + ". Y: " + axisSummary(chart.y) + ". ";
    if (chart.colourField != -1)
        text += "Colour: " + axisTitle(chart.colourField) + ". ";
    const std::size_t n = chart.points.size();
    return text + GroupedNumber(static_cast<std::int64_t>(n)) + (n == 1 ? " point." : " points.");
}

std::string RecordNameText(const Equipments& list, Long position) {
    const Equipment& e = **(list.begin() + (position - 1));
    return RecordName(position, e.EqCode(), e.EqName());
}

std::string RecordNamesText(const Equipments& list, const std::vector<Long>& positions) {
    constexpr std::size_t kMostNamed = 10;
    std::string text;
    for (std::size_t i = 0; i < positions.size() && i < kMostNamed; ++i) {
        if (i > 0)
            text += '\n';
        text += RecordNameText(list, positions[i]);
    }
    if (positions.size() > kMostNamed)
        text += "\nand " + GroupedNumber(static_cast<std::int64_t>(positions.size() - kMostNamed)) +
                " more";
    return text;
}

std::string GroupedNumber(std::int64_t value) {
    const bool negative = value < 0;
    std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    std::string text;
    text.reserve(digits.size() + digits.size() / 3 + 1);
    if (negative)
        text += '-';
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

}  // namespace kestrel
