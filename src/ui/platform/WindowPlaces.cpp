#include "ui/platform/WindowPlaces.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>
#include <array>

namespace kestrel::ui {

namespace {
const char kMainKey[] = "list/geometry";
const char kFolderKey[] = "files/lastFolder";
constexpr int kGap = 8;

QRect availableAround(const QPoint& point) {
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

int overlap(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : both.width() * both.height();
}
}  // namespace

void RestoreMainPlace(QWidget& window, int besideWidth, int minWidth) {
    const QByteArray saved = QSettings().value(QLatin1String(kMainKey)).toByteArray();
    if (!saved.isEmpty() && window.restoreGeometry(saved))
        return;
    const QRect screen = availableAround(window.geometry().center());
    // Wide enough for many columns, leaving room for the properties window
    // beside it where the screen has it.
    const int roomy = screen.width() - besideWidth - 3 * kGap;
    const int widest = screen.width() - 2 * kGap;
    const int width =
        std::clamp(roomy, std::min(std::max(minWidth, screen.width() / 2), widest), widest);
    const int height = screen.height() * 17 / 20;
    window.resize(width, height);
    window.move(screen.left() + kGap, screen.top() + (screen.height() - height) / 3);
}

void SaveMainPlace(const QWidget& window) {
    QSettings().setValue(QLatin1String(kMainKey), window.saveGeometry());
}

QRect BesideSpot(const QRect& mainFrame, const QSize& size, const QRect& screen,
                 const QRect& keepClear) {
    const int top = std::clamp(mainFrame.top(), screen.top(),
                               std::max(screen.top(), screen.bottom() + 1 - size.height()));
    const int left = std::clamp(mainFrame.left(), screen.left(),
                                std::max(screen.left(), screen.right() + 1 - size.width()));
    const int right = screen.right() + 1 - size.width();
    const std::array<QRect, 7> spots = {{
        QRect(QPoint(mainFrame.right() + 1 + kGap, top), size),
        QRect(QPoint(mainFrame.left() - kGap - size.width(), top), size),
        QRect(QPoint(left, mainFrame.bottom() + 1 + kGap), size),
        QRect(QPoint(left, mainFrame.top() - kGap - size.height()), size),
        QRect(QPoint(right, top), size),
        QRect(QPoint(right, screen.top()), size),
        QRect(QPoint(right, screen.bottom() + 1 - size.height()), size),
    }};
    for (const QRect& spot : spots) {
        if (screen.contains(spot) && !spot.intersects(keepClear))
            return spot;
    }
    // No spot clears the grid: the one within the screen that covers least.
    QRect best = spots[4];
    for (const QRect& spot : spots) {
        if (screen.contains(spot) && overlap(spot, keepClear) < overlap(best, keepClear))
            best = spot;
    }
    return best;
}

void PlaceBeside(QWidget& window, const QWidget& main, const QRect& keepClear, const char* key) {
    const QVariant saved = QSettings().value(QLatin1String(key));
    if (saved.isValid()) {
        const QPoint at = saved.toPoint();
        const QRect screen = availableAround(at);
        if (QGuiApplication::screenAt(at) && screen.contains(at)) {
            window.move(at);
            return;
        }
    }
    const QRect frame = main.frameGeometry();
    QSize size = window.frameGeometry().size().expandedTo(window.size());
    window.move(BesideSpot(frame, size, availableAround(frame.center()), keepClear).topLeft());
}

void SavePlace(const QWidget& window, const char* key) {
    QSettings().setValue(QLatin1String(key), window.pos());
}

QString RememberedFolder() {
    return QSettings().value(QLatin1String(kFolderKey)).toString();
}

void RememberFolderOf(const QString& filePath) {
    QSettings settings;
    const QString folder = QFileInfo(filePath).absolutePath();
    if (settings.value(QLatin1String(kFolderKey)).toString() != folder)
        settings.setValue(QLatin1String(kFolderKey), folder);
}

}  // namespace kestrel::ui
