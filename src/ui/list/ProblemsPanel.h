#pragma once

#include <QDockWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <tuple>
#include <vector>

#include "check/Problem.h"

class QMainWindow;
class QModelIndex;
class QSortFilterProxyModel;
class QTableView;
class QToolButton;

namespace kestrel::ui {

class ProblemTracker;
class ProblemsModel;

// The "Problems" dock at the bottom of the list window: one row per problem
// of the open list, and a counter in the status bar. The dock stays out of
// the way while the list has no problem; it comes up by itself after a load
// that found problems and after a change that brings a new error, while new
// warnings only change the counter, whose click brings the dock back.
// Activating a row leads to the record and the field's control.
class ProblemsPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit ProblemsPanel(QMainWindow& window);
    ~ProblemsPanel() override;

    ProblemTracker& tracker() const { return *mTracker; }
    ProblemsModel& model() const { return *mModel; }
    QTableView* view() const { return mView; }
    QToolButton* counter() const { return mCounter; }

    // Brings the record at position into view in the list and makes it the
    // current row. The default selects the grid row; a list window that can
    // hide records (a filter) gives one that shows the record first.
    using RevealRecord = std::function<void(std::int32_t position)>;
    void setRevealRecord(RevealRecord reveal) { mReveal = std::move(reveal); }

    // A list was loaded and the load found loadProblems in its files.
    void afterLoad(std::vector<Problem> loadProblems);
    // A save wrote the list, or refused it for the errors the dock now
    // shows and selects.
    void afterSave(bool written);

    // Shows the dock with the focus in its list.
    void showPanel();
    // Leads to the problem of the view's row: the record in the grid and
    // the properties window with the focus in the field's control.
    void activate(const QModelIndex& viewIndex);

private:
    void updated(bool newError);
    // Shows the dock; the first time at a height that leaves the grid most
    // of the window.
    void bringUp();
    void updateCounter();
    // The name and message columns as wide as what they show; done when the
    // dock is next shown while it is hidden.
    void fitColumns();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ProblemTracker* mTracker = nullptr;
    ProblemsModel* mModel = nullptr;
    QSortFilterProxyModel* mSorted = nullptr;
    QTableView* mView = nullptr;
    QToolButton* mCounter = nullptr;
    RevealRecord mReveal;
    bool mSized = false;
    bool mHadRows = false;  // before the update under way
    // What tells the selected problems and the current one before it, to
    // be picked out again where a new order of the records has put them.
    // Kept without their texts: it is taken before every update.
    struct Picked {
        Long record = 0;
        Long eqCode = 0;
        int kind = 0;
        int severity = 0;
        int field = -1;
        std::size_t text = 0;  // a hash of the name, or of the message of the pair's own
        auto key() const { return std::tie(record, eqCode, kind, severity, field, text); }
        bool operator<(const Picked& other) const { return key() < other.key(); }
        bool operator==(const Picked& other) const { return key() == other.key(); }
    };
    static Picked pickedOf(const Problem& problem);
    std::vector<Picked> mPicked;
    std::optional<Picked> mCurrent;
    void pickAgain(const std::vector<std::int32_t>& order);
    bool mFitPending = false;
};

// Creates the dock and its counter on the list window.
ProblemsPanel* InstallProblemsPanel(QMainWindow& window);
// The list window's dock, if it has one.
ProblemsPanel* FindProblemsPanel(const QWidget& window);

}  // namespace kestrel::ui
