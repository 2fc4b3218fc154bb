#pragma once

#include <QFrame>

class QLabel;
class QPushButton;
class QFileSystemWatcher;
class QTimer;

#include "ui/desktop/PairSnapshot.h"

namespace kestrel::ui {

class EditorSession;

// Watches the open pair's files and tells, in a bar above the grid, when
// another program changed them. A list without unsaved changes is read again
// at once; one with changes is kept until the user picks Reload or Keep mine.
// The editor's own loads and saves renew the snapshot the files are compared
// with, so they never show the bar.
class ChangedOnDiskBar : public QFrame {
    Q_OBJECT
public:
    // The window that holds the list places the bar above its grid.
    explicit ChangedOnDiskBar(EditorSession& session, QWidget* parent = nullptr);

    // Compares the files with the snapshot now instead of after the pause
    // that lets another program finish its save.
    void checkNow();
    QLabel* label() const { return mLabel; }

    // How long changes settle before the files are compared, in milliseconds.
    static constexpr int kSettleMs = 300;

private:
    void watch(const QString& pairPath);
    void takeChecksums(const PairSnapshot& taken);
    void rearm();
    void reload();
    void keepMine();
    void say(const QString& text, bool choice);

    EditorSession& mSession;
    QFileSystemWatcher* mWatcher = nullptr;
    QTimer* mSettle = nullptr;
    PairSnapshot mSnapshot;
    int mWatches = 0;  // the watches begun, so that late checksums of another are dropped
    QLabel* mLabel = nullptr;
    QPushButton* mReload = nullptr;
    QPushButton* mKeepMine = nullptr;
    QPushButton* mClose = nullptr;
};

}  // namespace kestrel::ui
