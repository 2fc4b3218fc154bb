#include "ui/list/ProblemTracker.h"

#include <QMetaObject>
#include <QUndoStack>
#include <algorithm>
#include <iterator>
#include <string>

#include "check/Validator.h"
#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"

namespace kestrel::ui {

namespace {

// An error by what it says, not where: records that only moved keep their
// errors without those counting as new.
template <typename It>
void addErrorKeys(It first, It last, std::vector<std::string>& keys) {
    for (; first != last; ++first) {
        const Problem& p = *first;
        if (p.severity != Severity::Error)
            continue;
        std::string key = std::to_string(static_cast<int>(p.kind)) + '\x1f' +
                          std::to_string(p.field) + '\x1f' + std::to_string(p.eqCode) + '\x1f' +
                          p.eqName + '\x1f' + p.message;
        keys.push_back(std::move(key));
    }
}

void addErrorKeys(const std::vector<Problem>& problems, std::vector<std::string>& keys) {
    addErrorKeys(problems.begin(), problems.end(), keys);
}

}  // namespace

ProblemTracker::ProblemTracker(Document& document, QObject* parent)
    : QObject(parent), mDocument(document) {
    EquipmentTableModel* model = document.model();
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                // A change of fields no check reads (Set value of an attack
                // on the whole list, say) leaves every problem as it was.
                for (int field = topLeft.column(); field <= bottomRight.column(); ++field) {
                    if (field < 0 || field >= kFieldCount || CheckReadsField(field)) {
                        recordsChanged(topLeft.row(), bottomRight.row());
                        return;
                    }
                }
            });
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { rowsInOrOut(first, last, true); });
    connect(model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) { rowsInOrOut(first, last, false); });
    connect(model, &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex&, int start, int end, const QModelIndex&, int destination) {
                rowsMoved(start, end, destination);
            });
    connect(&document, &Document::permuted, this, &ProblemTracker::recordsPermuted);
    connect(model, &QAbstractItemModel::layoutChanged, this, [this] {
        if (!mPermuted)
            recordsMoved();
    });
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
    // A problem is an error or a warning.
    return severity == Severity::Error ? mErrorCount : mLoad.size() + mList.size() - mErrorCount;
}

void ProblemTracker::recordsChanged(int firstRow, int lastRow) {
    // Rows of the list after a reordering, problems of the list before it.
    if (mPermuted) {
        recordsMoved();
        return;
    }
    mOnlyMoved = false;
    if (firstRow == lastRow && firstRow >= 0)
        mChanged.push_back(firstRow + 1);
    else
        mWhole = true;
    schedule();
}

namespace {
// Past a few records one check of the whole list and a reset of the rows
// cost less than a splice of rows for each.
constexpr std::size_t kFewRecords = 8;
}  // namespace

bool ProblemTracker::loadNamesRecords() const {
    return std::any_of(mLoad.begin(), mLoad.end(), [](const Problem& p) { return p.record != 0; });
}

void ProblemTracker::rowsInOrOut(int firstRow, int lastRow, bool in) {
    const auto count = static_cast<std::size_t>(lastRow - firstRow + 1);
    // Positions changed in place before it are not those of the list after.
    if (mWhole || mPermuted || !mChanged.empty() || mShiftCount != 0 || count > kFewRecords ||
        loadNamesRecords()) {
        recordsMoved();
        return;
    }
    mShiftAt = firstRow + 1;
    mShiftCount = in ? static_cast<std::int32_t>(count) : -static_cast<std::int32_t>(count);
    schedule();
}

void ProblemTracker::rowsMoved(int start, int end, int destination) {
    // Every record between where the rows were and where they went now
    // holds another one's values.
    const int low = std::min(start, destination);
    const int high = destination > end ? destination - 1 : end;
    if (mWhole || mPermuted || static_cast<std::size_t>(high - low + 1) > kFewRecords ||
        loadNamesRecords()) {
        recordsMoved();
        return;
    }
    for (int row = low; row <= high; ++row)
        mChanged.push_back(row + 1);
    schedule();
}

void ProblemTracker::recordsMoved() {
    // The load's findings of single records no longer name theirs; they go
    // with the next update, which the panel hears of.
    mDropRecordFindings = true;
    mWhole = true;
    mPermuted = false;
    mOrder.clear();
    schedule();
}

void ProblemTracker::recordsPermuted(const std::vector<std::int32_t>& order) {
    // Only a reordering of the problems as they stand can be moved along;
    // the load's findings of single records go with a move, as ever.
    if (mWhole || mPermuted || mLoadGiven || mDropRecordFindings || !mChanged.empty() ||
        mShiftCount != 0 || loadNamesRecords()) {
        recordsMoved();
        return;
    }
    mOrder = order;
    mPermuted = true;
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
    if (!mWhole && mChanged.empty() && mShiftCount == 0 && !mPermuted)
        return;
    emit aboutToUpdate();
    bool newError = false;
    // The same problems in another order are as many errors as before.
    bool counted = false;
    if (mPermuted && !mWhole) {
        counted = refreshPermuted();
    } else if (mWhole || mLoadGiven || mDropRecordFindings || mChanged.size() > kFewRecords) {
        emit problemsAboutToBeReset();
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
        mList = CheckList(mDocument.equipments());
        emit problemsReset();

        std::vector<std::string> keys;
        addErrorKeys(mLoad, keys);
        addErrorKeys(mList, keys);
        std::sort(keys.begin(), keys.end());
        newError = !std::includes(mErrorKeys.begin(), mErrorKeys.end(), keys.begin(), keys.end());
        mErrorKeys = std::move(keys);
    } else {
        newError = recheckChanged();
    }
    mWhole = false;
    mShiftCount = 0;
    mChanged.clear();
    mOnlyMoved = true;
    mPermuted = false;
    mOrder.clear();
    if (!counted)
        mErrorCount = CountOf(mLoad, Severity::Error) + CountOf(mList, Severity::Error);
    emit updated(newError);
}

bool ProblemTracker::refreshPermuted() {
    // The same problems of the same records at their new places: the errors
    // say what they said (no error names a position), and the count stays,
    // so the rows change in place.
    const std::size_t before = mList.size();
    mList = PermutedProblems(mDocument.equipments(), mOrder, std::move(mList));
    if (mList.size() != before) {
        // Not met while the problems kept are the check's: a reset is sure.
        emit problemsAboutToBeReset();
        emit problemsReset();
        return false;
    }
    if (!mList.empty()) {
        emit problemsChanged(static_cast<int>(mLoad.size()),
                             static_cast<int>(mLoad.size() + mList.size()) - 1);
        emit problemsPermuted(mOrder);
    }
    return true;
}

bool ProblemTracker::recheckChanged() {
    const Equipments& list = mDocument.equipments();
    mChanged.erase(std::remove_if(mChanged.begin(), mChanged.end(),
                                  [&](std::int32_t position) { return position > list.Count(); }),
                   mChanged.end());
    std::vector<std::string> gone;
    std::vector<std::string> added;
    if (mShiftCount != 0) {
        std::vector<Long> codes;
        applySplice(InsertOrRemoveSplice(list, mShiftAt, mShiftCount, mList, codes), gone, added);
        for (ProblemSplice& splice : DuplicateSplices(list, std::move(codes), mList))
            applySplice(std::move(splice), gone, added);
    }
    // All at once: each record's re-check counts on the others' problems
    // being those of the list as it stands.
    const bool permuted = mOnlyMoved && mShiftCount == 0;
    for (ProblemSplice& splice : RecheckSplices(list, mChanged, mList, permuted))
        applySplice(std::move(splice), gone, added);
    // The errors now are those before less gone plus added: one is new
    // exactly when added holds it more often than gone does.
    std::sort(gone.begin(), gone.end());
    std::sort(added.begin(), added.end());
    return !std::includes(gone.begin(), gone.end(), added.begin(), added.end());
}

void ProblemTracker::applySplice(ProblemSplice splice, std::vector<std::string>& gone,
                                 std::vector<std::string>& added) {
    const auto first = static_cast<long>(splice.first);
    const auto removed = static_cast<long>(splice.removed);
    const auto inserted = static_cast<long>(splice.inserted.size());
    const long kept = std::min(removed, inserted);

    const std::size_t goneFrom = gone.size();
    const std::size_t addedFrom = added.size();
    addErrorKeys(mList.begin() + first, mList.begin() + first + removed, gone);
    addErrorKeys(splice.inserted, added);
    for (auto key = gone.begin() + static_cast<long>(goneFrom); key != gone.end(); ++key) {
        auto at = std::lower_bound(mErrorKeys.begin(), mErrorKeys.end(), *key);
        if (at != mErrorKeys.end() && *at == *key)
            mErrorKeys.erase(at);
    }
    for (auto key = added.begin() + static_cast<long>(addedFrom); key != added.end(); ++key)
        mErrorKeys.insert(std::upper_bound(mErrorKeys.begin(), mErrorKeys.end(), *key), *key);

    // Rows are those of problems(): the load's findings come first.
    const auto row = static_cast<int>(mLoad.size() + splice.first);
    if (removed > kept) {
        emit problemsAboutToBeRemoved(row + static_cast<int>(kept),
                                      row + static_cast<int>(removed) - 1);
        mList.erase(mList.begin() + first + kept, mList.begin() + first + removed);
        emit problemsRemoved();
    } else if (inserted > kept) {
        emit problemsAboutToBeInserted(row + static_cast<int>(kept),
                                       row + static_cast<int>(inserted) - 1);
        mList.insert(mList.begin() + first + kept,
                     std::make_move_iterator(splice.inserted.begin() + kept),
                     std::make_move_iterator(splice.inserted.end()));
        emit problemsInserted();
    }
    if (kept > 0) {
        std::move(splice.inserted.begin(), splice.inserted.begin() + kept, mList.begin() + first);
        emit problemsChanged(row, row + static_cast<int>(kept) - 1);
    }
    const std::size_t after = splice.first + static_cast<std::size_t>(inserted);
    if (splice.shift != 0 && after < mList.size()) {
        ShiftRecords(mList, after, splice.shift);
        emit problemsChanged(static_cast<int>(mLoad.size() + after),
                             static_cast<int>(mLoad.size() + mList.size()) - 1);
    }
}

}  // namespace kestrel::ui
