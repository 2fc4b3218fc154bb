#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QAbstractItemModel;
class QTableView;
class QKeyEvent;

namespace kestrel::ui {

class GridModel;

// The flex-grid operations the list window is written against, over a
// QTableView. Row 0 is the heading row, shown in the view's horizontal
// header; rows 1 and up are the record rows. Cell texts are bytes of the
// files' code page, decoded for display. Widths are in twips.
//
// The grid shows its own rows of text (AddItem and the like) until it is
// given a model to view; then its rows are that model's, row r + 1 showing
// model row r, and the row-changing operations do nothing.
class Grid : public QWidget {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);
    ~Grid() override;

    int Rows() const;
    void setRows(int n);  // keeps the first n rows, drops the rest
    int Cols() const;
    void setCols(int n);
    int FixedRows() const;
    void setFixedRows(int n);
    int FixedCols() const;
    void setFixedCols(int n);
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    int ColAlignment(int col) const;
    void setColAlignment(int col, int alignment);  // 0 = left and top

    // Current cell and the selection's other corner. Setting Row or Col
    // collapses the selection onto the current cell.
    int Row() const;
    void setRow(int row);
    int Col() const;
    void setCol(int col);
    int RowSel() const;
    void setRowSel(int row);
    int ColSel() const;
    void setColSel(int col);
    // All four corners at once, as setRow, setCol, setRowSel and setColSel
    // in turn would leave them: each of those shows its selection, and the
    // ones between repaint every row they select or let go.
    void setSelection(int row, int col, int rowSel, int colSel);

    // Every selected record row, ascending: the range between Row and
    // RowSel and the rows picked one by one with Ctrl+click.
    std::vector<int> SelectedRows() const;
    // Selects exactly rows (whole rows) with current as the current row.
    void setSelectedRows(const std::vector<int>& rows, int current);
    // Every record row, the current row staying where it is.
    void SelectAll();

    // Views model instead of the grid's own rows; cell bytes come from
    // BytesRole (Qt::UserRole + 1) when the model gives them, else from the
    // display text. The grid does not own model.
    void setModel(QAbstractItemModel* model);

    // Adds one row from tab-separated text; fields beyond the last column
    // are dropped, missing ones empty. Appends, or inserts at index.
    void AddItem(const std::string& text);
    void AddItem(const std::string& text, int index);
    void RemoveItem(int index);

    // While false the view does not paint; with its own rows it is also not
    // told of row changes, and resets once when it comes back on.
    bool Redraw() const;
    void setRedraw(bool on);

    // A cell's bytes as stored, and as shown.
    std::string TextMatrix(int row, int col) const;
    QString DisplayText(int row, int col) const;

    // Scrolls the view so that row is visible.
    void ShowRow(int row);
    // The first row in view below the fixed rows (0 when there is none), and
    // scrolling to put a row there, as far as the list reaches.
    int TopRow() const;
    void setTopRow(int row);

    // The cell cursor: the field column last clicked or reached with Left
    // and Right, kept while the selection stays whole rows.
    int currentColumn() const;
    void setCurrentColumn(int col);
    // Scrolls a cell of the scrolling part out from under the frozen columns.
    void scrollToCell(int row, int col);
    // The next shown column after col in the order shown (step -1: before
    // it), or -1 at the end.
    int shownColumnNext(int col, int step) const;
    // The viewport rectangle of a record row's cell in the scrolling part.
    QRect cellRect(int row, int col) const;

    // A narrow row heading showing the model's vertical heading of each row.
    void setRowHeadings(bool on);
    // Headings of the scrolling part can be dragged to another place; the
    // frozen columns stay first.
    void setColumnsMovable(bool on);
    // Columns in the order shown, hidden ones included.
    std::vector<int> columnOrder() const;
    void setColumnOrder(const std::vector<int>& order);
    bool isColumnHidden(int col) const;
    void setColumnHidden(int col, bool hidden);
    // The heading's arrow: col -1 shows none.
    void setSortIndicator(int col, Qt::SortOrder order);

    QTableView* view() const;
    // The second view over the same model that keeps FixedCols in sight.
    QTableView* frozenView() const;
    QAbstractItemModel* model() const;

signals:
    // After a mouse click has moved the current cell or the selection.
    void Click();
    void DblClick();
    // The user dragged or auto-fitted a column's edge; ColWidth has the new width.
    void UserColWidth(int col);
    // The cell cursor moved to another column.
    void currentColumnChanged(int col);
    // Other cells are selected, on screen or not (the views' own selection
    // model holds the rows near the screen alone).
    void selectionChanged();
    // A context menu was asked for over a record row (after the row under
    // the pointer was selected, unless it was selected already).
    void ContextMenu(const QPoint& global);
    // F2 (text empty) or a typed text on the current row's cursor cell.
    void EditKey(int row, int col, const QString& text);
    void HeadingClicked(int col);
    void HeadingMenu(int col, const QPoint& global);
    // The user moved a column.
    void ColumnsArranged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchModel();
    void clampSelection();
    void applySelection();
    // Gives the views the selected runs near the rows on screen; only when
    // the screen has left those rows unless always.
    void showSelection(bool always);
    void updateFrozen();
    bool keyMove(QKeyEvent* key);
    bool mousePress(QTableView* view, QMouseEvent* mouse);
    void moveCursor(int col);
    void sectionMoved(int logical, int from, int to);
    void togglePicked(int row);
    void sectionResized(QTableView* from, int col, int pixels);

    struct Private;
    Private* d;
};

}  // namespace kestrel::ui
