#pragma once

#include <QStyledItemDelegate>

namespace kestrel::ui {

// The text a cell of width pixels shows: the text itself when it fits,
// else as much as fits ending in an ellipsis. A cut value without the mark
// would read as another value ("747" for 32747).
QString FittedCellText(const QString& text, const QFontMetrics& metrics, int width);

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
