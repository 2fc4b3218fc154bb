#include "ui/desktop/RecentPairs.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace kestrel::ui {

namespace {
const char kKey[] = "recentPairs";
}

QStringList WithRecentPair(QStringList list, const QString& path) {
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    list.removeAll(clean);
    list.prepend(clean);
    while (list.size() > kMaxRecentPairs)
        list.removeLast();
    return list;
}

QStringList RecentPairs() {
    return QSettings().value(QLatin1String(kKey)).toStringList();
}

void RememberRecentPair(const QString& path) {
    if (path.isEmpty())
        return;
    QSettings settings;
    const QStringList before = settings.value(QLatin1String(kKey)).toStringList();
    const QStringList after = WithRecentPair(before, path);
    // Opening the pair that heads the list again rewrites no settings file.
    if (after != before)
        settings.setValue(QLatin1String(kKey), after);
}

}  // namespace kestrel::ui
