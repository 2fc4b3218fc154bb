#include "ui/document/EditorSession.h"

#include <algorithm>

#include "check/Validator.h"
#include "model/FieldTable.h"
#include "storage/EquipmentFiles.h"
#include "storage/PairPaths.h"
#include "text/CodePage.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/PathText.h"

namespace kestrel::ui {

namespace {
QString shown(const std::string& bytes) {
    return QString::fromStdString(CodePageToUtf8(bytes));
}
}  // namespace

EditorSession::EditorSession(QObject* parent) : QObject(parent) {
    mDocument = new Document(this);
    // Commands put the selection back on undo and redo; without a list
    // window it is the session's own.
    mDocument->setSelectionAccess(SelectionAccess{
        [this] {
            if (mView)
                return mView->gridSelection();
            const std::vector<std::int32_t> selected = selectedPositions();
            const std::int32_t current = currentPosition();
            std::int32_t other = current;
            if (!selected.empty())
                other = current == selected.front() ? selected.back() : selected.front();
            return GridSelection{current, 0, other, kFieldCount - 1};
        },
        [this](const GridSelection& s) {
            if (mView) {
                mView->setGridSelection(s);
                return;
            }
            std::vector<std::int32_t> positions;
            const std::int32_t n = count();
            for (std::int32_t p = std::max(1, std::min(s.row, s.rowSel));
                 p <= std::min(n, std::max(s.row, s.rowSel)); ++p)
                positions.push_back(p);
            selectPositions(positions, std::min(s.row, n));
        }});
    // A new list starts with nothing selected.
    connect(mDocument->model(), &QAbstractItemModel::modelReset, this, [this] {
        mSelected.clear();
        mCurrent = 0;
    });
}

EditorSession::~EditorSession() = default;

QString EditorSession::pairPath() const {
    return UiPath(mDocument->equipments().DataPath());
}

std::vector<std::int32_t> EditorSession::selectedPositions() const {
    if (mView)
        return mView->selectedPositions();
    std::vector<std::int32_t> shown;
    for (std::int32_t p : mSelected) {
        if (p >= 1 && p <= count())
            shown.push_back(p);
    }
    return shown;
}

std::int32_t EditorSession::currentPosition() const {
    if (mView)
        return mView->currentPosition();
    return mCurrent >= 1 && mCurrent <= count() ? mCurrent : 0;
}

void EditorSession::selectPositions(const std::vector<std::int32_t>& positions,
                                    std::int32_t current) {
    if (mView) {
        mView->selectPositions(positions, current);
        return;
    }
    mSelected.clear();
    for (std::int32_t p : positions) {
        if (p >= 1 && p <= count())
            mSelected.push_back(p);
    }
    std::sort(mSelected.begin(), mSelected.end());
    mSelected.erase(std::unique(mSelected.begin(), mSelected.end()), mSelected.end());
    if (current < 1 || current > count())
        current = mSelected.empty() ? (count() > 0 ? 1 : 0) : mSelected.front();
    if (mSelected.empty() && current > 0)
        mSelected.push_back(current);
    mCurrent = current;
}

std::int32_t EditorSession::shownNeighbour(std::int32_t position, int step) const {
    if (mView)
        return mView->shownNeighbour(position, step);
    if (position == 0)
        return count() == 0 ? 0 : (step > 0 ? 1 : count());
    const std::int64_t next = static_cast<std::int64_t>(position) + step;
    return next >= 1 && next <= count() ? static_cast<std::int32_t>(next) : 0;
}

void EditorSession::revealRecord(std::int32_t position) {
    if (position < 1 || position > count())
        return;
    if (mView)
        mView->reveal(position);
    else
        selectPositions({position}, position);
}

void EditorSession::showRecord(std::int32_t position) {
    if (position < 1 || position > count())
        return;
    if (mView)
        mView->showPosition(position);
    else
        selectPositions({position}, position);
}

std::int32_t EditorSession::editedRecord() const {
    return mdlGeneral::gCurrentIndex;
}

void EditorSession::setEditedRecord(std::int32_t position) {
    mdlGeneral::gCurrentIndex = position;
}

LoadReport EditorSession::readPair(const QString& path) {
    auto equipments = std::make_unique<Equipments>();
    equipments->setDataPath(CorePath(path));
    LoadReport report = LoadEquipments(*equipments);
    const std::string found = report.message();
    mIncompletePair = report.complete ? std::string() : FollowLinks(equipments->DataPath());
    mIncompleteFound = report.complete ? std::string() : found;
    if (!found.empty())
        MsgBox(shown(found));
    // What the load only reported (a kept mask, bytes after the records)
    // leaves the list as on disk.
    mDocument->replaceAll(std::move(equipments), report.complete);
    emit pairOpened(path);
    return report;
}

SaveChangesAnswer EditorSession::unsavedChangesDefault() const {
    return lastLoadComplete() ? SaveChangesAnswer::Save : SaveChangesAnswer::Discard;
}

bool EditorSession::maySaveTo(const std::string& path) {
    if (!IsEquipmentFileName(path)) {
        MsgBox(shown(path) + QStringLiteral(" is not an equipment file: its name must end in .EQP. "
                                            "Nothing was saved."));
        return false;
    }
    if (lastLoadComplete() || FollowLinks(path) != mIncompletePair)
        return true;
    const QString question =
        QStringLiteral("This list was not read completely from the pair it came from:\n") +
        shown(mIncompleteFound) +
        QStringLiteral(
            "\n\nSaving it there replaces both files with what was "
            "read. Save anyway?");
    return prompts().saveOverIncomplete(dialogParent(), question);
}

bool EditorSession::writePair(const QString& path) {
    emit aboutToSave(path);
    Equipments& list = equipments();
    list.setDataPath(CorePath(path));
    SaveResult saved;
    {
        BusyGuard busy;
        saved = SaveEquipments(list);
    }
    if (!saved.ok) {
        MsgBox(shown(SaveFailureMessage(list, saved)));
        return false;
    }
    mDocument->markSaved();
    emit pairSaved(path);
    return true;
}

bool EditorSession::loadPair(const QString& path) {
    return mHost && mHost->loadPair(path);
}

bool EditorSession::reloadPair() {
    return mHost && mHost->reloadPair();
}

void EditorSession::adoptList(std::unique_ptr<Equipments> equipments, const QString& pairPath) {
    if (mHost)
        mHost->adoptList(std::move(equipments), pairPath);
}

bool EditorSession::settleBeforeReplacing() {
    return !mHost || mHost->settleBeforeReplacing();
}

bool EditorSession::saveList() {
    return mHost && mHost->saveList();
}

QWidget* EditorSession::dialogParent() const {
    return mHost ? mHost->dialogParent() : nullptr;
}

}  // namespace kestrel::ui
