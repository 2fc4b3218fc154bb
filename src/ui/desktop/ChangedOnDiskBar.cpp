#include "ui/desktop/ChangedOnDiskBar.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QThreadPool>
#include <QTimer>

#include "ui/desktop/PairPath.h"
#include "ui/document/Document.h"
#include "ui/document/EditorSession.h"
#include "ui/mdlGeneral.h"

namespace kestrel::ui {

ChangedOnDiskBar::ChangedOnDiskBar(EditorSession& session, QWidget* parent)
    : QFrame(parent), mSession(session) {
    setObjectName(QStringLiteral("ChangedOnDiskBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette look = palette();
    look.setColor(QPalette::Window, QColor(0xff, 0xf4, 0xc8));
    look.setColor(QPalette::WindowText, Qt::black);
    setPalette(look);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 3, 4, 3);
    mLabel = new QLabel(this);
    mLabel->setObjectName(QStringLiteral("lblChangedOnDisk"));
    mLabel->setWordWrap(true);
    row->addWidget(mLabel, 1);
    auto button = [this, row](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        row->addWidget(b);
        return b;
    };
    mReload = button("cmdReload", QStringLiteral("&Reload"));
    mKeepMine = button("cmdKeepMine", QStringLiteral("&Keep mine"));
    mClose = button("cmdCloseBar", QStringLiteral("Close"));
    connect(mReload, &QPushButton::clicked, this, &ChangedOnDiskBar::reload);
    connect(mKeepMine, &QPushButton::clicked, this, &ChangedOnDiskBar::keepMine);
    connect(mClose, &QPushButton::clicked, this, &QWidget::hide);

    mWatcher = new QFileSystemWatcher(this);
    mSettle = new QTimer(this);
    mSettle->setSingleShot(true);
    mSettle->setInterval(kSettleMs);
    connect(mSettle, &QTimer::timeout, this, &ChangedOnDiskBar::checkNow);
    connect(mWatcher, &QFileSystemWatcher::fileChanged, mSettle, qOverload<>(&QTimer::start));
    connect(mWatcher, &QFileSystemWatcher::directoryChanged, mSettle, qOverload<>(&QTimer::start));
    connect(&session, &EditorSession::pairOpened, this, &ChangedOnDiskBar::watch);
    connect(&session, &EditorSession::pairSaved, this, &ChangedOnDiskBar::watch);

    hide();
}

void ChangedOnDiskBar::watch(const QString& pairPath) {
    mSettle->stop();
    hide();
    // Both files are read again for their checksums beside the window, not
    // before the load or save shows its result (a few milliseconds of the
    // largest pair); the stat taken now still catches a change made
    // meanwhile, and a watch begun since makes the result moot.
    mSnapshot = pairPath.isEmpty() ? PairSnapshot{}
                                   : SnapshotOf(QFileInfo(pairPath).absoluteFilePath(), false);
    rearm();
    if (mSnapshot.binaryPath.isEmpty())
        return;
    const int watch = ++mWatches;
    QPointer<ChangedOnDiskBar> self(this);
    QThreadPool::globalInstance()->start([self, watch, taken = mSnapshot]() mutable {
        CompleteStamp(taken.binary, taken.binaryPath);
        CompleteStamp(taken.names, taken.namesPath);
        // Back on the window's thread, where the bar may be gone.
        QMetaObject::invokeMethod(
            qApp,
            [self, watch, taken] {
                if (self && self->mWatches == watch)
                    self->takeChecksums(taken);
            },
            Qt::QueuedConnection);
    });
}

void ChangedOnDiskBar::takeChecksums(const PairSnapshot& taken) {
    // Only for stamps that still describe the files those checksums are of.
    auto take = [](FileStamp& stamp, const FileStamp& worked) {
        if (stamp.checksum.isEmpty() && stamp.exists == worked.exists &&
            stamp.size == worked.size && stamp.modified == worked.modified)
            stamp.checksum = worked.checksum;
    };
    take(mSnapshot.binary, taken.binary);
    take(mSnapshot.names, taken.names);
}

// A save replaces the files by renaming new ones over them, which ends the
// watch on the old ones: the folder is watched too, and the files again
// after every change.
void ChangedOnDiskBar::rearm() {
    if (const QStringList old = mWatcher->files() + mWatcher->directories(); !old.isEmpty())
        mWatcher->removePaths(old);
    if (mSnapshot.binaryPath.isEmpty())
        return;
    QStringList paths{QFileInfo(mSnapshot.binaryPath).absolutePath()};
    for (const QString& file : {mSnapshot.binaryPath, mSnapshot.namesPath}) {
        if (QFileInfo(file).isFile())
            paths.append(file);
    }
    mWatcher->addPaths(paths);
}

void ChangedOnDiskBar::checkNow() {
    if (mSnapshot.binaryPath.isEmpty() || mSession.pairPath().isEmpty())
        return;
    rearm();
    if (!PairDiffers(mSnapshot))
        return;
    const QString pair = mSnapshot.binaryPath;
    const QString caption = PairCaption(pair);
    // What is on disk now is what the next check compares with.
    mSnapshot = SnapshotOf(pair);
    if (!QFileInfo(pair).isFile()) {
        say(QStringLiteral("%1 is no longer on disk. Save to write your list there again.")
                .arg(caption),
            false);
        mdlGeneral::document().markUnsaved();
        return;
    }
    if (!mdlGeneral::document().isModified()) {
        if (mSession.reloadPair()) {
            say(QStringLiteral("%1 was changed on disk by another program and has been read "
                               "again.")
                    .arg(caption),
                false);
            return;
        }
    }
    say(QStringLiteral("%1 was changed on disk by another program. Reload it and lose your "
                       "unsaved changes, or keep yours?")
            .arg(caption),
        true);
}

void ChangedOnDiskBar::say(const QString& text, bool choice) {
    mLabel->setText(text);
    mReload->setVisible(choice);
    mKeepMine->setVisible(choice);
    mClose->setVisible(!choice);
    show();
}

void ChangedOnDiskBar::reload() {
    // The load puts the bar away through the watch it renews.
    if (!mSession.reloadPair())
        return;
    hide();
}

void ChangedOnDiskBar::keepMine() {
    // The files no longer hold what the list was loaded from: even an undo
    // back to that state leaves something to save.
    mdlGeneral::document().markUnsaved();
    hide();
}

}  // namespace kestrel::ui
