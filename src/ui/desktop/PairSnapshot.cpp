#include "ui/desktop/PairSnapshot.h"

#include <QFile>
#include <QFileInfo>

#include "storage/EquipmentFiles.h"
#include "storage/SaveIntent.h"
#include "ui/platform/PathText.h"

namespace kestrel::ui {

namespace {
// Not a safeguard against tampering, only a way to tell equal contents:
// the word-wide hash a save note keeps of its files, which reads the
// largest pair in a fraction of a frame, not a cryptographic one.
QByteArray checksumOf(const QString& path) {
    // A file far beyond any pair is not read whole: without a checksum its
    // stamp counts any new time as a change, which is only more careful.
    constexpr qint64 kLargest = 64 << 20;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargest)
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    const std::uint64_t hash =
        ContentHash(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return QByteArray::number(static_cast<qulonglong>(hash), 16);
}
}  // namespace

FileStamp StampOf(const QString& path, bool withChecksum) {
    FileStamp stamp;
    const QFileInfo info(path);
    if (!info.isFile())
        return stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modified = info.lastModified();
    if (withChecksum)
        stamp.checksum = checksumOf(path);
    return stamp;
}

void CompleteStamp(FileStamp& stamp, const QString& path) {
    if (!stamp.exists || !stamp.checksum.isEmpty())
        return;
    const QFileInfo info(path);
    if (info.isFile() && info.size() == stamp.size && info.lastModified() == stamp.modified)
        stamp.checksum = checksumOf(path);
}

bool ContentDiffers(const FileStamp& stamp, const QString& path) {
    const QFileInfo info(path);
    if (info.isFile() != stamp.exists)
        return true;
    if (!stamp.exists)
        return false;
    if (info.size() != stamp.size)
        return true;
    if (info.lastModified() == stamp.modified)
        return false;
    return stamp.checksum.isEmpty() || checksumOf(path) != stamp.checksum;
}

PairSnapshot SnapshotOf(const QString& pairPath, bool withChecksums) {
    PairSnapshot snapshot;
    snapshot.binaryPath = pairPath;
    snapshot.namesPath = UiPath(PathsFor(CorePath(pairPath)).nameList);
    snapshot.binary = StampOf(snapshot.binaryPath, withChecksums);
    snapshot.names = StampOf(snapshot.namesPath, withChecksums);
    return snapshot;
}

bool PairDiffers(const PairSnapshot& snapshot) {
    return ContentDiffers(snapshot.binary, snapshot.binaryPath) ||
           ContentDiffers(snapshot.names, snapshot.namesPath);
}

}  // namespace kestrel::ui
