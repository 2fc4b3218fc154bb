#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

namespace kestrel::ui {

// Where the editor's windows were, remembered across sessions (QSettings,
// in the platform's usual place).

// The list window: its last size and position, or on the first start a
// size that leaves room beside it for a window of besideWidth pixels, yet
// at least minWidth wide where the screen has room for that. While another
// list window of the editor (this copy's or another's) holds that place,
// it opens one title bar lower and to the right, and so on, each place held
// until its window is gone.
void RestoreMainPlace(QWidget& window, int besideWidth, int minWidth);
void SaveMainPlace(const QWidget& window);

// A second window's last position when it is still on a screen; else the
// first spot beside main's frame where it fits on main's screen without
// covering keepClear (global coordinates, the list's grid), or the spot
// that covers it least.
void PlaceBeside(QWidget& window, const QWidget& main, const QRect& keepClear, const char* key);
void SavePlace(const QWidget& window, const char* key);

// Keeps a top-level window wholly within the available area of its screen
// (anchor's screen when given): no larger than that area, its frame moved
// inside it.
void KeepOnScreen(QWidget& window, const QWidget* anchor = nullptr);

// Where the spot for a window of size goes: the candidates beside main's
// frame, in the order tried, kept within the screen's available area.
QRect BesideSpot(const QRect& mainFrame, const QSize& size, const QRect& screen,
                 const QRect& keepClear);

// The folder of the last file chosen in the file dialog, or empty.
QString RememberedFolder();
void RememberFolderOf(const QString& filePath);

}  // namespace kestrel::ui
