#include "ui/platform/Grid.h"

#include <QAccessible>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QStyleOptionSlider>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <optional>

#include "ui/platform/GridCellDelegate.h"
#include "ui/platform/GridModel.h"
#include "ui/platform/GridPrivate.h"
#include "ui/platform/Twips.h"

namespace kestrel::ui {

namespace {
// A scroll bar that repaints only when what it shows changes. A record cut
// from or pasted into a list of thousands changes the bar's range by one,
// which moves its handle by no pixel, and the style's painting of a bar
// costs a third of a paint of the rows.
class SteadyScrollBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    void sliderChange(SliderChange change) override {
        if (change != SliderOrientationChange && look() == mPainted)
            return;
        QScrollBar::sliderChange(change);
    }
    void paintEvent(QPaintEvent* event) override {
        mPainted = look();
        QScrollBar::paintEvent(event);
    }
    void changeEvent(QEvent* event) override {
        // Another style or size: whatever was painted is no guide.
        mPainted = {};
        QScrollBar::changeEvent(event);
    }

private:
    // The handle's place, and the ends the style draws as disabled arrows.
    struct Look {
        QRect handle;
        bool atStart = false;
        bool atEnd = false;
        bool operator==(const Look& other) const {
            return handle == other.handle && atStart == other.atStart && atEnd == other.atEnd;
        }
    };
    Look look() const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                        this),
                option.sliderValue == option.minimum, option.sliderValue == option.maximum};
    }
    Look mPainted;
};

// The row heading is as wide as the grid sets it (setRowHeadings). The
// table asks its size hint again after every change of the rows, and
// QHeaderView measures the text of a hundred headings at either end for it:
// a fifth of a paint after each record added or removed.
class RowHeadings : public QHeaderView {
public:
    explicit RowHeadings(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {
        // As the table's own heading: a click selects the row.
        setSectionsClickable(true);
    }
    QSize sizeHint() const override { return {minimumWidth(), defaultSectionSize()}; }
};

void setupView(QTableView* view) {
    view->setVerticalHeader(new RowHeadings(view));
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view->verticalHeader()->setVisible(false);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setHighlightSections(false);
    // Headings are clicked to sort, not to select a column; the row heading
    // selects its row through the grid.
    view->horizontalHeader()->setSectionsClickable(true);
    for (QHeaderView* header : {view->horizontalHeader(), view->verticalHeader()}) {
        QObject::disconnect(header, SIGNAL(sectionPressed(int)), view, nullptr);
        QObject::disconnect(header, SIGNAL(sectionEntered(int)), view, nullptr);
        header->setContextMenuPolicy(Qt::CustomContextMenu);
    }
    view->verticalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setMinimumSectionSize(1);
    view->setWordWrap(false);
    view->setTabKeyNavigation(false);
    view->setItemDelegate(new GridCellDelegate(view));
}
// The headings never show the selection, yet a header asks its selection
// model whether each column is wholly selected when it paints, which walks
// every row once all rows are selected, and the row headings ask it of each
// row beside the shown ones, which walks every run of selected rows. An
// empty selection model of their own answers at once.
void quietHeaders(QTableView* view) {
    for (QHeaderView* header : {view->horizontalHeader(), view->verticalHeader()}) {
        QItemSelectionModel* old = header->selectionModel();
        const bool own = old && old->parent() == header;
        if (own && old->model() == view->model())
            continue;
        header->setSelectionModel(new QItemSelectionModel(view->model(), header));
        if (own)
            old->deleteLater();
    }
}

// A table whose selection can be thousands of runs of rows (records picked
// on a chart): QTableView works out the area of every run, column by
// column, to repaint what a change of selection covers, while only the rows
// on screen can need it.
class GridTableView : public QTableView {
public:
    using QTableView::QTableView;

    void setModel(QAbstractItemModel* model) override {
        QTableView::setModel(model);
        if (!model)
            return;
        // The heading along the top takes a change of the rows' layout that
        // names no direction (a record moved up, through the filter's proxy)
        // as one of the columns too: it shows and hides again each hidden
        // column, and each of those relays out the table and repaints it
        // after the paint of the change itself. The model's columns never
        // change place.
        QHeaderView* top = horizontalHeader();
        disconnect(model, &QAbstractItemModel::layoutAboutToBeChanged, top, nullptr);
        disconnect(model, &QAbstractItemModel::layoutChanged, top, nullptr);
    }

protected:
    // A change of one field in every record asks the table to repaint all of
    // it, in both views, while only that column's cells on screen show it:
    // the frozen view, which hides the column, need not paint at all.
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles) override {
        const int top = rowAt(0);
        if (!topLeft.isValid() || !bottomRight.isValid() || top < 0 || !isVisible() ||
            state() == EditingState || QAccessible::isActive()) {
            QTableView::dataChanged(topLeft, bottomRight, roles);
            return;
        }
        int bottom = rowAt(viewport()->height() - 1);
        if (bottom < 0)
            bottom = model()->rowCount(rootIndex()) - 1;
        const int first = std::max(topLeft.row(), top);
        const int last = std::min(bottomRight.row(), bottom);
        if (first > last)
            return;
        const int y = rowViewportPosition(first);
        const int height = rowViewportPosition(last) + rowHeight(last) - y;
        QRegion area;
        for (int column = topLeft.column(); column <= bottomRight.column(); ++column) {
            if (!isColumnHidden(column))
                area += QRect(columnViewportPosition(column), y, columnWidth(column), height);
        }
        area &= viewport()->rect();
        if (!area.isEmpty())
            viewport()->update(area);
    }

    // The table lays out its headings and scroll bars after every change of
    // the rows, a sort among them, and each time the scroll area raises its
    // two scroll bars, which repaints the whole grid. What the layout is
    // made from rarely changes with a command: then it is left as it is.
    void updateGeometries() override {
        const Shape now = shape();
        if (mShape && *mShape == now)
            return;
        if (mShape && onlyRowsAddedOrTaken(*mShape, now)) {
            // The layout would come out as it is but for the vertical bar's
            // range, which grows or shrinks by as many rows, and laying it
            // out raises both scroll bars in turn, which repaints them and
            // what lies under them after every record cut or pasted.
            // A change of the range alone would lay the scroll area out too,
            // later: the bar is shown before and after, so nothing hears of
            // it but the rows shown, should they have to follow the bar.
            QScrollBar* bar = verticalScrollBar();
            const int value = bar->value();
            {
                const QSignalBlocker quiet(bar);
                bar->setMaximum(std::max(0, bar->maximum() + now.rows - mShape->rows));
            }
            if (bar->value() != value)
                emit bar->valueChanged(bar->value());
            verticalHeader()->setOffsetToSectionPosition(bar->value());
            mShape = now;
            QAbstractItemView::updateGeometries();
            return;
        }
        QTableView::updateGeometries();
        // None of it is changed by the layout itself.
        mShape = now;
    }

    QRegion visualRegionForSelection(const QItemSelection& selection) const override {
        constexpr int kFewRuns = 16;
        if (selection.size() <= kFewRuns)
            return QTableView::visualRegionForSelection(selection);
        const int first = rowAt(0);
        int last = rowAt(viewport()->height() - 1);
        if (first < 0)
            return QRegion();
        if (last < 0)
            last = model()->rowCount(rootIndex()) - 1;
        QItemSelection shown;
        for (const QItemSelectionRange& range : selection) {
            if (range.bottom() >= first && range.top() <= last)
                shown.append(range);
        }
        return QTableView::visualRegionForSelection(shown);
    }

private:
    struct Shape {
        // The viewport's too: a scroll bar shown or hidden by the layout
        // changes it, and the view is laid out again for it.
        QSize size, shown;
        int rows = 0, columns = 0;
        int height = 0, width = 0;  // of every row, of every column
        int hiddenRows = 0, hiddenColumns = 0;
        int headingWidth = 0, headingHeight = 0;
        bool rowHeadings = false, columnHeadings = false;
        bool operator==(const Shape& o) const {
            return size == o.size && shown == o.shown && rows == o.rows && columns == o.columns &&
                   height == o.height && width == o.width && hiddenRows == o.hiddenRows &&
                   hiddenColumns == o.hiddenColumns && headingWidth == o.headingWidth &&
                   headingHeight == o.headingHeight && rowHeadings == o.rowHeadings &&
                   columnHeadings == o.columnHeadings;
        }
    };
    Shape shape() const {
        const QHeaderView* rows = verticalHeader();
        const QHeaderView* columns = horizontalHeader();
        return {size(),
                viewport()->size(),
                rows->count(),
                columns->count(),
                rows->length(),
                columns->length(),
                rows->hiddenSectionCount(),
                columns->hiddenSectionCount(),
                rows->isHidden() ? 0 : rows->sizeHint().width(),
                columns->isHidden() ? 0 : columns->sizeHint().height(),
                !rows->isHidden(),
                !columns->isHidden()};
    }
    // Rows of one height, none hidden, more of them than the view shows
    // before and after, and nothing else changed.
    bool onlyRowsAddedOrTaken(const Shape& before, const Shape& now) const {
        Shape same = now;
        same.rows = before.rows;
        same.height = before.height;
        if (!(same == before) || before.hiddenRows != 0)
            return false;
        const int rowHeight = verticalHeader()->defaultSectionSize();
        const int shown = viewport()->height();
        return before.height == before.rows * rowHeight && now.height == now.rows * rowHeight &&
               before.height > shown && now.height > shown;
    }

    std::optional<Shape> mShape;
};
}  // namespace

Grid::Grid(QWidget* parent) : QWidget(parent), d(new Private) {
    d->own = new GridModel(this);
    d->model = d->own;
    d->view = new GridTableView(this);
    d->view->setObjectName(QStringLiteral("UnitListView"));
    d->view->setVerticalScrollBar(new SteadyScrollBar(Qt::Vertical));
    d->view->setHorizontalScrollBar(new SteadyScrollBar(Qt::Horizontal));
    setupView(d->view);
    d->view->setModel(d->model);
    d->selection = d->view->selectionModel();
    // The selection model only displays our corners; selection mode
    // NoSelection keeps the view from changing it on its own.
    d->view->setSelectionMode(QAbstractItemView::NoSelection);

    d->frozen = new GridTableView(d->view);
    d->frozen->setObjectName(QStringLiteral("UnitListFrozen"));
    setupView(d->frozen);
    d->frozen->setModel(d->model);
    d->frozen->setSelectionModel(d->selection);
    d->frozen->setFocusPolicy(Qt::NoFocus);
    d->frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    d->frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    d->frozen->setFrameShape(QFrame::NoFrame);
    d->frozen->setStyleSheet(
        QStringLiteral("QTableView { border-right: 1px solid palette(mid); }"));
    d->frozen->hide();
    quietHeaders(d->view);
    quietHeaders(d->frozen);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->view);
    setFocusProxy(d->view);

    d->view->viewport()->installEventFilter(this);
    d->frozen->viewport()->installEventFilter(this);
    d->view->installEventFilter(this);

    connect(d->view->verticalScrollBar(), &QAbstractSlider::valueChanged, this,
            [this] { showSelection(false); });
    connect(d->view->verticalScrollBar(), &QAbstractSlider::valueChanged,
            d->frozen->verticalScrollBar(), &QAbstractSlider::setValue);
    connect(d->frozen->verticalScrollBar(), &QAbstractSlider::valueChanged,
            d->view->verticalScrollBar(), &QAbstractSlider::setValue);
    connect(d->view->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int col, int, int pixels) { sectionResized(d->view, col, pixels); });
    connect(d->frozen->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int col, int, int pixels) { sectionResized(d->frozen, col, pixels); });
    for (QTableView* view : {d->view, d->frozen}) {
        QHeaderView* header = view->horizontalHeader();
        connect(header, &QHeaderView::sectionClicked, this, &Grid::HeadingClicked);
        connect(header, &QHeaderView::customContextMenuRequested, this, [this, header](QPoint at) {
            emit HeadingMenu(header->logicalIndexAt(at), header->mapToGlobal(at));
        });
    }
    connect(d->view->horizontalHeader(), &QHeaderView::sectionMoved, this, &Grid::sectionMoved);
    connect(d->view->verticalHeader(), &QHeaderView::sectionClicked, this, [this](int row) {
        setRow(row + 1);
        emit Click();
    });
    connect(d->view->verticalHeader(), &QHeaderView::customContextMenuRequested, this,
            [this](QPoint at) {
                QHeaderView* header = d->view->verticalHeader();
                const int row = header->logicalIndexAt(at) + 1;
                if (row < 1)
                    return;
                const std::vector<int> rows = SelectedRows();
                if (!std::binary_search(rows.begin(), rows.end(), row)) {
                    setRow(row);
                    emit Click();
                }
                emit ContextMenu(header->mapToGlobal(at));
            });
    watchModel();
    setCols(2);
}

void Grid::sectionMoved(int logical, int from, int to) {
    if (d->movingBack)
        return;
    // The frozen view covers the first columns: nothing moves into them or
    // out of them.
    if (logical < d->fixedCols || to < d->fixedCols || from < d->fixedCols) {
        d->movingBack = true;
        d->view->horizontalHeader()->moveSection(to, from);
        d->movingBack = false;
        return;
    }
    emit ColumnsArranged();
}

int Grid::currentColumn() const {
    return d->cursor;
}

void Grid::setCurrentColumn(int col) {
    col = std::clamp(col, 0, std::max(0, Cols() - 1));
    if (col == d->cursor)
        return;
    d->cursor = col;
    if (d->row >= 1 && d->row < Rows()) {
        d->selection->setCurrentIndex(d->model->index(d->row - 1, col),
                                      QItemSelectionModel::NoUpdate);
    }
    emit currentColumnChanged(col);
}

QRect Grid::cellRect(int row, int col) const {
    if (row < 1 || row >= Rows() || col < 0 || col >= Cols())
        return {};
    return d->view->visualRect(d->model->index(row - 1, col));
}

int Grid::shownColumnNext(int col, int step) const {
    const QHeaderView* header = d->view->horizontalHeader();
    const int visual = header->visualIndex(col);
    if (visual < 0 || step == 0)
        return -1;
    for (int v = visual + step; v >= 0 && v < header->count(); v += step) {
        const int logical = header->logicalIndex(v);
        if (!header->isSectionHidden(logical))
            return logical;
    }
    return -1;
}

void Grid::setRowHeadings(bool on) {
    QHeaderView* header = d->view->verticalHeader();
    header->setVisible(on);
    // Wide enough for the largest position a list holds; asking the header
    // to measure would walk the rows.
    const int width = header->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12;
    header->setMinimumWidth(width);
    header->setMaximumWidth(width);
    header->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    updateFrozen();
}

void Grid::setColumnsMovable(bool on) {
    d->view->horizontalHeader()->setSectionsMovable(on);
}

std::vector<int> Grid::columnOrder() const {
    const QHeaderView* header = d->view->horizontalHeader();
    std::vector<int> order;
    for (int v = 0; v < header->count(); ++v)
        order.push_back(header->logicalIndex(v));
    return order;
}

void Grid::setColumnOrder(const std::vector<int>& order) {
    QHeaderView* header = d->view->horizontalHeader();
    d->movingBack = true;
    for (int v = 0; v < static_cast<int>(order.size()) && v < header->count(); ++v) {
        const int from = header->visualIndex(order[static_cast<std::size_t>(v)]);
        if (from >= 0 && from != v)
            header->moveSection(from, v);
    }
    d->movingBack = false;
}

bool Grid::isColumnHidden(int col) const {
    return d->view->isColumnHidden(col);
}

void Grid::setColumnHidden(int col, bool hidden) {
    if (col < d->fixedCols || col >= Cols() || d->view->isColumnHidden(col) == hidden)
        return;
    d->settingWidths = true;
    d->view->setColumnHidden(col, hidden);
    d->settingWidths = false;
    if (!hidden && d->widths[static_cast<std::size_t>(col)] >= 0)
        setColWidth(col, d->widths[static_cast<std::size_t>(col)]);
}

void Grid::setSortIndicator(int col, Qt::SortOrder order) {
    for (QTableView* view : {d->view, d->frozen}) {
        view->horizontalHeader()->setSortIndicatorShown(col >= 0);
        view->horizontalHeader()->setSortIndicator(col, order);
    }
    if (col < 0)
        return;
    // A column fitted to its values may be too narrow for its heading once
    // the arrow stands beside it ("SA" shown as "S").
    QHeaderView* header = (col < d->fixedCols ? d->frozen : d->view)->horizontalHeader();
    QStyleOptionHeader option;
    option.initFrom(header);
    option.section = col;
    option.text = header->model()->headerData(col, Qt::Horizontal).toString();
    option.sortIndicator =
        order == Qt::AscendingOrder ? QStyleOptionHeader::SortDown : QStyleOptionHeader::SortUp;
    const int needed = header->style()
                           ->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header)
                           .width();
    if (header->sectionSize(col) < needed)
        header->resizeSection(col, needed);
}

void Grid::sectionResized(QTableView* from, int col, int pixels) {
    if (d->settingWidths || col < 0 || col >= static_cast<int>(d->widths.size()))
        return;
    // Hiding a column of the frozen view is not a width the user chose.
    if (from == d->frozen && (col >= d->fixedCols || d->frozen->isColumnHidden(col)))
        return;
    d->settingWidths = true;
    d->widths[static_cast<std::size_t>(col)] = PixelsToTwipsX(pixels);
    QTableView* other = from == d->view ? d->frozen : d->view;
    if (other->columnWidth(col) != pixels)
        other->setColumnWidth(col, pixels);
    d->settingWidths = false;
    if (col < d->fixedCols)
        updateFrozen();
    emit UserColWidth(col);
}

void Grid::watchModel() {
    QAbstractItemModel* model = d->model;
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        clampSelection();
        updateFrozen();
    });
    connect(model, &QAbstractItemModel::rowsInserted, this, [this] {
        applySelection();
        updateFrozen();
    });
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { clampSelection(); });
    // The selection model carries its ranges along with moved rows; the
    // grid's selection stays on the row numbers it had.
    connect(model, &QAbstractItemModel::rowsMoved, this, [this] { applySelection(); });
    // Emptied quietly before the rows change places, so that no range is
    // left with its corners on other rows; whoever follows the selection
    // hears of the one the grid selects after.
    connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] {
        const QSignalBlocker quiet(d->selection);
        d->selection->clearSelection();
    });
    connect(model, &QAbstractItemModel::layoutChanged, this, [this] { applySelection(); });
}

void Grid::setModel(QAbstractItemModel* model) {
    if (!model)
        model = d->own;
    if (model == d->model)
        return;
    disconnect(d->model, nullptr, this, nullptr);
    QItemSelectionModel* old = d->selection;
    d->model = model;
    d->view->setModel(model);
    d->selection = d->view->selectionModel();
    d->frozen->setModel(model);
    d->frozen->setSelectionModel(d->selection);
    delete old;
    // The grid selects again by row number after every layout change (see
    // watchModel), so the views' selection model need not follow one.
    // Following it, it keeps a persistent index for every selected row, and
    // Qt's table of persistent indexes, hashing rows of one column close
    // together, probes through all of them for each: with every pasted
    // record of a long list selected, a sort took minutes.
    disconnect(model,
               SIGNAL(layoutAboutToBeChanged(QList<QPersistentModelIndex>,
                                             QAbstractItemModel::LayoutChangeHint)),
               d->selection, nullptr);
    disconnect(
        model,
        SIGNAL(layoutChanged(QList<QPersistentModelIndex>, QAbstractItemModel::LayoutChangeHint)),
        d->selection, nullptr);
    d->shownLast = -1;
    quietHeaders(d->view);
    quietHeaders(d->frozen);
    d->view->setSelectionMode(QAbstractItemView::NoSelection);
    watchModel();
    d->widths.resize(static_cast<std::size_t>(std::max(0, Cols())), -1);
    d->settingWidths = true;
    for (int c = 0; c < Cols(); ++c) {
        int w = d->widths[static_cast<std::size_t>(c)];
        if (w >= 0) {
            d->view->setColumnWidth(c, TwipsToPixelsX(w));
            d->frozen->setColumnWidth(c, TwipsToPixelsX(w));
        }
    }
    d->settingWidths = false;
    d->fixedCols = std::clamp(d->fixedCols, 0, Cols());
    clampSelection();
    updateFrozen();
}

Grid::~Grid() {
    delete d;
}

int Grid::Rows() const {
    return d->viewsOwn() ? d->own->gridRows() : d->model->rowCount() + 1;
}

void Grid::setRows(int n) {
    if (!d->viewsOwn())
        return;
    d->own->setGridRows(n);
    clampSelection();
}

int Grid::Cols() const {
    return d->viewsOwn() ? d->own->cols() : d->model->columnCount();
}

void Grid::setCols(int n) {
    if (!d->viewsOwn())
        return;
    d->own->setCols(n);
    d->widths.resize(static_cast<std::size_t>(std::max(0, n)), -1);
    clampSelection();
    updateFrozen();
}

int Grid::FixedRows() const {
    return d->fixedRows;
}
void Grid::setFixedRows(int n) {
    d->fixedRows = std::max(0, n);
}
int Grid::FixedCols() const {
    return d->fixedCols;
}

void Grid::setFixedCols(int n) {
    d->fixedCols = std::clamp(n, 0, Cols());
    updateFrozen();
}

int Grid::ColWidth(int col) const {
    if (col < 0 || col >= static_cast<int>(d->widths.size()))
        return -1;
    int w = d->widths[static_cast<std::size_t>(col)];
    return w >= 0 ? w : PixelsToTwipsX(d->view->columnWidth(col));
}

void Grid::setColWidth(int col, int twips) {
    if (col < 0 || col >= Cols())
        return;
    d->widths[static_cast<std::size_t>(col)] = twips;
    int px = TwipsToPixelsX(std::max(0, twips));
    d->settingWidths = true;
    d->view->setColumnWidth(col, px);
    d->frozen->setColumnWidth(col, px);
    d->settingWidths = false;
    updateFrozen();
}

int Grid::ColAlignment(int col) const {
    if (d->viewsOwn())
        return d->own->colAlignment(col);
    if (col < 0 || col >= static_cast<int>(d->alignments.size()))
        return -1;
    return d->alignments[static_cast<std::size_t>(col)];
}
// A model of its own aligns its cells; the setting is only kept for it.
void Grid::setColAlignment(int col, int alignment) {
    if (d->viewsOwn()) {
        d->own->setColAlignment(col, alignment);
        return;
    }
    if (col < 0 || col >= Cols())
        return;
    d->alignments.resize(static_cast<std::size_t>(Cols()), -1);
    d->alignments[static_cast<std::size_t>(col)] = alignment;
}

int Grid::Row() const {
    return d->row;
}
void Grid::setRow(int row) {
    d->marked.clear();
    d->rangeOn = true;
    d->row = d->rowSel = std::clamp(row, 0, std::max(0, Rows() - 1));
    d->colSel = d->col;
    applySelection();
}
int Grid::Col() const {
    return d->col;
}
void Grid::setCol(int col) {
    d->col = d->colSel = std::clamp(col, 0, std::max(0, Cols() - 1));
    d->rowSel = d->row;
    applySelection();
}
int Grid::RowSel() const {
    return d->rowSel;
}
void Grid::setRowSel(int row) {
    d->rowSel = std::clamp(row, 0, std::max(0, Rows() - 1));
    applySelection();
}
int Grid::ColSel() const {
    return d->colSel;
}
void Grid::setColSel(int col) {
    d->colSel = std::clamp(col, 0, std::max(0, Cols() - 1));
    applySelection();
}

void Grid::AddItem(const std::string& text) {
    if (d->viewsOwn())
        d->own->addItem(text, Rows());
}

void Grid::AddItem(const std::string& text, int index) {
    if (!d->viewsOwn())
        return;
    d->own->addItem(text, index);
    clampSelection();
}

void Grid::RemoveItem(int index) {
    if (!d->viewsOwn())
        return;
    d->own->removeItem(index);
    clampSelection();
}

bool Grid::Redraw() const {
    return d->redraw;
}

void Grid::setRedraw(bool on) {
    if (on == d->redraw)
        return;
    d->redraw = on;
    d->view->setUpdatesEnabled(on);
    d->own->setNotify(on);
    if (on) {
        // The reset forgets column widths only in the header's resize modes
        // we don't use, but the frozen view must be laid out again.
        // Each width set relays out the header, so only changed ones are set.
        d->settingWidths = true;
        for (int c = 0; c < Cols(); ++c) {
            int w = d->widths[static_cast<std::size_t>(c)];
            if (w >= 0) {
                int px = TwipsToPixelsX(w);
                if (d->view->columnWidth(c) != px)
                    d->view->setColumnWidth(c, px);
                if (d->frozen->columnWidth(c) != px)
                    d->frozen->setColumnWidth(c, px);
            }
        }
        d->settingWidths = false;
        updateFrozen();
        applySelection();
    }
}

std::string Grid::TextMatrix(int row, int col) const {
    if (d->viewsOwn())
        return d->own->cell(row, col);
    if (row < 0 || row >= Rows() || col < 0 || col >= Cols())
        return {};
    constexpr int bytesRole = Qt::UserRole + 1;
    QVariant bytes = row == 0 ? d->model->headerData(col, Qt::Horizontal, bytesRole)
                              : d->model->index(row - 1, col).data(bytesRole);
    if (bytes.isValid())
        return bytes.toByteArray().toStdString();
    return DisplayText(row, col).toStdString();
}
QString Grid::DisplayText(int row, int col) const {
    if (d->viewsOwn())
        return d->own->displayCell(row, col);
    if (row < 0 || row >= Rows() || col < 0 || col >= Cols())
        return {};
    return row == 0 ? d->model->headerData(col, Qt::Horizontal).toString()
                    : d->model->index(row - 1, col).data().toString();
}

void Grid::ShowRow(int row) {
    if (row < 1 || row >= Rows())
        return;
    d->view->scrollTo(d->model->index(row - 1, 0));
}

int Grid::TopRow() const {
    const int row = d->view->rowAt(0);
    return row < 0 ? 0 : row + 1;
}

void Grid::setTopRow(int row) {
    if (row < 1 || row >= Rows())
        return;
    d->view->verticalScrollBar()->setValue(row - 1);
}

QTableView* Grid::view() const {
    return d->view;
}
QTableView* Grid::frozenView() const {
    return d->frozen;
}
QAbstractItemModel* Grid::model() const {
    return d->model;
}

void Grid::updateFrozen() {
    QTableView* frozen = d->frozen;
    int n = d->fixedCols;
    if (n <= 0 || Cols() == 0) {
        frozen->hide();
        return;
    }
    int width = 0;
    d->settingWidths = true;
    for (int c = 0; c < Cols(); ++c) {
        if (frozen->isColumnHidden(c) != (c >= n))
            frozen->setColumnHidden(c, c >= n);
        if (c < n) {
            int w = d->view->columnWidth(c);
            if (frozen->columnWidth(c) != w)
                frozen->setColumnWidth(c, w);
            width += w;
        }
    }
    d->settingWidths = false;
    frozen->horizontalHeader()->setFixedHeight(d->view->horizontalHeader()->height());
    frozen->setGeometry(d->view->verticalHeader()->width() + d->view->frameWidth(),
                        d->view->frameWidth(), width + 1,
                        d->view->viewport()->height() + d->view->horizontalHeader()->height());
    frozen->verticalScrollBar()->setValue(d->view->verticalScrollBar()->value());
    frozen->show();
    // Above what it covers. The scroll area puts its scroll bars on top each
    // time it lays itself out, and each raise repaints all it uncovers: two
    // raises in turn were a paint of the whole grid after every command.
    const QObjectList& siblings = d->view->children();
    for (auto it = siblings.begin() + siblings.indexOf(frozen) + 1; it != siblings.end(); ++it) {
        const auto* above = qobject_cast<const QWidget*>(*it);
        if (above && above->isVisible() && above->geometry().intersects(frozen->geometry())) {
            frozen->raise();
            break;
        }
    }
}

void Grid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateFrozen();
}

}  // namespace kestrel::ui
