#pragma once

#include <QObject>
#include <vector>

class QAction;
class QWidget;

namespace kestrel::ui {

class ColumnFit;
class Grid;

// The order and the shown columns of the list grid as the user arranged
// them: headings dragged to another place, columns hidden and shown from the
// heading's context menu or "Columns…", remembered across sessions (QSettings)
// beside the widths. The frozen columns stay first and shown. Only the view
// changes: copy, export and the clipboard keep the field order.
class ColumnLayout : public QObject {
    Q_OBJECT
public:
    ColumnLayout(Grid& grid, ColumnFit* fit);

    // The dialog listing every column with a check box; true when accepted.
    bool chooseColumns(QWidget* parent);
    // The first order, every column shown, the first widths.
    void reset();
    // The heading's context menu at global, for column col.
    void headingMenu(int col, const QPoint& global);

    // The action table's "Columns…" and "Reset columns", which the heading's
    // menu offers below Hide.
    void setMenuActions(QAction* columns, QAction* reset) {
        mColumnsAction = columns;
        mResetAction = reset;
    }

    // Saves the grid's order and hidden columns; the list window does when
    // it closes, the menu's commands at once.
    void remember() const;

private:
    void restore();

    Grid& mGrid;
    ColumnFit* mFit;
    QAction* mColumnsAction = nullptr;
    QAction* mResetAction = nullptr;
};

}  // namespace kestrel::ui
