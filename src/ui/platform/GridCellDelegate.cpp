#include "ui/platform/GridCellDelegate.h"

#include <QPainter>

namespace kestrel::ui {

namespace {
// The gap between a cell's edge and its text, in pixels, as the style keeps it.
constexpr int kTextMargin = 3;
}  // namespace

QString FittedCellText(const QString& text, const QFontMetrics& metrics, int width) {
    // Only texts that might not fit by their length are measured, so most
    // cells cost no measuring.
    if (text.size() * metrics.maxWidth() > width && metrics.horizontalAdvance(text) > width)
        return metrics.elidedText(text, Qt::ElideRight, width);
    return text;
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QString text = index.data(Qt::DisplayRole).toString();
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (option.state & QStyle::State_Active) ? QPalette::Active
                                                                               : QPalette::Inactive;
    if (selected)
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    if (text.isEmpty())
        return;
    const QRect box = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    text = FittedCellText(text, option.fontMetrics, box.width());
    const QPen pen = painter->pen();
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const int flags = alignment.isValid() ? alignment.value<Qt::Alignment>().toInt()
                                          : static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
    painter->drawText(box, flags | Qt::TextSingleLine, text);
    painter->setPen(pen);
}

}  // namespace kestrel::ui
