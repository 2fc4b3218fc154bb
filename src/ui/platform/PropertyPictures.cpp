#include "ui/platform/PropertyPictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace kestrel::ui {

namespace {

// Drawn at twice the size too, so the pictures stay sharp at 200 %.
QPixmap drawPicture(PropertyPicture picture, QSize size, qreal ratio, bool grey) {
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = grey ? QColor(150, 150, 150) : QColor(20, 40, 120);
    const QColor fill = grey ? QColor(215, 215, 215) : QColor(250, 250, 250);
    const qreal w = size.width(), h = size.height();
    p.setPen(QPen(ink, 1.2));
    auto triangle = [&](qreal x, bool left) {
        QPainterPath path;
        if (left) {
            path.moveTo(x, h / 2);
            path.lineTo(x + 7, h / 2 - 6);
            path.lineTo(x + 7, h / 2 + 6);
        } else {
            path.moveTo(x + 7, h / 2);
            path.lineTo(x, h / 2 - 6);
            path.lineTo(x, h / 2 + 6);
        }
        path.closeSubpath();
        p.fillPath(path, ink);
    };
    switch (picture) {
        case PropertyPicture::New: {
            QPainterPath page;
            page.moveTo(6, 3);
            page.lineTo(w - 10, 3);
            page.lineTo(w - 6, 7);
            page.lineTo(w - 6, h - 3);
            page.lineTo(6, h - 3);
            page.closeSubpath();
            p.fillPath(page, fill);
            p.drawPath(page);
            p.drawLine(QPointF(w - 10, 3), QPointF(w - 10, 7));
            p.drawLine(QPointF(w - 10, 7), QPointF(w - 6, 7));
            break;
        }
        case PropertyPicture::Update: {
            // The record's page with a check mark: written into the list,
            // unlike Save's floppy, which writes the files.
            QPainterPath page;
            page.moveTo(5, 2);
            page.lineTo(w - 11, 2);
            page.lineTo(w - 7, 6);
            page.lineTo(w - 7, h - 3);
            page.lineTo(5, h - 3);
            page.closeSubpath();
            p.fillPath(page, fill);
            p.drawPath(page);
            p.setPen(QPen(grey ? ink : QColor(120, 120, 130), 1.0));
            for (qreal y = 7; y < h - 5; y += 3)
                p.drawLine(QPointF(8, y), QPointF(w - 12, y));
            QPainterPath check;
            check.moveTo(w / 2 - 2, h / 2 + 2);
            check.lineTo(w / 2 + 2, h - 4);
            check.lineTo(w - 2, 5);
            p.setPen(QPen(grey ? ink : QColor(20, 130, 50), 2.6, Qt::SolidLine, Qt::RoundCap,
                          Qt::RoundJoin));
            p.drawPath(check);
            break;
        }
        case PropertyPicture::First:
            p.fillRect(QRectF(4, h / 2 - 6, 2, 12), ink);
            triangle(7, true);
            break;
        case PropertyPicture::Previous:
            triangle(w / 2 - 4, true);
            break;
        case PropertyPicture::Next:
            triangle(w / 2 - 3, false);
            break;
        case PropertyPicture::Last:
            triangle(w - 14, false);
            p.fillRect(QRectF(w - 6, h / 2 - 6, 2, 12), ink);
            break;
    }
    return pixmap;
}

}  // namespace

QIcon PropertyIcon(PropertyPicture picture, QSize size) {
    QIcon icon;
    for (qreal ratio : {1.0, 2.0}) {
        icon.addPixmap(drawPicture(picture, size, ratio, false), QIcon::Normal);
        icon.addPixmap(drawPicture(picture, size, ratio, true), QIcon::Disabled);
    }
    return icon;
}

// The value icons: a tinted badge with a short mark, readable at 30 pixels.
QPixmap ValueBadge(const QString& mark, QColor tint, int side) {
    const qreal ratio = 2.0;
    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(tint);
    p.setPen(QPen(tint.darker(160), 1));
    p.drawRoundedRect(QRectF(1, 1, side - 2, side - 2), 5, 5);
    QFont font(QStringLiteral("Sans"));
    font.setBold(true);
    font.setPixelSize(std::max(8, side * (mark.size() > 2 ? 30 : 40) / 100));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, side, side), Qt::AlignCenter, mark);
    return pixmap;
}

}  // namespace kestrel::ui
