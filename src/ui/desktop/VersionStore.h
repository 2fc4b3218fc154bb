#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

namespace kestrel::ui {

// One kept pair: the files a save replaced.
struct PairVersion {
    QString folder;
    QDateTime keptAt;  // local time
    int records = -1;  // the binary file's count, -1 when it has none
};

// The pairs that saves replaced, kept in a data folder of the editor, the
// last kKept per pair, so that a save can be taken back after the session.
class VersionStore {
public:
    static constexpr int kKept = 10;

    // root holds one folder per pair; it is created when the first is kept.
    explicit VersionStore(QString root);
    // The store under the application's data folder.
    static VersionStore standard();

    // Keeps the two files' bytes as the newest version of the pair at
    // pairPath, unless they equal the newest already kept; the oldest beyond
    // kKept go. False when the version could not be written.
    bool keep(const QString& pairPath, const QByteArray& names, const QByteArray& binary);

    // Newest first.
    std::vector<PairVersion> versions(const QString& pairPath) const;

    // The bytes of the kept name list and binary file.
    static bool read(const PairVersion& version, QByteArray& names, QByteArray& binary);

private:
    QString folderFor(const QString& pairPath) const;
    QString mRoot;
};

}  // namespace kestrel::ui
