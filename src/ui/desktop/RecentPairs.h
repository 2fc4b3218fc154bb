#pragma once

#include <QStringList>

namespace kestrel::ui {

// The pairs last loaded or saved, newest first, kept in the settings.
constexpr int kMaxRecentPairs = 8;

// The list with path put first: a path already in it moves up, the oldest
// beyond kMaxRecentPairs drops out.
QStringList WithRecentPair(QStringList list, const QString& path);

QStringList RecentPairs();
void RememberRecentPair(const QString& path);

}  // namespace kestrel::ui
