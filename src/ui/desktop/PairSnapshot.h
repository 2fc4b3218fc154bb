#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace kestrel::ui {

// What a file looked like: enough to tell another program's save from a
// mere touch, without keeping its bytes.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    QByteArray checksum;
};

// Without the checksum when withChecksum is false: a stat alone.
FileStamp StampOf(const QString& path, bool withChecksum = true);
// True when the file at path holds other bytes than stamp says (or appeared,
// or went). Reads the file only when its size or time differ from stamp's;
// a stamp without checksum then counts as differing.
bool ContentDiffers(const FileStamp& stamp, const QString& path);
// Adds the checksum to a stamp taken without one, when the file's size and
// time still match it; a file changed meanwhile keeps the stamp as it was.
void CompleteStamp(FileStamp& stamp, const QString& path);

// The binary file and the name list of one pair.
struct PairSnapshot {
    QString binaryPath;
    QString namesPath;
    FileStamp binary;
    FileStamp names;
};

PairSnapshot SnapshotOf(const QString& pairPath, bool withChecksums = true);
// True when either file's contents differ from the snapshot.
bool PairDiffers(const PairSnapshot& snapshot);

}  // namespace kestrel::ui
