#include "ui/platform/WindowPlaces.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLockFile>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <array>
#include <memory>

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

// The list windows open now, in any copy of the editor, each hold a place
// number through a lock file; a crashed copy's lock is free again.
constexpr int kPlaces = 16;

class PlaceHold : public QObject {
public:
    PlaceHold(QObject* owner, std::unique_ptr<QLockFile> lock)
        : QObject(owner), mLock(std::move(lock)) {}

private:
    std::unique_ptr<QLockFile> mLock;
};

// The first free place number, held for as long as window lives.
int holdPlace(QWidget& window) {
    const QString folder = QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                               .filePath(QStringLiteral("places"));
    if (!QDir().mkpath(folder))
        return 0;
    for (int place = 0; place < kPlaces; ++place) {
        auto lock = std::make_unique<QLockFile>(
            QDir(folder).filePath(QStringLiteral("list-%1.lock").arg(place)));
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            new PlaceHold(&window, std::move(lock));
            return place;
        }
    }
    return kPlaces;
}

// The height of a title bar, which a cascade steps by.
int titleBarHeight(const QWidget& window) {
    const int drawn = window.frameGeometry().height() - window.height();
    return std::max({drawn,
                     window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window),
                     window.fontMetrics().height() + 8});
}

// Steps the window down and right by place title bars, smaller where the
// screen ends, so that the windows before it still show their titles.
void cascade(QWidget& window, int place) {
    if (place <= 0)
        return;
    const int step = titleBarHeight(window) * place;
    window.move(window.pos() + QPoint(step, step));
    const QRect frame = window.frameGeometry();
    const QRect screen = availableAround(frame.topLeft());
    const QSize extras = frame.size() - window.size();
    const QSize room(screen.right() + 1 - frame.left(), screen.bottom() + 1 - frame.top());
    window.resize(window.size().boundedTo(room - extras).expandedTo(window.minimumSize()));
}
}  // namespace

void RestoreMainPlace(QWidget& window, int besideWidth, int minWidth) {
    const int place = holdPlace(window);
    const QByteArray saved = QSettings().value(QLatin1String(kMainKey)).toByteArray();
    if (!saved.isEmpty() && window.restoreGeometry(saved)) {
        cascade(window, place);
        KeepOnScreen(window);
        return;
    }
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
    cascade(window, place);
    KeepOnScreen(window);
}

void KeepOnScreen(QWidget& window, const QWidget* anchor) {
    const QRect frame = window.frameGeometry();
    const QRect screen =
        availableAround(anchor ? anchor->frameGeometry().center() : frame.center());
    // Decorations are known once the window system has framed the window.
    const QSize extras = frame.size() - window.size();
    const QSize room = (screen.size() - extras).expandedTo(window.minimumSize());
    const QSize size = window.size().boundedTo(room);
    if (size != window.size())
        window.resize(size);
    const QSize outer = size + extras;
    const int x = std::clamp(frame.left(), screen.left(),
                             std::max(screen.left(), screen.right() + 1 - outer.width()));
    const int y = std::clamp(frame.top(), screen.top(),
                             std::max(screen.top(), screen.bottom() + 1 - outer.height()));
    if (QPoint(x, y) != frame.topLeft())
        window.move(x, y);
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
            KeepOnScreen(window);
            return;
        }
    }
    const QRect frame = main.frameGeometry();
    KeepOnScreen(window, &main);
    QSize size = window.frameGeometry().size().expandedTo(window.size());
    window.move(BesideSpot(frame, size, availableAround(frame.center()), keepClear).topLeft());
    KeepOnScreen(window, &main);
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
