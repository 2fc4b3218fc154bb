#pragma once

#include <QImage>
#include <QRectF>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "model/Chart.h"

class QAbstractItemModel;

namespace kestrel::ui {

class EditorSession;
class Grid;

// One field against another over the records the grid shows, painted from
// the chart the core describes, and linked to the grid: its selected records
// are drawn marked, and a click, a dragged rectangle or Enter selects
// records there. The chart is worked out again only when it is painted or
// asked for after the records, the filter or the fields changed, so a hidden
// view costs a command nothing.
class ChartView : public QWidget {
    Q_OBJECT
public:
    ChartView(EditorSession& session, Grid& grid, QWidget* parent = nullptr);
    ~ChartView() override;

    // Fields of the field table that ChartCanShow takes; colour -1 for none.
    void setFields(int xField, int yField, int colourField);
    int xField() const { return mX; }
    int yField() const { return mY; }
    int colourField() const { return mColour; }

    // The chart of the shown records as it stands now.
    const Chart& chart();
    // Whether the grid's selection holds the record, as the view marks it.
    bool marked(std::int32_t position);

    // Where the record's point is drawn, in the view's coordinates; nothing
    // when the record is not shown.
    std::optional<QPointF> placeOf(std::int32_t position);
    // How near the mouse names a point, in device independent pixels.
    static constexpr double kReach = 5.0;
    // The records whose points are drawn under at (kReach or nearer), in
    // list order.
    std::vector<std::int32_t> recordsAt(QPointF at);
    // The records whose points lie inside rect, in list order.
    std::vector<std::int32_t> recordsInside(const QRectF& rect);
    // What the view names now: the records under the mouse, or the point
    // the keys moved to with its values; empty for neither.
    QString names() const { return mNames; }
    // The record the keys are on; 0 for none.
    std::int32_t focusedRecord() const;

    // The chart drawn at size (device independent pixels) for a picture,
    // titled, on white.
    QImage picture(QSize size, qreal devicePixelRatio);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Where the plot and the legend go in a picture of a size.
    struct Layout {
        QRectF plot;
        double legendLeft = 0;
        bool title = false;
        double px(const ChartAxis& axis, double v) const;
        double py(const ChartAxis& axis, double v) const;
    };

signals:
    // names() changed.
    void namesChanged(const QString& names);
    // The chart was worked out anew: its text for screen readers.
    void summaryChanged(const QString& summary);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void recordsChanged();
    void selectionChanged();
    void ensureChart();
    // mOrder for the points of the chart, and mFocus on mFocusRecord.
    void ensureOrder();
    void ensurePlaces();
    Layout layoutFor(QSizeF size, bool title) const;
    // What lies under the marks: the axes, their words and the points of the
    // records not selected (on screen; every point in a picture).
    void drawBase(QPainter& painter, QSizeF size, const Layout& layout,
                  const std::vector<QPointF>& places, bool onScreen);
    // The rest: on screen the selected records' points, ringed; the strips'
    // means, the legend, the keys' point and the dragged rectangle.
    void drawTop(QPainter& painter, QSizeF size, const Layout& layout,
                 const std::vector<QPointF>& places, bool onScreen);
    void stampPoints(QPainter& painter, const QRectF& plot, const std::vector<QPointF>& places,
                     bool ringed, const QColor& ink,
                     const std::function<bool(const ChartPoint&)>& take) const;
    QColor inkFor(bool onScreen) const;
    bool markedAt(std::int32_t record) const;
    // mLayer as the chart and the marks stand now.
    void ensureLayer();
    void placesFor(const Layout& layout, std::vector<QPointF>& places) const;
    // The first of mOrder whose place is at x or right of it.
    std::vector<std::size_t>::const_iterator firstAtOrRightOf(double x) const;
    void shownPositions(std::vector<std::int32_t>& positions) const;
    // Selects positions in the grid, beside its selection when add (a click
    // with Ctrl toggles the one record instead), and shows current there.
    void select(std::vector<std::int32_t> positions, bool add);
    void setNames(const QString& names);
    void hoverAt(QPointF at);
    void moveFocus(int step, bool toEnd);
    QString focusText() const;

    EditorSession& mSession;
    Grid& mGrid;
    QAbstractItemModel* mShown = nullptr;
    int mX = -1;
    int mY = -1;
    int mColour = -1;

    Chart mChart;
    ChartScratch mScratch;
    std::vector<std::int32_t> mPositions;  // the shown records the chart is of
    bool mStale = true;                    // the chart: records, filter or fields changed
    bool mSelectionStale = true;           // the marks: the grid's selection changed
    bool mPlacesStale = true;              // the points' places: the chart or the size changed
    Layout mLayout;
    std::vector<QPointF> mPlaces;       // per point of mChart
    std::vector<std::size_t> mPointOf;  // per position: its point, or SIZE_MAX
    std::vector<char> mMarked;          // per position, 1 + the list's count
    std::vector<std::size_t> mOrder;    // points in X order, then Y; also the places'
    // The chart drawn without the marks, at the view's size, for the many
    // paints that move no point: a change of the selection, an uncovered
    // window, the dragged rectangle.
    QImage mLayer;
    bool mLayerStale = true;
    std::vector<char> mLeftOut;  // per position: its point is not in mLayer
    std::vector<char> mInside;   // per position, the records a rectangle holds
    // Scratch of stampPoints: the points it stamps, and the device pixels
    // where a ringed stamp already lies.
    mutable std::vector<std::size_t> mTaken;
    mutable std::vector<bool> mCovered;
    std::size_t mFocus = SIZE_MAX;  // into mOrder; none at SIZE_MAX
    std::int32_t mFocusRecord = 0;  // kept across a new chart

    QPointF mPressAt;
    bool mPressed = false;
    bool mDragging = false;
    QRectF mBand;
    QString mNames;
};

}  // namespace kestrel::ui
