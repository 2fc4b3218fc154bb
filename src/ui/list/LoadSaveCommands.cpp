#include "ui/list/frmEqs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "model/FieldTable.h"
#include "storage/EquipmentFiles.h"
#include "ui/compare/CompareWith.h"
#include "ui/desktop/ChangedOnDiskBar.h"
#include "ui/desktop/EarlierVersions.h"
#include "ui/desktop/LoadMenu.h"
#include "ui/desktop/PairDrop.h"
#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/document/UndoKeys.h"
#include "ui/list/BulkCommands.h"
#include "ui/list/ColumnFit.h"
#include "ui/list/FilterBar.h"
#include "ui/list/FitValuesCommand.h"
#include "ui/list/HelpWindow.h"
#include "ui/list/ListCommands.h"
#include "ui/list/LoadedPairProblems.h"
#include "ui/list/OpenPairDisplay.h"
#include "ui/list/ProblemsPanel.h"
#include "ui/list/RecordCounts.h"
#include "ui/list/RecordFilterProxy.h"
#include "ui/list/RecordRows.h"
#include "ui/list/SaveChecks.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/Grid.h"
#include "ui/platform/Icons.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/PathText.h"
#include "ui/platform/Twips.h"
#include "ui/platform/WindowPlaces.h"
#include "vocabulary/LookupTables.h"

// The Load and Save commands and the other ways a pair comes into the list.
namespace kestrel::ui {

void frmEqs::cmdLoad_Click() {
    if (!SettleBeforeReplacing())
        return;
    if (!mCd1.ShowOpen(this))
        return;
    RememberFolderOf(mCd1.FileName);
    readPair(mCd1.FileName);
}

bool frmEqs::LoadPair(const QString& path) {
    if (!SettleBeforeReplacing())
        return false;
    mCd1.FileName = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    readPair(mCd1.FileName);
    return true;
}

bool frmEqs::ReloadPair() {
    const QString path = PairPath();
    if (path.isEmpty() || !settlePropertiesEdits())
        return false;
    readPair(path);
    return true;
}

QString frmEqs::PairPath() const {
    return UiPath(mdlGeneral::gEquipments().DataPath());
}

void frmEqs::AdoptList(std::unique_ptr<Equipments> equipments, const QString& pairPath) {
    // The save dialog proposes the pair the list belongs to.
    if (!pairPath.isEmpty())
        mCd1.FileName = QDir::toNativeSeparators(QFileInfo(pairPath).absoluteFilePath());
    equipments->setDataPath(CorePath(pairPath));
    Document& document = mdlGeneral::document();
    document.replaceAll(std::move(equipments), true);
    document.markUnsaved();
    ShowOpenPair(*this);
    emit mSession.pairOpened(pairPath);
}

void frmEqs::readPair(const QString& path) {
    BusyGuard busy(mUnitList);
    const LoadReport report = mSession.readPair(path);
    if (ProblemsPanel* problems = FindProblemsPanel(*this))
        problems->afterLoad(LoadedPairProblems(mSession.equipments(), report));
    ShowOpenPair(*this);
}

void frmEqs::cmdSave_Click() {
    SaveList();
}

bool frmEqs::SaveList() {
    // Saving back to the pair that is open is the usual case: it is proposed.
    const std::string& open = mSession.equipments().DataPath();
    if (!open.empty())
        mCd1.FileName = QDir::toNativeSeparators(UiPath(open));
    if (!(mSaveBack && !open.empty()) && !mCd1.ShowSave(this))
        return false;
    RememberFolderOf(mCd1.FileName);
    if (!mSession.maySaveTo(CorePath(mCd1.FileName)) || !mayReplace())
        return false;
    // What the file cannot hold as it stands is agreed to first, and the list
    // then holds what the file will: what is shown is what is saved.
    Document& document = mSession.document();
    const QUndoCommand* fit = nullptr;
    if (std::vector<RecordFit> fits = FitsOfASave(document.equipments()); !fits.empty()) {
        if (!MayFitValues(this, document.equipments(), fits))
            return false;
        auto* command = new FitValuesCommand(document, std::move(fits));
        document.undoStack()->push(command);
        fit = command;
    }
    const bool saved = mSession.writePair(mCd1.FileName);
    if (!saved) {
        // Nothing was saved: the list goes back to the values that were shown.
        QUndoStack* stack = document.undoStack();
        if (fit && stack->index() > 0 && stack->command(stack->index() - 1) == fit)
            stack->undo();
    }
    ShowOpenPair(*this);
    if (ProblemsPanel* problems = FindProblemsPanel(*this))
        problems->afterSave(saved);
    return saved;
}

bool frmEqs::mayReplace() {
    const QFileInfo chosen(mCd1.FileName);
    const std::string& open = mSession.equipments().DataPath();
    if (!open.empty()) {
        const QFileInfo current(UiPath(open));
        // The same files under another spelling of the path are still the open pair.
        const bool same = chosen.exists() && current.exists()
                              ? chosen.canonicalFilePath() == current.canonicalFilePath()
                              : chosen.absoluteFilePath() == current.absoluteFilePath();
        if (same)
            return true;
    }
    const EquipmentFilePaths paths = PathsFor(CorePath(mCd1.FileName));
    QStringList existing;
    for (const std::string& path : {paths.binary, paths.nameList}) {
        const QFileInfo file(UiPath(path));
        if (file.exists())
            existing << file.fileName();
    }
    if (existing.isEmpty())
        return true;
    const QString folder = QDir::toNativeSeparators(chosen.absolutePath());
    const QString text =
        existing.size() == 1
            ? QStringLiteral("%1 in %2 already exists.\nReplace it?").arg(existing[0], folder)
            : QStringLiteral("%1 and %2 in %3 already exist.\nReplace them?")
                  .arg(existing[0], existing[1], folder);
    return AskYesNo(this, text);
}

}  // namespace kestrel::ui
