#include <QContextMenuEvent>
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
            if (watched == d->view->viewport()) {
                updateFrozen();
                showSelection(false);
            }
            return false;
        case QEvent::MouseButtonPress:
            return mousePress(view, static_cast<QMouseEvent*>(event));
        case QEvent::ContextMenu: {
            auto* menu = static_cast<QContextMenuEvent*>(event);
            // By keyboard the menu opens over the current row.
            if (menu->reason() == QContextMenuEvent::Mouse && !view->indexAt(menu->pos()).isValid())
                return true;
            emit ContextMenu(menu->globalPos());
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

bool Grid::mousePress(QTableView* view, QMouseEvent* mouse) {
    QModelIndex index = view->indexAt(mouse->position().toPoint());
    d->view->setFocus(Qt::MouseFocusReason);
    if (!index.isValid())
        return true;
    const int row = index.row() + 1;
    if (mouse->button() == Qt::RightButton) {
        // The menu acts on the row under the pointer, or on the selection
        // it belongs to.
        const std::vector<int> rows = SelectedRows();
        if (!std::binary_search(rows.begin(), rows.end(), row)) {
            setRow(row);
            emit Click();
        }
        moveCursor(index.column());
        return true;
    }
    if (mouse->button() != Qt::LeftButton)
        return true;
    moveCursor(index.column());
    if (mouse->modifiers() & Qt::ControlModifier) {
        togglePicked(row);
        emit Click();
        return true;
    }
    if (mouse->modifiers() & Qt::ShiftModifier) {
        d->rowSel = row;
        d->colSel = index.column();
        // Shift alone makes the range the whole selection.
        d->marked.clear();
        d->rangeOn = true;
    } else {
        d->marked.clear();
        d->rangeOn = true;
        d->row = d->rowSel = row;
        d->col = d->colSel = index.column();
    }
    d->dragging = true;
    applySelection();
    return true;
}

void Grid::moveCursor(int col) {
    const int before = d->cursor;
    d->cursor = std::clamp(col, 0, std::max(0, Cols() - 1));
    if (d->cursor != before)
        emit currentColumnChanged(d->cursor);
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

bool Grid::keyMove(QKeyEvent* key) {
    const bool control = key->modifiers() & Qt::ControlModifier;
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    if (control && key->key() == Qt::Key_A) {
        SelectAll();
        emit Click();
        return true;
    }
    if (key->key() == Qt::Key_Space && (control || shift)) {
        if (Rows() < 2)
            return true;
        // Ctrl+Space takes the current row in or out; Shift+Space selects it alone.
        const int current = std::clamp(d->rowSel, 1, Rows() - 1);
        if (control)
            togglePicked(current);
        else
            setRow(current);
        emit Click();
        return true;
    }
    const QString typed = key->text();
    const bool typing = !typed.isEmpty() && typed.at(0).isPrint() &&
                        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (key->key() == Qt::Key_F2 || typing) {
        if (d->row >= 1 && d->row < Rows())
            emit EditKey(d->row, d->cursor, key->key() == Qt::Key_F2 ? QString() : typed);
        return true;
    }
    // Keys move from the selection's moving end; Shift keeps the other end
    // where it is. Rows picked beside the range (Ctrl+click, Ctrl+A) leave
    // the current row the one that moves.
    int row = d->marked.empty() ? d->rowSel : d->row;
    int cursor = d->cursor;
    const QHeaderView* header = d->view->horizontalHeader();
    // Left and Right step through the columns as shown, over hidden ones.
    auto step = [&](int from, int by) {
        const int next = shownColumnNext(from, by);
        return next < 0 ? from : next;
    };
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
            cursor = step(cursor, -1);
            break;
        case Qt::Key_Right:
            cursor = step(cursor, +1);
            break;
        case Qt::Key_PageUp:
            row -= page;
            break;
        case Qt::Key_PageDown:
            row += page;
            break;
        case Qt::Key_Home:
            if (control || shift)
                row = 1;
            else
                cursor = header->logicalIndex(0);
            break;
        case Qt::Key_End:
            if (control || shift)
                row = Rows() - 1;
            else {
                const int last = header->logicalIndex(header->count() - 1);
                cursor = header->isSectionHidden(last) ? step(last, -1) : last;
            }
            break;
        default:
            return false;
    }
    row = std::clamp(row, 1, std::max(1, Rows() - 1));
    if (Rows() < 2)
        return true;
    moveCursor(cursor);
    if (shift) {
        d->rowSel = row;
        d->marked.clear();
        d->rangeOn = true;
        applySelection();
    } else {
        d->marked.clear();
        d->rangeOn = true;
        d->row = d->rowSel = row;
        d->col = d->colSel = d->cursor;
        applySelection();
    }
    scrollToCell(row, d->cursor);
    emit Click();
    return true;
}

void Grid::scrollToCell(int row, int col) {
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
}

}  // namespace kestrel::ui
