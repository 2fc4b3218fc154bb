#include "model/ChartSvg.h"

#include <charconv>
#include <cstdio>

#include "model/FieldText.h"
#include "text/CodePage.h"

namespace kestrel {

namespace {

// An SVG document built in one string; texts come in the code page and go
// out as escaped UTF-8.
class Svg {
public:
    std::string text;

    Svg& operator<<(std::string_view raw) {
        text += raw;
        return *this;
    }
    Svg& operator<<(int value) {
        char buffer[16];
        text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
        return *this;
    }
    // Coordinates to a tenth of a pixel.
    Svg& operator<<(double value) {
        char buffer[32];
        text.append(
            buffer,
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1).ptr);
        return *this;
    }
    // Text in the files' code page as an element's text: no texts go into
    // attributes, so quotes stay as they are. Converted byte by byte, as a
    // picture of every record puts tens of thousands of names.
    void put(std::string_view codePage) {
        for (char c : codePage) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x80) {
                putUnicode(CodePageToUnicode(byte));
            } else if (c == '&') {
                text += "&amp;";
            } else if (c == '<') {
                text += "&lt;";
            } else if (c == '>') {
                text += "&gt;";
            } else {
                // Only a name could hold a control character, and names come
                // spelled out; a stray one still leaves the XML whole.
                text += byte < 0x20 ? ' ' : c;
            }
        }
    }
    void putUnicode(char32_t ch) {
        if (ch < 0x800) {
            text += static_cast<char>(0xC0 | (ch >> 6));
            text += static_cast<char>(0x80 | (ch & 0x3F));
        } else {
            text += static_cast<char>(0xE0 | (ch >> 12));
            text += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    void colour(std::uint32_t rgb) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
        text += buffer;
    }
};

struct Frame {
    double left, top, width, height;
    const ChartAxis* x;
    const ChartAxis* y;

    double px(double v) const {
        const double span = x->high - x->low;
        return left + (span > 0 ? (v - x->low) / span : 0.5) * width;
    }
    double py(double v) const {
        const double span = y->high - y->low;
        return top + height - (span > 0 ? (v - y->low) / span : 0.5) * height;
    }
};

void writeAxes(Svg& svg, const Chart& chart, const Frame& f) {
    // The strips of a coded X, shaded in turn, and a line across each row
    // of a coded Y.
    svg << "<g class=\"strips\" fill=\"#F2F2F2\">\n";
    for (std::size_t s = 0; s < chart.strips.size(); s += 2) {
        const ChartStrip& strip = chart.strips[s];
        const double x0 = f.px(strip.at - 0.5);
        svg << "<rect x=\"" << x0 << "\" y=\"" << f.top << "\" width=\""
            << (f.px(strip.at + 0.5) - x0) << "\" height=\"" << f.height << "\"/>\n";
    }
    svg << "</g>\n<g class=\"grid\" stroke=\"#DDDDDD\">\n";
    if (!chart.x.coded) {
        for (const ChartTick& t : chart.x.ticks)
            svg << "<line x1=\"" << f.px(t.at) << "\" y1=\"" << f.top << "\" x2=\"" << f.px(t.at)
                << "\" y2=\"" << (f.top + f.height) << "\"/>\n";
    }
    for (const ChartTick& t : chart.y.ticks)
        svg << "<line x1=\"" << f.left << "\" y1=\"" << f.py(t.at) << "\" x2=\""
            << (f.left + f.width) << "\" y2=\"" << f.py(t.at) << "\"/>\n";
    svg << "</g>\n<g class=\"axes\" stroke=\"#333333\">\n"
        << "<line x1=\"" << f.left << "\" y1=\"" << (f.top + f.height) << "\" x2=\""
        << (f.left + f.width) << "\" y2=\"" << (f.top + f.height) << "\"/>\n"
        << "<line x1=\"" << f.left << "\" y1=\"" << f.top << "\" x2=\"" << f.left << "\" y2=\""
        << (f.top + f.height) << "\"/>\n</g>\n";

    svg << "<g class=\"ticks\" fill=\"#333333\">\n";
    const double below = f.top + f.height + 16;
    for (const ChartTick& t : chart.x.ticks) {
        const double x = f.px(t.at);
        if (chart.x.coded) {
            // Words slant so that neighbours' do not run into each other.
            svg << "<text x=\"" << x << "\" y=\"" << below << "\" text-anchor=\"end\" "
                << "transform=\"rotate(-40 " << x << " " << below << ")\">";
        } else {
            svg << "<text x=\"" << x << "\" y=\"" << below << "\" text-anchor=\"middle\">";
        }
        svg.put(t.label);
        svg << "</text>\n";
    }
    for (const ChartTick& t : chart.y.ticks) {
        svg << "<text x=\"" << (f.left - 6) << "\" y=\"" << (f.py(t.at) + 4)
            << "\" text-anchor=\"end\">";
        svg.put(t.label);
        svg << "</text>\n";
    }
    svg << "</g>\n";

    const double xTitleAt = f.top + f.height + (chart.x.coded ? 95 : 38);
    svg << "<text class=\"x-title\" x=\"" << (f.left + f.width / 2) << "\" y=\"" << xTitleAt
        << "\" text-anchor=\"middle\" font-weight=\"bold\">";
    svg.put(chart.x.title);
    const double yTitleX = 16;
    const double yTitleY = f.top + f.height / 2;
    svg << "</text>\n<text class=\"y-title\" x=\"" << yTitleX << "\" y=\"" << yTitleY
        << "\" text-anchor=\"middle\" font-weight=\"bold\" transform=\"rotate(-90 " << yTitleX
        << " " << yTitleY << ")\">";
    svg.put(chart.y.title);
    svg << "</text>\n";
}

void writePoints(Svg& svg, const Chart& chart, const Equipments& list, const Frame& f) {
    // See-through, so that records on one spot show darker than one alone.
    svg << "<g class=\"points\" fill-opacity=\"0.55\">\n";
    const bool colourOwn = chart.colourField != -1 && chart.colourField != chart.x.field &&
                           chart.colourField != chart.y.field;
    for (const ChartPoint& p : chart.points) {
        const Equipment& e = **(list.begin() + (p.record - 1));
        svg << "<circle cx=\"" << f.px(p.x) << "\" cy=\"" << f.py(p.y) << "\" r=\"3.5\" fill=\"";
        svg.colour(p.colour >= 0 ? chart.legend[static_cast<std::size_t>(p.colour)].rgb
                                 : kChartPointRgb);
        svg << "\"><title>";
        svg.put(RecordNameText(list, p.record));
        svg << ": ";
        svg.put(FieldLabel(chart.x.field));
        svg << " ";
        svg.put(FieldValueText(e, chart.x.field));
        if (chart.y.field != chart.x.field) {
            svg << ", ";
            svg.put(FieldLabel(chart.y.field));
            svg << " ";
            svg.put(FieldValueText(e, chart.y.field));
        }
        if (colourOwn) {
            svg << ", ";
            svg.put(FieldLabel(chart.colourField));
            svg << " ";
            svg.put(FieldValueText(e, chart.colourField));
        }
        // On a strip records with the same values lie apart; elsewhere they
        // lie on one spot, and the title says so.
        if (p.together > 1 && !chart.x.coded)
            svg << "; " << p.together << " records have these values";
        svg << "</title></circle>\n";
    }
    svg << "</g>\n";
}

void writeMeans(Svg& svg, const Chart& chart, const Frame& f) {
    svg << "<g class=\"means\" stroke=\"#222222\" stroke-width=\"2\">\n";
    for (const ChartStrip& s : chart.strips) {
        if (!s.hasMean || s.count == 0)
            continue;
        const double y = f.py(s.mean);
        svg << "<line x1=\"" << f.px(s.low) << "\" y1=\"" << y << "\" x2=\"" << f.px(s.high)
            << "\" y2=\"" << y << "\"><title>";
        svg.put(s.word);
        svg << ": mean " << s.mean << " of " << s.count << (s.count == 1 ? " record" : " records")
            << "</title></line>\n";
    }
    svg << "</g>\n";
}

void writeLegend(Svg& svg, const Chart& chart, double left, double top) {
    if (chart.colourField == -1)
        return;
    svg << "<g class=\"legend\">\n<text x=\"" << left << "\" y=\"" << top
        << "\" font-weight=\"bold\">";
    svg.put(FieldLabel(chart.colourField));
    svg << "</text>\n";
    double y = top + 8;
    for (const ChartLegendEntry& entry : chart.legend) {
        svg << "<rect x=\"" << left << "\" y=\"" << y << "\" width=\"10\" height=\"10\" fill=\"";
        svg.colour(entry.rgb);
        svg << "\"/>\n<text x=\"" << (left + 16) << "\" y=\"" << (y + 9) << "\">";
        svg.put(entry.label);
        svg << " (" << entry.count << ")</text>\n";
        y += 16;
    }
    svg << "</g>\n";
}

}  // namespace

std::string ChartSvg(const Chart& chart, const Equipments& list, int width, int height) {
    Svg svg;
    // About 130 bytes a record's circle.
    svg.text.reserve(4096 + chart.points.size() * 140);
    const double legendWidth = chart.colourField == -1 ? 0 : 170;
    Frame f;
    f.left = 70;
    f.top = 36;
    f.width = width - f.left - 20 - legendWidth;
    f.height = height - f.top - (chart.x.coded ? 110 : 56);
    f.x = &chart.x;
    f.y = &chart.y;

    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" viewBox=\"0 0 " << width << " " << height
        << "\" font-family=\"sans-serif\" font-size=\"11\">\n<title>";
    svg.put(chart.y.title + " against " + chart.x.title);
    svg << "</title>\n<desc>";
    svg.put(ChartSummary(chart));
    svg << "</desc>\n<rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>\n";
    svg << "<text x=\"" << f.left << "\" y=\"22\" font-size=\"14\" font-weight=\"bold\">";
    svg.put(chart.y.title + " against " + chart.x.title);
    svg << "</text>\n";
    writeAxes(svg, chart, f);
    writePoints(svg, chart, list, f);
    writeMeans(svg, chart, f);
    writeLegend(svg, chart, f.left + f.width + 20, f.top + 10);
    if (chart.points.empty()) {
        svg << "<text x=\"" << (f.left + f.width / 2) << "\" y=\"" << (f.top + f.height / 2)
            << "\" text-anchor=\"middle\" fill=\"#777777\">No records</text>\n";
    }
    svg << "</svg>\n";
    return std::move(svg.text);
}

}  // namespace kestrel
