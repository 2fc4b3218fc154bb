#include "ui/platform/Icons.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QTransform>

namespace kestrel::ui {

namespace {
constexpr int kSize = 22;

// The painter's font, bold, at a size in pixels: the pictures' digits and the
// banner are drawn in it.
void useBoldFont(QPainter& p, int pixels) {
    QFont font = p.font();
    font.setPixelSize(pixels);
    font.setBold(true);
    p.setFont(font);
}

void page(QPainter& p, QRectF r) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(140, 140, 140), 1));
    for (qreal y = r.top() + 3; y < r.bottom() - 1; y += 2.5) {
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    }
}

void arrow(QPainter& p, bool up, QColor colour) {
    QPainterPath path;
    path.moveTo(11, 3);
    path.lineTo(19, 12);
    path.lineTo(14, 12);
    path.lineTo(14, 19);
    path.lineTo(8, 19);
    path.lineTo(8, 12);
    path.lineTo(3, 12);
    path.closeSubpath();
    // The down arrow is the up arrow turned over within the 22-pixel picture.
    if (!up)
        path = QTransform(1, 0, 0, -1, 0, 22).map(path);
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(colour);
    p.drawPath(path);
}

// A hooked arrow turning back to the left; the redo picture is it mirrored.
void turnArrow(QPainter& p, bool back, QColor colour) {
    QPainterPath hook;
    hook.moveTo(6, 9);
    hook.lineTo(13, 9);
    hook.cubicTo(20, 9, 20, 19, 13, 19);
    hook.lineTo(9, 19);
    QPainterPath head;
    head.moveTo(2, 9);
    head.lineTo(8, 4);
    head.lineTo(8, 14);
    head.closeSubpath();
    if (!back) {
        const QTransform mirror(-1, 0, 0, 1, 22, 0);
        hook = mirror.map(hook);
        head = mirror.map(head);
    }
    p.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(colour);
    p.drawPath(head);
}

void draw(QPainter& p, ButtonPicture picture) {
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
        case ButtonPicture::Cut: {
            p.setPen(QPen(QColor(90, 90, 90), 1.6));
            p.drawLine(QPointF(7, 3), QPointF(14, 14));
            p.drawLine(QPointF(15, 3), QPointF(8, 14));
            p.setPen(QPen(QColor(180, 30, 30), 1.6));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(6.5, 16.5), 3, 3);
            p.drawEllipse(QPointF(15.5, 16.5), 3, 3);
            break;
        }
        case ButtonPicture::Copy:
            page(p, QRectF(2.5, 2.5, 11, 13));
            page(p, QRectF(8.5, 6.5, 11, 13));
            break;
        case ButtonPicture::Paste:
            p.setPen(QPen(QColor(90, 60, 20), 1));
            p.setBrush(QColor(190, 140, 70));
            p.drawRoundedRect(QRectF(3.5, 3.5, 13, 16), 1.5, 1.5);
            p.setBrush(QColor(120, 120, 120));
            p.drawRect(QRectF(7.5, 2, 6, 3));
            page(p, QRectF(9.5, 8.5, 10, 12));
            break;
        case ButtonPicture::Renumber: {
            useBoldFont(p, 9);
            p.setPen(QColor(20, 60, 140));
            p.drawText(QRectF(0, 1, 22, 10), Qt::AlignCenter, QStringLiteral("0 1"));
            p.drawText(QRectF(0, 11, 22, 10), Qt::AlignCenter, QStringLiteral("2 3"));
            break;
        }
        case ButtonPicture::Sort: {
            useBoldFont(p, 8);
            p.setPen(QColor(20, 60, 140));
            p.drawText(QRectF(1, 1, 12, 10), Qt::AlignCenter, QStringLiteral("1"));
            p.drawText(QRectF(1, 11, 12, 10), Qt::AlignCenter, QStringLiteral("9"));
            p.setPen(QPen(QColor(40, 40, 40), 1.4));
            p.drawLine(QPointF(16, 3), QPointF(16, 19));
            p.drawLine(QPointF(13, 16), QPointF(16, 19));
            p.drawLine(QPointF(19, 16), QPointF(16, 19));
            break;
        }
        case ButtonPicture::SortByCountry: {
            p.setPen(QPen(QColor(60, 40, 20), 1.4));
            p.drawLine(QPointF(3, 2), QPointF(3, 20));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(200, 30, 30));
            p.drawRect(QRectF(4, 3, 10, 3));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4, 6, 10, 3));
            p.setBrush(QColor(30, 60, 170));
            p.drawRect(QRectF(4, 9, 10, 3));
            p.setPen(QPen(QColor(40, 40, 40), 1.4));
            p.drawLine(QPointF(18, 6), QPointF(18, 19));
            p.drawLine(QPointF(15.5, 16.5), QPointF(18, 19));
            p.drawLine(QPointF(20.5, 16.5), QPointF(18, 19));
            break;
        }
        case ButtonPicture::Up:
            arrow(p, true, QColor(60, 150, 60));
            break;
        case ButtonPicture::Down:
            arrow(p, false, QColor(60, 150, 60));
            break;
        case ButtonPicture::Undo:
            turnArrow(p, true, QColor(40, 90, 170));
            break;
        case ButtonPicture::Redo:
            turnArrow(p, false, QColor(40, 90, 170));
            break;
        case ButtonPicture::Compare:
            page(p, QRectF(1.5, 3.5, 8, 15));
            page(p, QRectF(12.5, 3.5, 8, 15));
            p.setPen(QPen(QColor(200, 120, 0), 1.8));
            p.drawLine(QPointF(6, 11), QPointF(16, 11));
            break;
        case ButtonPicture::SetValue: {
            page(p, QRectF(2.5, 2.5, 11, 17));
            useBoldFont(p, 10);
            p.setPen(QColor(20, 60, 140));
            p.drawText(QRectF(8, 5, 14, 14), Qt::AlignCenter, QStringLiteral("="));
            break;
        }
        case ButtonPicture::Delete:
            p.setPen(QPen(QColor(180, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(5, 5), QPointF(17, 17));
            p.drawLine(QPointF(17, 5), QPointF(5, 17));
            break;
        case ButtonPicture::Chart: {
            // Two axes and a scatter of dots.
            p.setPen(QPen(QColor(60, 60, 60), 1.4));
            p.drawLine(QPointF(3, 2.5), QPointF(3, 19));
            p.drawLine(QPointF(3, 19), QPointF(20, 19));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 114, 178));
            for (const QPointF& dot :
                 {QPointF(7.5, 14.5), QPointF(10.5, 11), QPointF(13.5, 12.5), QPointF(15.5, 7.5)})
                p.drawEllipse(dot, 2, 2);
            p.setBrush(QColor(230, 159, 0));
            p.drawEllipse(QPointF(18, 4.5), 2, 2);
            break;
        }
        default:
            break;
    }
}

QPixmap render(ButtonPicture picture, qreal scale) {
    QPixmap pixmap(QSize(kSize, kSize) * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    draw(p, picture);
    return pixmap;
}
}  // namespace

QIcon ButtonIcon(ButtonPicture picture) {
    QStyle* style = QApplication::style();
    if (picture == ButtonPicture::Load)
        return style->standardIcon(QStyle::SP_DialogOpenButton);
    if (picture == ButtonPicture::Save)
        return style->standardIcon(QStyle::SP_DialogSaveButton);
    QIcon icon;
    icon.addPixmap(render(picture, 1.0));
    icon.addPixmap(render(picture, 2.0));
    return icon;
}

QPixmap BannerPixmap(int width, int height, qreal devicePixelRatio) {
    QPixmap pixmap(QSize(width, height) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, width, 0);
    gradient.setColorAt(0, QColor(40, 60, 40));
    gradient.setColorAt(1, QColor(110, 120, 80));
    p.fillRect(QRect(0, 0, width, height), gradient);
    useBoldFont(p, std::max(8, height / 2));
    p.setPen(QColor(235, 225, 190));
    p.drawText(QRect(6, 0, width - 12, height), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Kestrel Editor"));
    return pixmap;
}

}  // namespace kestrel::ui
