#include "ui/desktop/RecoveryFile.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QLocale>

namespace kestrel::ui {

namespace {
constexpr quint32 kMagic = 0x4b524356;  // "KRCV"
constexpr quint32 kVersion = 1;

QByteArray digestOf(const QByteArray& body) {
    return QCryptographicHash::hash(body, QCryptographicHash::Sha256);
}
}  // namespace

QByteArray EncodeRecovery(const RecoveredWork& work) {
    QByteArray body;
    {
        QDataStream out(&body, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << kMagic << kVersion << work.pairPath << work.writtenAt.toMSecsSinceEpoch()
            << work.names << work.binary;
    }
    // A file cut short by a full disk or a crash mid-write is refused whole.
    return body + digestOf(body);
}

std::optional<RecoveredWork> DecodeRecovery(const QByteArray& bytes) {
    const qsizetype digestSize = 32;
    if (bytes.size() <= digestSize)
        return std::nullopt;
    const QByteArray body = bytes.left(bytes.size() - digestSize);
    if (digestOf(body) != bytes.right(digestSize))
        return std::nullopt;
    QDataStream in(body);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, version = 0;
    qint64 msecs = 0;
    RecoveredWork work;
    in >> magic >> version;
    if (magic != kMagic || version != kVersion)
        return std::nullopt;
    in >> work.pairPath >> msecs >> work.names >> work.binary;
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    work.writtenAt = QDateTime::fromMSecsSinceEpoch(msecs);
    return work;
}

QString RecoveryQuestion(const RecoveredWork& work, const QDate& today) {
    const QFileInfo pair(work.pairPath);
    QString when = work.writtenAt.toString(QStringLiteral("HH:mm"));
    if (work.writtenAt.date() != today)
        when = QLocale().toString(work.writtenAt.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
               when;
    if (work.pairPath.isEmpty())
        return QStringLiteral("Restore unsaved work on a list not yet saved from %1?").arg(when);
    return QStringLiteral("Restore unsaved work on %1 in %2 from %3?")
        .arg(pair.fileName(), QDir::toNativeSeparators(pair.absolutePath()), when);
}

}  // namespace kestrel::ui
