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
std::vector<std::string> errorKeys(const std::vector<Problem>& problems) {
    std::vector<std::string> keys;
    for (const Problem& p : problems) {
        if (p.severity != Severity::Error)
            continue;
        std::string key = std::to_string(static_cast<int>(p.kind)) + '\x1f' +
                          std::to_string(p.field) + '\x1f' + std::to_string(p.eqCode) + '\x1f' +
                          p.eqName + '\x1f' + p.message;
        keys.push_back(std::move(key));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
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
        mLoad.clear();
        mChanged.clear();
        mWhole = true;
        schedule();
    });
    connect(document.undoStack(), &QUndoStack::indexChanged, this, &ProblemTracker::refresh);
}

void ProblemTracker::setLoadProblems(std::vector<Problem> problems) {
    mLoad = std::move(problems);
    mWhole = true;
    refresh();
}

void ProblemTracker::forgetLoadProblems() {
    if (mLoad.empty())
        return;
    mLoad.clear();
    mWhole = true;
    refresh();
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

    const std::vector<std::string> before = errorKeys(mAll);
    mAll = mLoad;
    mAll.insert(mAll.end(), mList.begin(), mList.end());
    const std::vector<std::string> after = errorKeys(mAll);
    emit updated(!std::includes(before.begin(), before.end(), after.begin(), after.end()));
}

}  // namespace kestrel::ui
