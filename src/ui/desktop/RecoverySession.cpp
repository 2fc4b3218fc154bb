#include "ui/desktop/RecoverySession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QUndoStack>
#include <QUuid>
#include <algorithm>
#include <utility>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "ui/desktop/RecoveryFile.h"
#include "ui/document/Document.h"
#include "ui/document/EditorSession.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/PathText.h"

namespace kestrel::ui {

namespace {

const char kSuffix[] = ".recovery";

RecoveryAnswer ask(const QString& question, QWidget* parent) {
    return CurrentPrompts().recovery(parent, question);
}

QString lockPathFor(const QString& file) {
    return file.left(file.size() - static_cast<int>(qstrlen(kSuffix))) + QLatin1String(".lock");
}

// A lock whose owner still runs is never taken: not after a time, only when
// that process is gone.
std::unique_ptr<QLockFile> takeLock(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

// A damaged file is not offered again, nor thrown away.
void setAside(const QString& file) {
    const QString kept = file + QLatin1String(".damaged");
    QFile::remove(kept);
    QFile::rename(file, kept);
    MsgBox(QStringLiteral("The recovery file %1 is damaged and cannot be restored; it is kept "
                          "as %2.")
               .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(kept)));
}

}  // namespace

RecoverySession::RecoverySession(Document& document, QString folder, QObject* parent)
    : QObject(parent), mDocument(document), mFolder(std::move(folder)) {
    QDir().mkpath(mFolder);
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    mFile = QDir(mFolder).filePath(id + QLatin1String(kSuffix));
    mLock = takeLock(lockPathFor(mFile));
    removeIdleLocks();

    mPause = new QTimer(this);
    mPause->setSingleShot(true);
    connect(mPause, &QTimer::timeout, this, [this] { writeNow(); });
    connect(document.undoStack(), &QUndoStack::indexChanged, this, &RecoverySession::changed);
    connect(&document, &Document::modifiedChanged, this, &RecoverySession::changed);
    if (mDocument.isModified())
        changed();
}

RecoverySession::~RecoverySession() {
    removeFile();
}

void RecoverySession::changed() {
    if (!mDocument.isModified()) {
        mPause->stop();
        mWaiting.invalidate();
        removeFile();
        return;
    }
    if (!mWaiting.isValid())
        mWaiting.start();
    const qint64 left = std::max<qint64>(0, kLongestWaitMs - mWaiting.elapsed());
    mPause->start(static_cast<int>(std::min<qint64>(kPauseMs, left)));
}

// Sessions that ended without ever writing a file leave their lock behind
// when they crash; taking and letting go of it removes it.
void RecoverySession::removeIdleLocks() {
    const QDir folder(mFolder);
    for (const QFileInfo& info :
         folder.entryInfoList({QStringLiteral("*.lock")}, QDir::Files | QDir::Hidden)) {
        const QString base = info.absoluteFilePath().chopped(5);
        if (!QFile::exists(base + QLatin1String(kSuffix)))
            takeLock(info.absoluteFilePath());
    }
}

void RecoverySession::removeFile() {
    QFile::remove(mFile);
}

bool RecoverySession::writeNow() {
    mPause->stop();
    mWaiting.invalidate();
    if (!mDocument.isModified()) {
        removeFile();
        return true;
    }
    // A list a save would refuse cannot be written this way either; the last
    // file written stays until the list can be.
    const Equipments& list = mDocument.equipments();
    std::string names, binary;
    if (EncodeNameList(list, names) != 0 || EncodeBinaryFile(list, binary) != 0)
        return false;
    RecoveredWork work{UiPath(list.DataPath()), QDateTime::currentDateTime(),
                       QByteArray::fromStdString(names), QByteArray::fromStdString(binary)};
    QDir().mkpath(mFolder);
    QSaveFile file(mFile);
    const QByteArray bytes = EncodeRecovery(work);
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written && !mToldOfFailure) {
        mToldOfFailure = true;
        MsgBox(QStringLiteral("Unsaved work cannot be kept for recovery in %1: %2")
                   .arg(QDir::toNativeSeparators(mFolder), file.errorString()));
    }
    return written;
}

std::vector<QString> RecoverySession::abandonedFiles() const {
    std::vector<std::pair<QDateTime, QString>> found;
    const QDir folder(mFolder);
    const QStringList pattern{QLatin1Char('*') + QLatin1String(kSuffix)};
    for (const QFileInfo& info : folder.entryInfoList(pattern, QDir::Files)) {
        const QString file = info.absoluteFilePath();
        if (file == QFileInfo(mFile).absoluteFilePath())
            continue;
        // Taken only to look: the lock is let go at once.
        if (!takeLock(lockPathFor(file)))
            continue;
        found.emplace_back(info.lastModified(), file);
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<QString> files;
    for (auto& entry : found)
        files.push_back(std::move(entry.second));
    return files;
}

bool RecoverySession::offerRestore(EditorSession& session, QWidget* parent) {
    for (const QString& file : abandonedFiles()) {
        // Held while the question is open, so that a second editor starting
        // now does not offer the same work.
        std::unique_ptr<QLockFile> lock = takeLock(lockPathFor(file));
        if (!lock)
            continue;
        QFile in(file);
        std::optional<RecoveredWork> work;
        if (in.open(QIODevice::ReadOnly))
            work = DecodeRecovery(in.readAll());
        in.close();
        if (!work) {
            setAside(file);
            continue;
        }
        switch (ask(RecoveryQuestion(*work, QDate::currentDate()), parent)) {
            case RecoveryAnswer::Later:
                continue;
            case RecoveryAnswer::Discard:
                QFile::remove(file);
                continue;
            case RecoveryAnswer::Restore:
                break;
        }
        auto list = std::make_unique<Equipments>();
        if (DecodeEquipmentPair(std::string_view(work->names.constData(), work->names.size()),
                                std::string_view(work->binary.constData(), work->binary.size()),
                                *list) != 0) {
            setAside(file);
            continue;
        }
        session.adoptList(std::move(list), work->pairPath);
        // The work is in this session's own file before the old one goes.
        if (writeNow())
            QFile::remove(file);
        return true;
    }
    return false;
}

}  // namespace kestrel::ui
