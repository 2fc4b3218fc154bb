#include "ui/list/ChartView.h"

#include <QAbstractProxyModel>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "model/FieldText.h"
#include "ui/document/EditorSession.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/CodePageText.h"
#include "ui/platform/Grid.h"

namespace kestrel::ui {

namespace {

constexpr double kRadius = 3.5;         // a point, in device independent pixels
constexpr double kMarkedRadius = 4.5;   // a selected record's point, ringed
constexpr double kPointOpacity = 0.55;  // points on one spot show darker
constexpr double kLongestLabel = 120;   // a word on an axis, cut beyond
constexpr double kPi = 3.14159265358979323846;
constexpr double kSlant = 40 * kPi / 180;  // of the words under a coded X

QColor colourOf(std::uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u));
}

QString fieldTitle(int field) {
    return FromCodePage(FieldLabel(field));
}

// A point as drawn, made once per colour and stamped at every point: far
// cheaper than an antialiased ellipse each for tens of thousands of points.
QImage stampOf(const QColor& colour, qreal dpr, bool marked, const QColor& ring) {
    const double radius = marked ? kMarkedRadius : kRadius;
    const int side = static_cast<int>(std::ceil((2 * radius + 3) * dpr));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double middle = side / dpr / 2;
    QColor fill = colour;
    if (marked) {
        p.setPen(QPen(ring, 1.6));
    } else {
        fill.setAlphaF(kPointOpacity);
        p.setPen(Qt::NoPen);
    }
    p.setBrush(fill);
    p.drawEllipse(QPointF(middle, middle), radius, radius);
    return image;
}

}  // namespace

double ChartView::Layout::px(const ChartAxis& axis, double v) const {
    const double span = axis.high - axis.low;
    return plot.left() + (span > 0 ? (v - axis.low) / span : 0.5) * plot.width();
}

double ChartView::Layout::py(const ChartAxis& axis, double v) const {
    const double span = axis.high - axis.low;
    return plot.bottom() - (span > 0 ? (v - axis.low) / span : 0.5) * plot.height();
}

ChartView::ChartView(EditorSession& session, Grid& grid, QWidget* parent)
    : QWidget(parent), mSession(session), mGrid(grid), mShown(grid.model()) {
    setObjectName(QStringLiteral("ChartView"));
    setAccessibleName(QStringLiteral("Chart points"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(false);

    QAbstractItemModel* shown = mShown;
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(shown, signal, this, &ChartView::recordsChanged);
    connect(shown, &QAbstractItemModel::rowsMoved, this, &ChartView::recordsChanged);
    connect(shown, &QAbstractItemModel::modelReset, this, &ChartView::recordsChanged);
    connect(shown, &QAbstractItemModel::layoutChanged, this, &ChartView::recordsChanged);
    connect(shown, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) {
                // The names come from the list when asked for; only the
                // drawn fields move points.
                for (int field : {mX, mY, mColour}) {
                    if (field >= from.column() && field <= to.column()) {
                        recordsChanged();
                        return;
                    }
                }
            });
    connect(&grid, &Grid::selectionChanged, this, &ChartView::selectionChanged);
}

ChartView::~ChartView() = default;

void ChartView::setFields(int xField, int yField, int colourField) {
    if (xField == mX && yField == mY && colourField == mColour)
        return;
    mX = xField;
    mY = yField;
    mColour = colourField;
    recordsChanged();
}

void ChartView::recordsChanged() {
    mStale = true;
    mSelectionStale = true;
    if (!mNames.isEmpty() && !hasFocus())
        setNames(QString());
    QWidget::update();
}

void ChartView::selectionChanged() {
    mSelectionStale = true;
    QWidget::update();
}

void ChartView::shownPositions(std::vector<std::int32_t>& positions) const {
    positions.clear();
    const int rows = mShown->rowCount();
    positions.reserve(static_cast<std::size_t>(rows));
    const auto* proxy = qobject_cast<const QAbstractProxyModel*>(mShown);
    const int all = proxy ? proxy->sourceModel()->rowCount() : rows;
    if (rows == all) {
        for (int r = 1; r <= rows; ++r)
            positions.push_back(r);
        return;
    }
    for (int r = 0; r < rows; ++r) {
        const QModelIndex source = proxy->mapToSource(proxy->index(r, 0));
        if (source.isValid())
            positions.push_back(source.row() + 1);
    }
}

void ChartView::ensureChart() {
    const Equipments& list = mSession.equipments();
    if (mStale) {
        mStale = false;
        mPlacesStale = true;
        mOrder.clear();
        mFocus = SIZE_MAX;
        if (ChartCanShow(mX) && ChartCanShow(mY) && (mColour == -1 || ChartCanShow(mColour))) {
            shownPositions(mPositions);
            DescribeChart(mChart, mScratch, list, mPositions, mX, mY, mColour);
        } else {
            mChart = Chart();
        }
        const QString summary = FromCodePage(ChartSummary(mChart));
        setAccessibleDescription(summary);
        emit summaryChanged(summary);
        if (mFocusRecord != 0)
            ensureOrder();
    }
    if (mSelectionStale) {
        mSelectionStale = false;
        mMarked.assign(static_cast<std::size_t>(list.Count()) + 1, 0);
        for (std::int32_t p : mSession.selectedPositions()) {
            if (p >= 1 && p <= list.Count())
                mMarked[static_cast<std::size_t>(p)] = 1;
        }
    }
}

const Chart& ChartView::chart() {
    ensureChart();
    return mChart;
}

bool ChartView::marked(std::int32_t position) {
    ensureChart();
    return position >= 1 && static_cast<std::size_t>(position) < mMarked.size() &&
           mMarked[static_cast<std::size_t>(position)];
}

ChartView::Layout ChartView::layoutFor(QSizeF size, bool title) const {
    const QFontMetricsF metrics(font());
    const double line = metrics.height();
    Layout layout;
    layout.title = title;
    const double top = title ? line * 2 + 6 : line / 2 + 8;
    double yLabels = 0;
    for (const ChartTick& t : mChart.y.ticks)
        yLabels = std::max(yLabels, metrics.horizontalAdvance(FromCodePage(t.label)));
    const double left = 6 + line + 8 + std::min(yLabels, kLongestLabel) + 6;
    double bottom = 6 + line + 6 + line + 6;
    if (mChart.x.coded) {
        double xLabels = 0;
        for (const ChartTick& t : mChart.x.ticks)
            xLabels = std::max(xLabels, metrics.horizontalAdvance(FromCodePage(t.label)));
        xLabels = std::min(xLabels, kLongestLabel);
        bottom = 6 + xLabels * std::sin(kSlant) + line * std::cos(kSlant) + 8 + line + 6;
    }
    // Room for half the last number under the X axis, centred on its tick.
    double right = 14;
    if (!mChart.x.coded && !mChart.x.ticks.empty())
        right = std::max(
            right, metrics.horizontalAdvance(FromCodePage(mChart.x.ticks.back().label)) / 2 + 6);
    if (mChart.colourField != -1) {
        double widest = metrics.horizontalAdvance(fieldTitle(mChart.colourField));
        for (const ChartLegendEntry& entry : mChart.legend)
            widest = std::max(
                widest, 18 + metrics.horizontalAdvance(FromCodePage(entry.label) +
                                                       QStringLiteral(" (%1)").arg(entry.count)));
        widest = std::min(widest, size.width() * 0.3);
        layout.legendLeft = size.width() - widest - 8;
        right = widest + 24;
    }
    layout.plot = QRectF(left, top, std::max(1.0, size.width() - left - right),
                         std::max(1.0, size.height() - top - bottom));
    return layout;
}

void ChartView::placesFor(const Layout& layout, std::vector<QPointF>& places) const {
    places.resize(mChart.points.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        const ChartPoint& point = mChart.points[i];
        places[i] = QPointF(layout.px(mChart.x, point.x), layout.py(mChart.y, point.y));
    }
}

void ChartView::ensurePlaces() {
    ensureChart();
    if (!mPlacesStale)
        return;
    mPlacesStale = false;
    mLayerStale = true;
    mLayout = layoutFor(size(), false);
    placesFor(mLayout, mPlaces);
    mPointOf.assign(static_cast<std::size_t>(mSession.equipments().Count()) + 1, SIZE_MAX);
    for (std::size_t i = 0; i < mChart.points.size(); ++i)
        mPointOf[static_cast<std::size_t>(mChart.points[i].record)] = i;
}

QColor ChartView::inkFor(bool onScreen) const {
    return onScreen ? palette().color(QPalette::Text) : QColor(0x33, 0x33, 0x33);
}

void ChartView::stampPoints(QPainter& p, const QRectF& plot, const std::vector<QPointF>& places,
                            bool ringed, const QColor& ink,
                            const std::function<bool(const ChartPoint&)>& take) const {
    const Chart& chart = mChart;
    const qreal dpr = p.device()->devicePixelRatioF();
    std::vector<QImage> stamps(std::max<std::size_t>(1, chart.legend.size()));
    const double half = std::ceil((2 * (ringed ? kMarkedRadius : kRadius) + 3) * dpr) / dpr / 2;
    // Placed on whole device pixels, where stamping is a plain copy.
    auto cornerOf = [&](std::size_t i) {
        return QPoint(static_cast<int>(std::lround((places[i].x() - half) * dpr)),
                      static_cast<int>(std::lround((places[i].y() - half) * dpr)));
    };
    // A ringed stamp is opaque but for its rim, and one at the same corner
    // as a later one is wholly hidden by it: of each corner only the last
    // is stamped. Records of one value (after a Set value, say) would
    // otherwise be stamped thousands of times over one another.
    // In device pixels: a widget's size is in device independent ones.
    const int wide = static_cast<int>(std::ceil(p.device()->width() * dpr)) + 1;
    const int high = static_cast<int>(std::ceil(p.device()->height() * dpr)) + 1;
    auto cellOf = [&](QPoint at) -> std::int64_t {
        if (!ringed || at.x() < 0 || at.y() < 0 || at.x() >= wide || at.y() >= high)
            return -1;
        return static_cast<std::int64_t>(at.y()) * wide + at.x();
    };
    mTaken.clear();
    for (std::size_t i = 0; i < chart.points.size(); ++i) {
        if (take(chart.points[i]))
            mTaken.push_back(i);
    }
    if (ringed) {
        mCovered.assign(static_cast<std::size_t>(wide) * static_cast<std::size_t>(high), false);
        std::size_t kept = mTaken.size();
        for (std::size_t k = mTaken.size(); k-- > 0;) {
            const std::int64_t cell = cellOf(cornerOf(mTaken[k]));
            if (cell >= 0) {
                if (mCovered[static_cast<std::size_t>(cell)])
                    continue;
                mCovered[static_cast<std::size_t>(cell)] = true;
            }
            mTaken[--kept] = mTaken[k];
        }
        mTaken.erase(mTaken.begin(), mTaken.begin() + static_cast<std::ptrdiff_t>(kept));
    }
    p.save();
    p.setClipRect(plot.adjusted(-kMarkedRadius - 2, -kMarkedRadius - 2, kMarkedRadius + 2,
                                kMarkedRadius + 2));
    for (std::size_t i : mTaken) {
        const ChartPoint& point = chart.points[i];
        const auto k = static_cast<std::size_t>(std::max(0, point.colour));
        if (stamps[k].isNull()) {
            stamps[k] = stampOf(colourOf(point.colour >= 0 ? chart.legend[k].rgb : kChartPointRgb),
                                dpr, ringed, ink);
        }
        const QPoint corner = cornerOf(i);
        p.drawImage(QPointF(corner.x() / dpr, corner.y() / dpr), stamps[k]);
    }
    p.restore();
}

bool ChartView::markedAt(std::int32_t record) const {
    return static_cast<std::size_t>(record) < mMarked.size() &&
           mMarked[static_cast<std::size_t>(record)];
}

void ChartView::drawBase(QPainter& p, QSizeF size, const Layout& layout,
                         const std::vector<QPointF>& places, bool onScreen) {
    const Chart& chart = mChart;
    const QRectF& plot = layout.plot;
    const QPalette& colours = palette();
    const QColor ink = inkFor(onScreen);
    const QColor paper = onScreen ? colours.color(QPalette::Base) : QColor(Qt::white);
    QColor lines = onScreen ? colours.color(QPalette::Mid) : QColor(0xDD, 0xDD, 0xDD);
    if (onScreen)
        lines.setAlpha(110);
    QColor shade = ink;
    shade.setAlpha(14);

    p.fillRect(QRectF(QPointF(0, 0), size), paper);
    // A see-through line or narrow fill is slow: Qt's raster engine hands a
    // fill of more than about a hundred spans (a line is a span a pixel) to
    // its thread pool and waits, which on two cores took 1.4 ms for the grid
    // lines of one chart. The same pixels come from the colour each blends
    // to over what lies under it, filled as is.
    const auto over = [](const QColor& c, const QColor& under) {
        const double a = c.alphaF();
        return QColor::fromRgbF(static_cast<float>(c.redF() * a + under.redF() * (1 - a)),
                                static_cast<float>(c.greenF() * a + under.greenF() * (1 - a)),
                                static_cast<float>(c.blueF() * a + under.blueF() * (1 - a)));
    };
    const QFontMetricsF metrics(p.font());
    const double line = metrics.height();
    QFont bold = p.font();
    bold.setBold(true);

    if (layout.title) {
        p.setFont(bold);
        p.setPen(ink);
        p.drawText(QRectF(plot.left(), 4, size.width() - plot.left() - 8, line * 1.5),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   FromCodePage(chart.y.title + " against " + chart.x.title));
        p.setFont(font());
    }

    // The strips of a coded X, shaded in turn, as x ranges.
    std::vector<std::pair<double, double>> strips;
    for (std::size_t s = 0; s < chart.strips.size(); s += 2) {
        const double x0 = layout.px(chart.x, chart.strips[s].at - 0.5);
        const double x1 = layout.px(chart.x, chart.strips[s].at + 0.5);
        strips.emplace_back(std::min(x0, x1), std::max(x0, x1));
    }
    const QColor stripColour = over(shade, paper);
    for (const auto& [x0, x1] : strips)
        p.fillRect(QRectF(QPointF(x0, plot.top()), QPointF(x1, plot.bottom())), stripColour);
    // Each line is the pixels a one-pixel line with square ends covers.
    const QColor lineOnPaper = over(lines, paper);
    if (!chart.x.coded) {
        for (const ChartTick& t : chart.x.ticks) {
            const double x = layout.px(chart.x, t.at);
            p.fillRect(QRectF(x - 0.5, plot.top() - 0.5, 1, plot.height() + 1), lineOnPaper);
        }
    }
    // Across the strips a line is of another colour. The pieces meet
    // exactly: a fill takes the pixels whose middles lie inside it.
    const QColor lineOnStrip = over(lines, stripColour);
    const double left = plot.left() - 0.5;
    const double right = plot.right() + 0.5;
    for (const ChartTick& t : chart.y.ticks) {
        const double y0 = layout.py(chart.y, t.at) - 0.5;
        const double y1 = y0 + 1;
        // The part of the line's height the strips reach, from plot top to
        // bottom; the rest lies on the paper.
        const double in0 = std::clamp(plot.top(), y0, y1);
        const double in1 = std::clamp(plot.bottom(), in0, y1);
        if (in0 > y0)
            p.fillRect(QRectF(QPointF(left, y0), QPointF(right, in0)), lineOnPaper);
        if (in1 < y1)
            p.fillRect(QRectF(QPointF(left, in1), QPointF(right, y1)), lineOnPaper);
        if (in1 <= in0)
            continue;
        double from = left;
        for (const auto& [x0, x1] : strips) {
            const double a = std::clamp(x0, from, right);
            const double b = std::clamp(x1, a, right);
            if (b <= a)
                continue;
            if (a > from)
                p.fillRect(QRectF(QPointF(from, in0), QPointF(a, in1)), lineOnPaper);
            p.fillRect(QRectF(QPointF(a, in0), QPointF(b, in1)), lineOnStrip);
            from = b;
        }
        if (right > from)
            p.fillRect(QRectF(QPointF(from, in0), QPointF(right, in1)), lineOnPaper);
    }
    p.setPen(QPen(ink, 1));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.topLeft(), plot.bottomLeft());

    // Tick labels, leaving out those that would run into the one before.
    double lastRight = -1e9;
    for (const ChartTick& t : chart.x.ticks) {
        const double x = layout.px(chart.x, t.at);
        const QString label =
            metrics.elidedText(FromCodePage(t.label), Qt::ElideRight, kLongestLabel);
        if (chart.x.coded) {
            if (x - lastRight < line)
                continue;
            lastRight = x;
            p.save();
            p.translate(x + line / 3, plot.bottom() + 6);
            p.rotate(-kSlant * 180 / kPi);
            const double width = metrics.horizontalAdvance(label);
            p.drawText(QRectF(-width, 0, width, line), Qt::AlignRight | Qt::AlignTop, label);
            p.restore();
        } else {
            const double width = metrics.horizontalAdvance(label);
            if (x - width / 2 < lastRight + 6)
                continue;
            lastRight = x + width / 2;
            p.drawText(QRectF(x - width / 2, plot.bottom() + 4, width, line), Qt::AlignCenter,
                       label);
        }
    }
    double lastTop = 1e9;
    for (const ChartTick& t : chart.y.ticks) {
        const double y = layout.py(chart.y, t.at);
        if (y + line / 2 > lastTop)
            continue;
        lastTop = y - line / 2;
        const QString label =
            metrics.elidedText(FromCodePage(t.label), Qt::ElideRight, kLongestLabel);
        p.drawText(QRectF(0, y - line / 2, plot.left() - 6, line),
                   Qt::AlignRight | Qt::AlignVCenter, label);
    }
    p.setFont(bold);
    p.drawText(QRectF(plot.left(), size.height() - line - 6, plot.width(), line), Qt::AlignCenter,
               FromCodePage(chart.x.title));
    // Beside the plot's middle, or over the whole height when it needs more.
    const QFontMetricsF boldMetrics(bold);
    QString yTitle = FromCodePage(chart.y.title);
    double room = plot.height();
    double middle = plot.center().y();
    if (boldMetrics.horizontalAdvance(yTitle) > room) {
        room = std::max(1.0, size.height() - 8);
        middle = size.height() / 2;
        yTitle = boldMetrics.elidedText(yTitle, Qt::ElideRight, room);
    }
    p.save();
    p.translate(6, middle);
    p.rotate(-90);
    p.drawText(QRectF(-room / 2, 0, room, line), Qt::AlignCenter, yTitle);
    p.restore();
    p.setFont(font());

    // The points of the records not selected: those of selected records go
    // on top, ringed, and hide them wholly.
    if (!onScreen) {
        stampPoints(p, plot, places, false, ink, [](const ChartPoint&) { return true; });
        return;
    }
    mLeftOut.assign(mMarked.size(), 0);
    stampPoints(p, plot, places, false, ink, [this](const ChartPoint& point) {
        if (!markedAt(point.record))
            return true;
        mLeftOut[static_cast<std::size_t>(point.record)] = 1;
        return false;
    });
}

void ChartView::drawTop(QPainter& p, QSizeF size, const Layout& layout,
                        const std::vector<QPointF>& places, bool onScreen) {
    const Chart& chart = mChart;
    const QRectF& plot = layout.plot;
    const QPalette& colours = palette();
    const QColor ink = inkFor(onScreen);
    const QFontMetricsF metrics(p.font());
    const double line = metrics.height();
    QFont bold = p.font();
    bold.setBold(true);

    if (onScreen) {
        stampPoints(p, plot, places, true, ink,
                    [this](const ChartPoint& point) { return markedAt(point.record); });
    }

    // The mean of each strip, across it.
    p.setPen(QPen(ink, 2));
    for (const ChartStrip& s : chart.strips) {
        if (!s.hasMean || s.count == 0)
            continue;
        const double y = layout.py(chart.y, s.mean);
        p.drawLine(QPointF(layout.px(chart.x, s.low), y), QPointF(layout.px(chart.x, s.high), y));
    }

    if (chart.colourField != -1) {
        const double width = size.width() - layout.legendLeft - 4;
        double y = plot.top();
        p.setFont(bold);
        p.setPen(ink);
        p.drawText(QRectF(layout.legendLeft, y, width, line), Qt::AlignLeft | Qt::AlignVCenter,
                   metrics.elidedText(fieldTitle(chart.colourField), Qt::ElideRight, width));
        p.setFont(font());
        y += line + 4;
        for (const ChartLegendEntry& entry : chart.legend) {
            if (y + line > size.height())
                break;
            p.fillRect(QRectF(layout.legendLeft, y + (line - 10) / 2, 10, 10), colourOf(entry.rgb));
            const QString label =
                FromCodePage(entry.label) + QStringLiteral(" (%1)").arg(entry.count);
            p.drawText(QRectF(layout.legendLeft + 16, y, width - 16, line),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       metrics.elidedText(label, Qt::ElideRight, width - 16));
            y += line + 2;
        }
    }

    if (chart.points.empty()) {
        QColor quiet = ink;
        quiet.setAlpha(140);
        p.setPen(quiet);
        p.drawText(plot, Qt::AlignCenter, QStringLiteral("No records"));
    }
    if (!onScreen)
        return;
    if (mFocus != SIZE_MAX && hasFocus() && mFocus < mOrder.size()) {
        QPen pen(colours.color(QPalette::Highlight), 2);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawEllipse(places[mOrder[mFocus]], kMarkedRadius + 3, kMarkedRadius + 3);
    }
    if (mDragging) {
        QColor fill = colours.color(QPalette::Highlight);
        fill.setAlpha(50);
        p.setPen(QPen(colours.color(QPalette::Highlight), 1));
        p.setBrush(fill);
        p.drawRect(mBand);
    }
}

void ChartView::ensureLayer() {
    const qreal dpr = devicePixelRatioF();
    const QSize pixels = size() * dpr;
    if (mLayerStale || mLayer.size() != pixels || mLayer.devicePixelRatio() != dpr) {
        mLayerStale = false;
        if (mLayer.size() != pixels)
            mLayer = QImage(pixels, QImage::Format_RGB32);
        mLayer.setDevicePixelRatio(dpr);
        QPainter p(&mLayer);
        p.setFont(font());
        drawBase(p, size(), mLayout, mPlaces, true);
        return;
    }
    // Points left out as selected when the layer was drawn that are no
    // longer selected go in now.
    bool missing = false;
    for (const ChartPoint& point : mChart.points) {
        const auto record = static_cast<std::size_t>(point.record);
        if (record < mLeftOut.size() && mLeftOut[record] && !markedAt(point.record)) {
            missing = true;
            break;
        }
    }
    if (!missing)
        return;
    QPainter p(&mLayer);
    stampPoints(p, mLayout.plot, mPlaces, false, inkFor(true), [this](const ChartPoint& point) {
        const auto record = static_cast<std::size_t>(point.record);
        if (record >= mLeftOut.size() || !mLeftOut[record] || markedAt(point.record))
            return false;
        mLeftOut[record] = 0;
        return true;
    });
}

void ChartView::paintEvent(QPaintEvent*) {
    ensurePlaces();
    ensureLayer();
    QPainter p(this);
    p.drawImage(QPointF(0, 0), mLayer);
    drawTop(p, size(), mLayout, mPlaces, true);
    if (hasFocus() && mFocus == SIZE_MAX) {
        // Where the keyboard is, before the keys have picked a point.
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

QImage ChartView::picture(QSize size, qreal devicePixelRatio) {
    ensureChart();
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&image);
    p.setFont(font());
    const Layout layout = layoutFor(size, true);
    std::vector<QPointF> places;
    placesFor(layout, places);
    drawBase(p, size, layout, places, false);
    drawTop(p, size, layout, places, false);
    return image;
}

void ChartView::changeEvent(QEvent* event) {
    // The layer holds the colours and the words as they were.
    switch (event->type()) {
        case QEvent::PaletteChange:
        case QEvent::FontChange:
        case QEvent::StyleChange:
            mPlacesStale = true;
            QWidget::update();
            break;
        default:
            break;
    }
    QWidget::changeEvent(event);
}

void ChartView::resizeEvent(QResizeEvent* event) {
    mPlacesStale = true;
    QWidget::resizeEvent(event);
}

void ChartView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    mPlacesStale = true;
}

QSize ChartView::sizeHint() const {
    return QSize(560, 320);
}

QSize ChartView::minimumSizeHint() const {
    return QSize(240, 140);
}

std::optional<QPointF> ChartView::placeOf(std::int32_t position) {
    ensurePlaces();
    if (position < 1 || static_cast<std::size_t>(position) >= mPointOf.size() ||
        mPointOf[static_cast<std::size_t>(position)] == SIZE_MAX)
        return std::nullopt;
    return mPlaces[mPointOf[static_cast<std::size_t>(position)]];
}

std::vector<std::size_t>::const_iterator ChartView::firstAtOrRightOf(double x) const {
    return std::lower_bound(mOrder.begin(), mOrder.end(), x,
                            [this](std::size_t i, double at) { return mPlaces[i].x() < at; });
}

std::vector<std::int32_t> ChartView::recordsAt(QPointF at) {
    ensurePlaces();
    ensureOrder();
    // The places run left to right along mOrder: only those as near as the
    // reach across can be nearer still.
    std::vector<std::int32_t> found;
    for (auto it = firstAtOrRightOf(at.x() - kReach);
         it != mOrder.end() && mPlaces[*it].x() <= at.x() + kReach; ++it) {
        const QPointF d = mPlaces[*it] - at;
        if (d.x() * d.x() + d.y() * d.y() <= kReach * kReach)
            found.push_back(mChart.points[*it].record);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::int32_t> ChartView::recordsInside(const QRectF& rect) {
    ensurePlaces();
    ensureOrder();
    const QRectF area = rect.normalized();
    // Ticked off by position, they come out in list order without a sort.
    std::vector<char>& inside = mInside;
    inside.assign(mPointOf.size(), 0);
    std::size_t count = 0;
    for (auto it = firstAtOrRightOf(area.left());
         it != mOrder.end() && mPlaces[*it].x() <= area.right(); ++it) {
        if (area.contains(mPlaces[*it])) {
            inside[static_cast<std::size_t>(mChart.points[*it].record)] = 1;
            ++count;
        }
    }
    std::vector<std::int32_t> found;
    found.reserve(count);
    for (std::size_t p = 1; p < inside.size() && found.size() < count; ++p) {
        if (inside[p])
            found.push_back(static_cast<std::int32_t>(p));
    }
    return found;
}

void ChartView::select(std::vector<std::int32_t> positions, bool add) {
    if (positions.empty())
        return;
    const std::int32_t current = positions.front();
    if (add) {
        std::vector<std::int32_t> selected = mSession.selectedPositions();
        // A click with Ctrl takes back records that are all selected already.
        const bool all = std::all_of(positions.begin(), positions.end(),
                                     [this](std::int32_t p) { return marked(p); });
        if (all && !mDragging) {
            std::vector<std::int32_t> kept;
            std::set_difference(selected.begin(), selected.end(), positions.begin(),
                                positions.end(), std::back_inserter(kept));
            positions = std::move(kept);
        } else {
            std::vector<std::int32_t> both;
            std::set_union(selected.begin(), selected.end(), positions.begin(), positions.end(),
                           std::back_inserter(both));
            positions = std::move(both);
        }
        if (positions.empty())
            return;
    }
    mSession.selectPositions(positions, current);
    mSession.scrollTo(current);
}

void ChartView::setNames(const QString& names) {
    if (names == mNames)
        return;
    mNames = names;
    emit namesChanged(mNames);
}

void ChartView::hoverAt(QPointF at) {
    const std::vector<std::int32_t> records = recordsAt(at);
    if (records.empty()) {
        setNames(hasFocus() ? focusText() : QString());
        QToolTip::hideText();
        return;
    }
    const QString names = FromCodePage(RecordNamesText(mSession.equipments(), records));
    if (names != mNames || !QToolTip::isVisible())
        QToolTip::showText(mapToGlobal(at.toPoint()), names, this);
    setNames(names);
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    mPressed = true;
    mDragging = false;
    mPressAt = event->position();
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (!mPressed) {
        hoverAt(at);
        return;
    }
    if (!mDragging && (at - mPressAt).manhattanLength() >= QApplication::startDragDistance()) {
        mDragging = true;
        QToolTip::hideText();
    }
    if (mDragging) {
        mBand = QRectF(mPressAt, at).normalized();
        QWidget::update();
    }
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !mPressed) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    mPressed = false;
    const bool add = event->modifiers() & Qt::ControlModifier;
    if (mDragging) {
        select(recordsInside(mBand), add);
        mDragging = false;
        mBand = QRectF();
        QWidget::update();
        return;
    }
    select(recordsAt(event->position()), add);
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const std::vector<std::int32_t> records = recordsAt(event->position());
    if (records.empty())
        return;
    mSession.showRecord(records.front());
    mdlGeneral::ShowEquipmentDetails();
}

std::int32_t ChartView::focusedRecord() const {
    return mFocus < mOrder.size() ? mChart.points[mOrder[mFocus]].record : 0;
}

QString ChartView::focusText() const {
    const std::int32_t record = focusedRecord();
    if (record == 0)
        return QString();
    const Equipments& list = mSession.equipments();
    const Equipment& e = **(list.begin() + (record - 1));
    std::string text = RecordNameText(list, record) + ": " + FieldLabel(mChart.x.field) + " " +
                       FieldValueText(e, mChart.x.field);
    if (mChart.y.field != mChart.x.field)
        text += ", " + std::string(FieldLabel(mChart.y.field)) + " " +
                FieldValueText(e, mChart.y.field);
    return FromCodePage(text);
}

void ChartView::ensureOrder() {
    const std::size_t n = mChart.points.size();
    if (mOrder.size() != n) {
        mOrder.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            mOrder[i] = i;
        const std::vector<ChartPoint>& points = mChart.points;
        std::sort(mOrder.begin(), mOrder.end(), [&points](std::size_t a, std::size_t b) {
            if (points[a].x != points[b].x)
                return points[a].x < points[b].x;
            if (points[a].y != points[b].y)
                return points[a].y < points[b].y;
            return points[a].record < points[b].record;
        });
        // The keys go on from the record they were on before the change.
        mFocus = SIZE_MAX;
        for (std::size_t k = 0; k < n && mFocusRecord; ++k) {
            if (points[mOrder[k]].record == mFocusRecord)
                mFocus = k;
        }
    }
}

void ChartView::moveFocus(int step, bool toEnd) {
    ensurePlaces();
    ensureOrder();
    const std::size_t n = mChart.points.size();
    if (n == 0)
        return;
    if (toEnd)
        mFocus = step < 0 ? 0 : n - 1;
    else if (mFocus == SIZE_MAX)
        mFocus = step > 0 ? 0 : n - 1;
    else if (step < 0)
        mFocus = mFocus == 0 ? 0 : mFocus - 1;
    else
        mFocus = std::min(n - 1, mFocus + 1);
    mFocusRecord = focusedRecord();
    setNames(focusText());
    QWidget::update();
}

void ChartView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            moveFocus(-1, false);
            return;
        case Qt::Key_Right:
        case Qt::Key_Down:
            moveFocus(+1, false);
            return;
        case Qt::Key_Home:
            moveFocus(-1, true);
            return;
        case Qt::Key_End:
            moveFocus(+1, true);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (const std::int32_t record = focusedRecord()) {
                select({record}, event->modifiers() & Qt::ControlModifier);
                return;
            }
            break;
        default:
            break;
    }
    QWidget::keyPressEvent(event);
}

void ChartView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    setNames(hasFocus() ? focusText() : QString());
}

void ChartView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    QWidget::update();
}

void ChartView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    QWidget::update();
}

}  // namespace kestrel::ui
