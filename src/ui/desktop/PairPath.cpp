#include "ui/desktop/PairPath.h"

#include <QDir>
#include <QFileInfo>

namespace kestrel::ui {

QString PairFileFor(const QString& path) {
    if (path.isEmpty())
        return {};
    QFileInfo info(path);
    if (info.isDir()) {
        const QDir folder(info.absoluteFilePath());
        for (const QFileInfo& entry : folder.entryInfoList(QDir::Files)) {
            if (entry.fileName().compare(QLatin1String("EQUIP97.EQP"), Qt::CaseInsensitive) == 0)
                return entry.absoluteFilePath();
        }
        return {};
    }
    return info.isFile() ? info.absoluteFilePath() : QString();
}

QString PairCaption(const QString& pairFile) {
    const QFileInfo info(pairFile);
    const QString folder = info.absoluteDir().dirName();
    if (folder.isEmpty())
        return info.fileName();
    return QStringLiteral("%1 in %2").arg(info.fileName(), folder);
}

bool LooksLikePair(const QString& path) {
    const QString file = PairFileFor(path);
    return !file.isEmpty() &&
           QFileInfo(file).suffix().compare(QLatin1String("eqp"), Qt::CaseInsensitive) == 0;
}

}  // namespace kestrel::ui
