#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace kestrel::ui {

enum class PropertyPicture { New, Update, First, Previous, Next, Last };

// The properties window's button pictures, sharp at 100 % and 200 %, with a
// grey form for a disabled button.
QIcon PropertyIcon(PropertyPicture picture, QSize size);

// The value icons: a tinted badge with a short mark, readable at 30 pixels.
QPixmap ValueBadge(const QString& mark, QColor tint, int side);

}  // namespace kestrel::ui
