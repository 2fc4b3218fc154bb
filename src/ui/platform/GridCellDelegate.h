#pragma once

#include <QStyledItemDelegate>

namespace kestrel::ui {

// Paints a grid cell as a flex grid does: the text clipped at the cell's
// edge, on the highlight when selected. The style's item painting lays the
// text out twice over for elision and focus, which made every repaint of a
// full list window cost several milliseconds.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace kestrel::ui
