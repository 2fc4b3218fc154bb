#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

#include "ui/platform/GridPrivate.h"

namespace kestrel::ui {

bool Grid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == d->view && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            emit DblClick();
            return true;
        }
        return keyMove(key);
    }
    if (watched == d->view && event->type() == QEvent::Resize)
        updateFrozen();
    if (watched != d->view->viewport() && watched != d->frozen->viewport()) {
        return QWidget::eventFilter(watched, event);
    }
    auto* view = (watched == d->frozen->viewport()) ? d->frozen : d->view;
    switch (event->type()) {
        case QEvent::Resize:
            if (watched == d->view->viewport())
                updateFrozen();
            return false;
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton)
                return true;
            QModelIndex index = view->indexAt(mouse->position().toPoint());
            d->view->setFocus(Qt::MouseFocusReason);
            if (!index.isValid())
                return true;
            moveFieldCursor(index.column());
            if (mouse->modifiers() & Qt::ControlModifier) {
                togglePicked(index.row() + 1);
                emit Click();
                return true;
            }
            if (mouse->modifiers() & Qt::ShiftModifier) {
                d->rowSel = index.row() + 1;
                d->colSel = index.column();
                // Shift alone makes the range the whole selection.
                d->marked.clear();
                d->rangeOn = true;
            } else {
                d->marked.clear();
                d->rangeOn = true;
                d->row = d->rowSel = index.row() + 1;
                d->col = d->colSel = index.column();
            }
            d->dragging = true;
            applySelection();
            return true;
        }
        case QEvent::MouseMove: {
            if (!d->dragging)
                return false;
            auto* mouse = static_cast<QMouseEvent*>(event);
            QModelIndex index = view->indexAt(mouse->position().toPoint());
            if (index.isValid()) {
                d->rowSel = index.row() + 1;
                d->colSel = index.column();
                applySelection();
            }
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton || !d->dragging)
                return true;
            d->dragging = false;
            emit Click();
            return true;
        }
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                view->indexAt(mouse->position().toPoint()).isValid()) {
                emit DblClick();
            }
            return true;
        }
        default:
            return false;
    }
}

void Grid::togglePicked(int row) {
    // The range so far becomes picked rows, so that the set grows from it.
    std::vector<int> rows = SelectedRows();
    auto at = std::lower_bound(rows.begin(), rows.end(), row);
    if (at != rows.end() && *at == row)
        rows.erase(at);
    else
        rows.insert(at, row);
    d->marked = std::move(rows);
    d->rangeOn = false;
    d->row = d->rowSel = row;
    d->col = 0;
    d->colSel = std::max(0, Cols() - 1);
    applySelection();
}

void Grid::moveFieldCursor(int col) {
    if (col == d->fieldCursor)
        return;
    d->fieldCursor = col;
    emit currentFieldChanged(col);
}

int Grid::currentField() const {
    return d->fieldCursor < Cols() ? d->fieldCursor : -1;
}

bool Grid::keyMove(QKeyEvent* key) {
    const bool control = key->modifiers() & Qt::ControlModifier;
    if (control && key->key() == Qt::Key_A) {
        SelectAll();
        emit Click();
        return true;
    }
    // Left and right go from the column of the cell cursor: the list makes
    // the selection whole rows after each move.
    int row = d->row, col = d->fieldCursor >= 0 ? d->fieldCursor : d->col;
    int page = std::max(1, d->view->viewport()->height() /
                               std::max(1, d->view->verticalHeader()->defaultSectionSize()));
    switch (key->key()) {
        case Qt::Key_Up:
            row -= 1;
            break;
        case Qt::Key_Down:
            row += 1;
            break;
        case Qt::Key_Left:
            col -= 1;
            break;
        case Qt::Key_Right:
            col += 1;
            break;
        case Qt::Key_PageUp:
            row -= page;
            break;
        case Qt::Key_PageDown:
            row += page;
            break;
        case Qt::Key_Home:
            if (control)
                row = 1;
            else
                col = 0;
            break;
        case Qt::Key_End:
            if (control)
                row = Rows() - 1;
            else
                col = Cols() - 1;
            break;
        default:
            return false;
    }
    row = std::clamp(row, 1, std::max(1, Rows() - 1));
    col = std::clamp(col, 0, std::max(0, Cols() - 1));
    if (Rows() < 2)
        return true;
    moveFieldCursor(col);
    if (key->modifiers() & Qt::ShiftModifier) {
        d->rowSel = row;
        d->colSel = col;
        d->marked.clear();
        d->rangeOn = true;
        applySelection();
    } else {
        d->marked.clear();
        d->rangeOn = true;
        d->row = d->rowSel = row;
        d->col = d->colSel = col;
        applySelection();
    }
    QModelIndex target = d->model->index(row - 1, col);
    d->view->scrollTo(target);
    // The view does not know the frozen columns cover its left edge.
    if (d->frozen->isVisible() && col >= d->fixedCols) {
        int covered = d->frozen->width() - d->view->visualRect(target).left();
        if (covered > 0) {
            QScrollBar* bar = d->view->horizontalScrollBar();
            bar->setValue(bar->value() - covered);
        }
    }
    emit Click();
    return true;
}

}  // namespace kestrel::ui
