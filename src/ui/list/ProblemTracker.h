#pragma once

#include <QObject>
#include <cstdint>
#include <string>
#include <vector>

#include "check/Problem.h"
#include "check/Validator.h"

namespace kestrel::ui {

class Document;

// Keeps the problems of the open list up to date as it changes. It listens
// to the list's table model: a record changed in place is checked again on
// its own (with the duplicate codes), as are the few records a move passes;
// a few records added or removed have their own problems taken in or out and
// those after them renumbered. Anything larger has the whole list checked.
// The work is done once per command, when the undo stack moves, or soon
// after a change made outside it.
//
// What the load found in the files is kept beside the list's problems until
// the list is saved; those of single records go once records move, as their
// positions no longer name them.
class ProblemTracker : public QObject {
    Q_OBJECT
public:
    explicit ProblemTracker(Document& document, QObject* parent = nullptr);

    // The load's findings for the list just loaded.
    void setLoadProblems(std::vector<Problem> problems);
    // The files now hold the list: the load's findings no longer apply.
    void forgetLoadProblems();

    // Checks what changed since the last call; emits aboutToUpdate and
    // updated around the change when anything was checked.
    void refresh();

    // The problems are the load's findings, then the list's, in the check's
    // order; they change only between aboutToUpdate and updated, each change
    // announced as the signals below say, with rows of problems().
    const std::vector<Problem>& loadProblems() const { return mLoad; }
    const std::vector<Problem>& listProblems() const { return mList; }
    // Both, as one list.
    std::vector<Problem> problems() const;
    std::size_t count(Severity severity) const;

signals:
    void aboutToUpdate();
    // All of them change.
    void problemsAboutToBeReset();
    void problemsReset();
    // The rows first to last go, or come in before the row first.
    void problemsAboutToBeRemoved(int first, int last);
    void problemsRemoved();
    void problemsAboutToBeInserted(int first, int last);
    void problemsInserted();
    // The rows first to last hold other problems.
    void problemsChanged(int first, int last);
    // The records were put in another order, order[p] the place (from 0)
    // the record now at p had, and their problems moved with them.
    void problemsPermuted(const std::vector<std::int32_t>& order);
    // newError: an error is there that was not there before the change.
    void updated(bool newError);

private:
    void recordsChanged(int firstRow, int lastRow);
    void rowsInOrOut(int firstRow, int lastRow, bool in);
    void rowsMoved(int start, int end, int destination);
    void recordsMoved();
    void recordsPermuted(const std::vector<std::int32_t>& order);
    // False when the problems changed in number, and so maybe in kind.
    bool refreshPermuted();
    bool loadNamesRecords() const;
    void schedule();
    // Brings the list's problems up to date one splice at a time; returns
    // whether an error came that was not there.
    bool recheckChanged();
    void applySplice(ProblemSplice splice, std::vector<std::string>& gone,
                     std::vector<std::string>& added);

    Document& mDocument;
    std::vector<Problem> mLoad;
    std::vector<Problem> mList;
    // Kept apart until refresh, so that what is shown never changes unannounced.
    std::vector<Problem> mNewLoad;
    bool mLoadGiven = false;
    bool mDropRecordFindings = false;
    std::vector<std::string> mErrorKeys;  // of the errors shown, sorted
    std::vector<std::int32_t> mChanged;   // positions changed in place
    bool mOnlyMoved = true;               // mChanged holds only rows moved among themselves
    // Records inserted at (count > 0) or removed from (count < 0) a
    // position, before the changes in place; count 0 when none.
    std::int32_t mShiftAt = 0;
    std::int32_t mShiftCount = 0;
    bool mWhole = true;
    // A reordering of the whole list, the only change since the last
    // update: its problems are moved along rather than checked again.
    std::vector<std::int32_t> mOrder;
    bool mPermuted = false;
    bool mScheduled = false;
    // Of the problems shown, counted once an update: the panel asks after
    // every command, and a count reads every problem.
    std::size_t mErrorCount = 0;
};

}  // namespace kestrel::ui
