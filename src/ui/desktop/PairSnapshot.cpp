#include "ui/desktop/PairSnapshot.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include "storage/EquipmentFiles.h"
#include "ui/platform/PathText.h"

namespace kestrel::ui {

namespace {
// Not a safeguard against tampering, only a way to tell equal contents.
QByteArray checksumOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&file);
    return hash.result();
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
