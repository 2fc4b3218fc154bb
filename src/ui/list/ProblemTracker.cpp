#include "ui/list/ProblemTracker.h"

#include <QMetaObject>
#include <QUndoStack>
#include <algorithm>
#include <string>

#include "check/Validator.h"
#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"

namespace kestrel::ui {

namespace {

// An error by what it says, not where: records that only moved keep their
// errors without those counting as new.
void addErrorKeys(const std::vector<Problem>& problems, std::vector<std::string>& keys) {
    for (const Problem& p : problems) {
        if (p.severity != Severity::Error)
            continue;
        std::string key = std::to_string(static_cast<int>(p.kind)) + '\x1f' +
                          std::to_string(p.field) + '\x1f' + std::to_string(p.eqCode) + '\x1f' +
                          p.eqName + '\x1f' + p.message;
        keys.push_back(std::move(key));
    }
}

}  // namespace

ProblemTracker::ProblemTracker(Document& document, QObject* parent)
    : QObject(parent), mDocument(document) {
    EquipmentTableModel* model = document.model();
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                recordsChanged(topLeft.row(), bottomRight.row());
            });
    connect(model, &QAbstractItemModel::rowsInserted, this, &ProblemTracker::recordsMoved);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &ProblemTracker::recordsMoved);
    connect(model, &QAbstractItemModel::rowsMoved, this, &ProblemTracker::recordsMoved);
    connect(model, &QAbstractItemModel::layoutChanged, this, &ProblemTracker::recordsMoved);
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        // Another list: what the last load found was about the one before.
        mNewLoad.clear();
        mLoadGiven = true;
        mChanged.clear();
        mWhole = true;
        schedule();
    });
    connect(document.undoStack(), &QUndoStack::indexChanged, this, &ProblemTracker::refresh);
}

void ProblemTracker::setLoadProblems(std::vector<Problem> problems) {
    mNewLoad = std::move(problems);
    mLoadGiven = true;
    mWhole = true;
    refresh();
}

void ProblemTracker::forgetLoadProblems() {
    if (mLoad.empty())
        return;
    mNewLoad.clear();
    mLoadGiven = true;
    mWhole = true;
    refresh();
}

std::vector<Problem> ProblemTracker::problems() const {
    std::vector<Problem> all = mLoad;
    all.insert(all.end(), mList.begin(), mList.end());
    return all;
}

std::size_t ProblemTracker::count(Severity severity) const {
    return CountOf(mLoad, severity) + CountOf(mList, severity);
}

void ProblemTracker::recordsChanged(int firstRow, int lastRow) {
    if (firstRow == lastRow && firstRow >= 0)
        mChanged.push_back(firstRow + 1);
    else
        mWhole = true;
    schedule();
}

void ProblemTracker::recordsMoved() {
    mLoad.erase(
        std::remove_if(mLoad.begin(), mLoad.end(), [](const Problem& p) { return p.record != 0; }),
        mLoad.end());
    mWhole = true;
    schedule();
}

void ProblemTracker::schedule() {
    if (mScheduled)
        return;
    mScheduled = true;
    QMetaObject::invokeMethod(this, &ProblemTracker::refresh, Qt::QueuedConnection);
}

void ProblemTracker::refresh() {
    mScheduled = false;
    if (!mWhole && mChanged.empty())
        return;
    emit aboutToUpdate();
    if (mLoadGiven)
        mLoad = std::move(mNewLoad);
    mNewLoad.clear();
    mLoadGiven = false;
    if (mDropRecordFindings) {
        mLoad.erase(std::remove_if(mLoad.begin(), mLoad.end(),
                                   [](const Problem& p) { return p.record != 0; }),
                    mLoad.end());
        mDropRecordFindings = false;
    }
    const Equipments& list = mDocument.equipments();
    // Each record's re-check looks at the whole list for duplicate codes,
    // so past a few records one check of the list is cheaper.
    constexpr std::size_t kFewRecords = 8;
    if (mWhole || mChanged.size() > kFewRecords) {
        mList = CheckList(list);
    } else {
        std::sort(mChanged.begin(), mChanged.end());
        mChanged.erase(std::unique(mChanged.begin(), mChanged.end()), mChanged.end());
        for (std::int32_t position : mChanged) {
            if (position <= list.Count())
                RecheckRecord(list, position, mList);
        }
    }
    mWhole = false;
    mChanged.clear();

    std::vector<std::string> keys;
    addErrorKeys(mLoad, keys);
    addErrorKeys(mList, keys);
    std::sort(keys.begin(), keys.end());
    const bool newError =
        !std::includes(mErrorKeys.begin(), mErrorKeys.end(), keys.begin(), keys.end());
    mErrorKeys = std::move(keys);
    emit updated(newError);
}

}  // namespace kestrel::ui
