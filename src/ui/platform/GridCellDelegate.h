#pragma once

#include <QStyledItemDelegate>

namespace kestrel::ui {

// Paints a grid cell: its text, ending in an ellipsis when the cell is too
// narrow for it, on the highlight when selected. The style's own item
// painting lays every text out twice over, too slow for a full window.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace kestrel::ui
