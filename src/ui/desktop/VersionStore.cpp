#include "ui/desktop/VersionStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>
#include <utility>

#include "ui/desktop/DataFolder.h"

namespace kestrel::ui {

namespace {
const char kStampFormat[] = "yyyyMMdd'T'HHmmsszzz";
const char kNames[] = "EQUIP97.TXT";
const char kBinary[] = "EQUIP97.EQP";

bool writeWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

std::optional<QByteArray> readWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

int countOf(const QByteArray& binary) {
    if (binary.size() < 2)
        return -1;
    return static_cast<unsigned char>(binary[0]) + 256 * static_cast<unsigned char>(binary[1]);
}
}  // namespace

VersionStore::VersionStore(QString root) : mRoot(std::move(root)) {}

VersionStore VersionStore::standard() {
    return VersionStore(AppDataFolder(QStringLiteral("versions")));
}

// One folder per pair, named by a digest of its path: paths hold characters
// that folder names cannot. The path itself is written inside for people.
QString VersionStore::folderFor(const QString& pairPath) const {
    const QString clean = QDir::cleanPath(QFileInfo(pairPath).absoluteFilePath());
    const QByteArray digest =
        QCryptographicHash::hash(clean.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir(mRoot).filePath(QString::fromLatin1(digest));
}

std::vector<PairVersion> VersionStore::versions(const QString& pairPath) const {
    std::vector<PairVersion> out;
    const QDir pair(folderFor(pairPath));
    // Stamps in UTC sort as text in the order they were kept.
    QStringList names =
        pair.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString& name : names) {
        QDateTime when = QDateTime::fromString(name.left(18), QLatin1String(kStampFormat));
        if (!when.isValid())
            continue;  // a version being written, or not ours
        when = QDateTime(when.date(), when.time(), Qt::UTC);
        PairVersion version{pair.filePath(name), when.toLocalTime(), -1};
        QFile binary(QDir(version.folder).filePath(QLatin1String(kBinary)));
        if (binary.open(QIODevice::ReadOnly))
            version.records = countOf(binary.read(2));
        out.push_back(version);
    }
    return out;
}

bool VersionStore::read(const PairVersion& version, QByteArray& names, QByteArray& binary) {
    const QDir folder(version.folder);
    auto n = readWhole(folder.filePath(QLatin1String(kNames)));
    auto b = readWhole(folder.filePath(QLatin1String(kBinary)));
    if (!n || !b)
        return false;
    names = *n;
    binary = *b;
    return true;
}

bool VersionStore::keep(const QString& pairPath, const QByteArray& names,
                        const QByteArray& binary) {
    const QString pairFolder = folderFor(pairPath);
    std::vector<PairVersion> kept = versions(pairPath);
    if (!kept.empty()) {
        QByteArray lastNames, lastBinary;
        if (read(kept.front(), lastNames, lastBinary) && lastNames == names &&
            lastBinary == binary) {
            return true;
        }
    }
    if (!QDir().mkpath(pairFolder))
        return false;
    writeWhole(QDir(pairFolder).filePath(QStringLiteral("origin.txt")),
               QDir::toNativeSeparators(QFileInfo(pairPath).absoluteFilePath()).toUtf8() + '\n');

    // Written under a name the listing skips, then renamed: a version is
    // listed only once both its files are whole.
    QString stamp = QDateTime::currentDateTimeUtc().toString(QLatin1String(kStampFormat));
    QString name = stamp;
    for (int k = 1; QFileInfo::exists(QDir(pairFolder).filePath(name)); ++k)
        name = stamp + QLatin1Char('-') + QString::number(k);
    const QString partial = QDir(pairFolder).filePath(QLatin1String(".part-") + name);
    QDir(partial).removeRecursively();
    if (!QDir().mkpath(partial) ||
        !writeWhole(QDir(partial).filePath(QLatin1String(kNames)), names) ||
        !writeWhole(QDir(partial).filePath(QLatin1String(kBinary)), binary) ||
        !QDir(pairFolder).rename(partial, QDir(pairFolder).filePath(name))) {
        QDir(partial).removeRecursively();
        return false;
    }
    kept = versions(pairPath);
    for (std::size_t k = kKept; k < kept.size(); ++k)
        QDir(kept[k].folder).removeRecursively();
    return true;
}

}  // namespace kestrel::ui
