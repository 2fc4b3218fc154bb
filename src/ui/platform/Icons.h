#pragma once

#include <QIcon>
#include <QPixmap>

namespace kestrel::ui {

enum class ButtonPicture {
    Load,
    Save,
    Cut,
    Copy,
    Paste,
    Renumber,
    Sort,
    SortByCountry,
    Up,
    Down,
    Undo,
    Redo,
    Compare,
    SetValue,
    Delete,
    Chart
};

// The button pictures, drawn at 1x and 2x so they stay crisp when scaled.
QIcon ButtonIcon(ButtonPicture picture);
// The decoration in the corner of the list window.
QPixmap BannerPixmap(int width, int height, qreal devicePixelRatio);

}  // namespace kestrel::ui
