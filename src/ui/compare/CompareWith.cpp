#include "ui/compare/CompareWith.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include "storage/PairAsItStands.h"
#include "ui/compare/frmCompare.h"
#include "ui/compare/frmMerge.h"
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
QPointer<frmMerge> gMerge;

// What reading the other pair found, for the notes above the listing.
QStringList readNotes(const QString& name, const PairAsItStands& pair) {
    QStringList notes;
    if (!pair.leftovers.empty()) {
        QStringList files;
        for (const auto& file : pair.leftovers)
            files << QString::fromStdString(file);
        notes << QStringLiteral(
                     "%1 holds %2 from an interrupted save; it is read as it "
                     "stands and nothing there is repaired or written.")
                     .arg(name, files.join(QStringLiteral(", ")));
    }
    for (const auto& finding : pair.findings)
        notes << QString::fromStdString(finding);
    return notes;
}

// The file's identity where it exists, so that two spellings of one path match.
QString samePairKey(const QString& path) {
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? file.absoluteFilePath() : canonical;
}
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
    const QStringList notes = readNotes(name, pair);
    if (gComparison)
        gComparison->close();
    gComparison = new frmCompare(session, std::move(pair.list), name, notes, parent);
    gComparison->show();
    // The frame the window system adds is known once shown.
    KeepOnScreen(*gComparison, parent ? parent->window() : nullptr);
    return gComparison;
}

frmMerge* MergeWithPairs(EditorSession& session, const QString& basePath,
                         const QStringList& modPaths, QWidget* parent) {
    QStringList paths{basePath};
    paths << modPaths;
    QStringList seen;
    if (!session.pairPath().isEmpty())
        seen << samePairKey(session.pairPath());
    for (const QString& path : paths) {
        const QString key = samePairKey(path);
        if (seen.contains(key)) {
            MsgBox(QStringLiteral("%1 is already in the merge: choose the base and each mod "
                                  "once, and not the open pair.")
                       .arg(QDir::toNativeSeparators(path)));
            return nullptr;
        }
        seen << key;
    }
    std::unique_ptr<Equipments> base;
    std::vector<std::unique_ptr<Equipments>> mods;
    QStringList names, notes;
    for (const QString& path : paths) {
        PairAsItStands pair;
        {
            BusyGuard busy;
            pair = ReadPairAsItStands(CorePath(path));
        }
        if (!pair.list) {
            MsgBox(QStringLiteral("%1 cannot be merged. %2")
                       .arg(QDir::toNativeSeparators(path), QString::fromStdString(pair.failure)));
            return nullptr;
        }
        const QString name = PairName(path);
        notes << readNotes(name, pair);
        if (!base) {
            base = std::move(pair.list);
            continue;
        }
        names << name;
        mods.push_back(std::move(pair.list));
    }
    if (gMerge)
        gMerge->close();
    gMerge = new frmMerge(session, std::move(base), std::move(mods), names, notes, parent);
    gMerge->show();
    KeepOnScreen(*gMerge, parent ? parent->window() : nullptr);
    return gMerge;
}

void cmdMerge_Click(EditorSession& session, QWidget* parent) {
    static FileDialog dialog;
    dialog.DialogTitle = QStringLiteral("Base pair the open list was made from");
    if (!dialog.ShowOpen(parent))
        return;
    const QString base = dialog.FileName;
    QStringList mods;
    dialog.DialogTitle = QStringLiteral("Mod to merge with the open list");
    do {
        if (!dialog.ShowOpen(parent))
            return;
        mods << dialog.FileName;
    } while (session.prompts().yesNo(
        parent, QStringLiteral("%1 chosen to merge with the open list. Add another mod?")
                    .arg(mods.size() == 1 ? QStringLiteral("One mod")
                                          : QStringLiteral("%1 mods").arg(mods.size()))));
    MergeWithPairs(session, base, mods, parent);
}

void cmdCompare_Click(EditorSession& session, QWidget* parent) {
    static FileDialog dialog;
    if (!dialog.ShowOpen(parent))
        return;
    CompareWithPair(session, dialog.FileName, parent);
}

}  // namespace kestrel::ui
