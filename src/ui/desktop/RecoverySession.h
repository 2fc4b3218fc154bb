#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QLockFile;
class QTimer;
class QWidget;

namespace kestrel::ui {

class Document;
class EditorSession;

// This editor's recovery file: while the list has unsaved changes, the pair
// as a save would write it goes into a file of its own in folder, a pause
// after the last change (and at least every kLongestWaitMs while changes go
// on). A save, an undo back to the saved list or the end of the session
// removes it. The file's lock is held for the whole session, so another
// editor starting meanwhile never takes it for the work of one that crashed.
class RecoverySession : public QObject {
    Q_OBJECT
public:
    static constexpr int kPauseMs = 2000;
    static constexpr int kLongestWaitMs = 30000;

    RecoverySession(Document& document, QString folder, QObject* parent = nullptr);
    // The normal end of a session: its file goes.
    ~RecoverySession() override;

    QString filePath() const { return mFile; }
    // Writes the file now when the list has unsaved changes, else removes
    // it; false when it could not be written.
    bool writeNow();

    // Recovery files that no running editor holds, newest first.
    std::vector<QString> abandonedFiles() const;
    // Offers each abandoned file, newest first, until one is restored into
    // the session's list; true when one was.
    bool offerRestore(EditorSession& session, QWidget* parent);

private:
    void changed();
    void removeFile();
    void removeIdleLocks();

    Document& mDocument;
    QString mFolder;
    QString mFile;
    std::unique_ptr<QLockFile> mLock;
    QTimer* mPause = nullptr;
    QElapsedTimer mWaiting;
    bool mToldOfFailure = false;
};

}  // namespace kestrel::ui
