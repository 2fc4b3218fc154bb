#include "ui/desktop/DataFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace kestrel::ui {

QString AppDataFolder(const QString& name) {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(name);
}

}  // namespace kestrel::ui
