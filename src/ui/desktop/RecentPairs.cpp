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
    settings.setValue(QLatin1String(kKey),
                      WithRecentPair(settings.value(QLatin1String(kKey)).toStringList(), path));
}

}  // namespace kestrel::ui
