#include "ui/compare/CompareWith.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include "storage/PairAsItStands.h"
#include "ui/compare/frmCompare.h"
#include "ui/document/EditorSession.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/FileDialog.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/PathText.h"
#include "ui/platform/WindowPlaces.h"

namespace kestrel::ui {

namespace {
// One comparison at a time; a new one replaces it.
QPointer<frmCompare> gComparison;
}  // namespace

QString PairName(const QString& path) {
    const QFileInfo file(path);
    const QString folder = file.absoluteDir().dirName();
    return folder.isEmpty() ? file.fileName() : folder;
}

frmCompare* CompareWithPair(EditorSession& session, const QString& path, QWidget* parent) {
    PairAsItStands pair;
    {
        BusyGuard busy;
        pair = ReadPairAsItStands(CorePath(path));
    }
    if (!pair.list) {
        MsgBox(QStringLiteral("%1 cannot be compared. %2")
                   .arg(QDir::toNativeSeparators(path), QString::fromStdString(pair.failure)));
        return nullptr;
    }
    const QString name = PairName(path);
    QStringList notes;
    if (!pair.leftovers.empty()) {
        QStringList files;
        for (const auto& file : pair.leftovers)
            files << QString::fromStdString(file);
        notes << QStringLiteral(
                     "%1 holds %2 from an interrupted save; it is compared as it "
                     "stands and nothing there is repaired or written.")
                     .arg(name, files.join(QStringLiteral(", ")));
    }
    for (const auto& finding : pair.findings)
        notes << QString::fromStdString(finding);
    if (gComparison)
        gComparison->close();
    gComparison = new frmCompare(session, std::move(pair.list), name, notes, parent);
    gComparison->show();
    // The frame the window system adds is known once shown.
    KeepOnScreen(*gComparison, parent ? parent->window() : nullptr);
    return gComparison;
}

void cmdCompare_Click(EditorSession& session, QWidget* parent) {
    static FileDialog dialog;
    if (!dialog.ShowOpen(parent))
        return;
    CompareWithPair(session, dialog.FileName, parent);
}

}  // namespace kestrel::ui
