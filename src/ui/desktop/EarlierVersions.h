#pragma once

#include <QDialog>

#include "ui/desktop/VersionStore.h"

class QListWidget;

namespace kestrel::ui {

class EditorSession;

// Each save keeps the pair it replaces in store.
void InstallVersionKeeping(EditorSession& session, VersionStore store);

// Lists the kept versions of one pair, newest first; the chosen one is
// version() after exec() returns Accepted.
class EarlierVersionsDialog : public QDialog {
    Q_OBJECT
public:
    EarlierVersionsDialog(const QString& pairPath, std::vector<PairVersion> versions,
                          QWidget* parent = nullptr);
    const PairVersion* version() const;
    QListWidget* list() const { return mList; }

private:
    std::vector<PairVersion> mVersions;
    QListWidget* mList = nullptr;
};

// Asks which kept version of the open pair to take and puts it in place of
// the list, as unsaved changes to the pair (saving it restores it).
void ShowEarlierVersions(EditorSession& session, const VersionStore& store);
// Puts the version in place of the list; false after a message or a cancel.
bool OpenVersion(EditorSession& session, const PairVersion& version);

}  // namespace kestrel::ui
