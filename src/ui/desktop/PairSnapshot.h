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

FileStamp StampOf(const QString& path);
// True when the file at path holds other bytes than stamp says (or appeared,
// or went). Reads the file only when its size or time differ from stamp's.
bool ContentDiffers(const FileStamp& stamp, const QString& path);

// The binary file and the name list of one pair.
struct PairSnapshot {
    QString binaryPath;
    QString namesPath;
    FileStamp binary;
    FileStamp names;
};

PairSnapshot SnapshotOf(const QString& pairPath);
// True when either file's contents differ from the snapshot.
bool PairDiffers(const PairSnapshot& snapshot);

}  // namespace kestrel::ui
