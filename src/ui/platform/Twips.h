#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace kestrel::ui {

// Positions of the window layout are kept in twips (1/1440 inch) and turned
// into pixels with the screen's logical DPI, so the layout scales with it.
inline double logicalDpiX() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}
inline double logicalDpiY() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}
inline int TwipsToPixelsX(int twips) {
    return static_cast<int>(std::lround(twips * logicalDpiX() / 1440.0));
}
inline int TwipsToPixelsY(int twips) {
    return static_cast<int>(std::lround(twips * logicalDpiY() / 1440.0));
}
inline int PixelsToTwipsX(int pixels) {
    return static_cast<int>(std::lround(pixels * 1440.0 / logicalDpiX()));
}
inline int PixelsToTwipsY(int pixels) {
    return static_cast<int>(std::lround(pixels * 1440.0 / logicalDpiY()));
}

}  // namespace kestrel::ui
