#include "ui/list/ProblemsPanel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <string>

#include "model/FieldTable.h"
#include "ui/document/Document.h"
#include "ui/list/ProblemTracker.h"
#include "ui/list/ProblemsModel.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/Grid.h"
#include "ui/platform/RowRuns.h"
#include "ui/properties/frmEquipment.h"

namespace kestrel::ui {

namespace {

QString counted(std::size_t n, const char* one, const char* many) {
    return QString::number(n) + QLatin1Char(' ') + QString::fromLatin1(n == 1 ? one : many);
}

constexpr int kFittedRows = 100;

// The panel sorts its rows and filters none. The base class asks its filter
// about every changed row, and a sort changes every row of a long list.
class SortedProblems : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int, const QModelIndex&) const override { return true; }
};

void selectGridRow(std::int32_t position) {
    Grid& grid = mdlGeneral::UnitList();
    grid.setRow(position);
    grid.ShowRow(position);
}

}  // namespace

ProblemsPanel::ProblemsPanel(QMainWindow& window)
    : QDockWidget(QStringLiteral("Problems"), &window) {
    setObjectName(QStringLiteral("Problems"));
    setAccessibleName(QStringLiteral("Problems"));
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);

    mTracker = new ProblemTracker(mdlGeneral::document(), this);
    mModel = new ProblemsModel(this);
    mSorted = new SortedProblems(this);
    mSorted->setSourceModel(mModel);
    mSorted->setSortRole(ProblemsModel::SortRole);

    mView = new QTableView(this);
    mView->setObjectName(QStringLiteral("ProblemList"));
    mView->setAccessibleName(QStringLiteral("Problems"));
    mView->setModel(mSorted);
    mView->setSelectionBehavior(QAbstractItemView::SelectRows);
    mView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mView->setTabKeyNavigation(false);
    mView->setWordWrap(false);
    mView->setShowGrid(false);
    mView->setAlternatingRowColors(true);
    mView->verticalHeader()->hide();
    // Fixed row heights keep a list of every record's problem cheap to show.
    mView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    mView->verticalHeader()->setDefaultSectionSize(std::max(fontMetrics().height() + 6, 20));
    QHeaderView* header = mView->horizontalHeader();
    header->setStretchLastSection(true);
    header->setSectionResizeMode(ProblemsModel::SeverityColumn, QHeaderView::Fixed);
    header->resizeSection(ProblemsModel::SeverityColumn, header->minimumSectionSize() + 12);
    header->resizeSection(ProblemsModel::RecordColumn,
                          fontMetrics().horizontalAdvance(QStringLiteral("Record 32767")));
    header->resizeSection(ProblemsModel::NameColumn,
                          fontMetrics().horizontalAdvance(QStringLiteral("Equipment name  ")) * 2);
    header->resizeSection(ProblemsModel::FieldColumn,
                          fontMetrics().horizontalAdvance(QStringLiteral("NonOrganicTransport")));
    // Fitting a column to its texts measures this many rows at most, those
    // in view first: Qt's own bound is a thousand, which a hidden panel
    // takes from the top of a long list.
    header->setResizeContentsPrecision(kFittedRows);
    mView->setSortingEnabled(true);
    // Until a heading is clicked the rows keep the check's order.
    header->setSortIndicator(-1, Qt::AscendingOrder);
    mSorted->sort(-1);
    // Unsorted, the rows are the model's: a change of every row of a long
    // list (after a sort of the records) needs no sorting of them anew.
    mSorted->setDynamicSortFilter(false);
    connect(header, &QHeaderView::sortIndicatorChanged, mSorted,
            [this](int column) { mSorted->setDynamicSortFilter(column >= 0); });
    setWidget(mView);
    connect(mView, &QAbstractItemView::activated, this, &ProblemsPanel::activate);

    mCounter = new QToolButton(this);
    mCounter->setObjectName(QStringLiteral("ProblemCount"));
    mCounter->setAutoRaise(true);
    mCounter->setToolButtonStyle(Qt::ToolButtonTextOnly);
    mCounter->setToolTip(QStringLiteral("Show the problems of the list"));
    mCounter->hide();
    connect(mCounter, &QToolButton::clicked, this, &ProblemsPanel::showPanel);
    window.statusBar()->addPermanentWidget(mCounter);

    mModel->follow(*mTracker);
    connect(mTracker, &ProblemTracker::aboutToUpdate, this, [this] {
        mHadRows = mModel->rowCount() > 0;
        mPicked.clear();
        mCurrent.reset();
        const auto problemOf = [this](const QModelIndex& index) {
            return pickedOf(
                mModel->problem(mSorted->data(index, ProblemsModel::ProblemRole).toInt()));
        };
        for (int row : RowsOf(mView->selectionModel()->selection()))
            mPicked.push_back(problemOf(mSorted->index(row, 0)));
        if (const QModelIndex current = mView->currentIndex(); current.isValid())
            mCurrent = problemOf(current);
    });
    // Rows that change in place keep their selection: after a sort that would
    // be other records' problems.
    connect(mTracker, &ProblemTracker::problemsPermuted, this, &ProblemsPanel::pickAgain);
    connect(mTracker, &ProblemTracker::updated, this, &ProblemsPanel::updated);
    window.addDockWidget(Qt::BottomDockWidgetArea, this);
    hide();
    mTracker->refresh();
}

ProblemsPanel::~ProblemsPanel() = default;

void ProblemsPanel::updated(bool newError) {
    if (!mHadRows || mModel->rowCount() <= kFittedRows)
        fitColumns();
    updateCounter();
    if (mModel->rowCount() == 0)
        hide();
    else if (newError)
        bringUp();
}

void ProblemsPanel::fitColumns() {
    mFitPending = !isVisible();
    if (mFitPending)
        return;
    mView->resizeColumnToContents(ProblemsModel::NameColumn);
    mView->resizeColumnToContents(ProblemsModel::MessageColumn);
}

void ProblemsPanel::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    if (mFitPending)
        fitColumns();
}

void ProblemsPanel::bringUp() {
    show();
    if (mSized)
        return;
    mSized = true;
    auto* window = qobject_cast<QMainWindow*>(parentWidget());
    if (!window)
        return;
    const int rows = mView->verticalHeader()->defaultSectionSize() * 5;
    const int height =
        rows + mView->horizontalHeader()->sizeHint().height() + fontMetrics().height() + 8;
    window->resizeDocks({this}, {std::min(height, window->height() / 3)}, Qt::Vertical);
}

void ProblemsPanel::updateCounter() {
    if (mModel->rowCount() == 0) {
        mCounter->hide();
        return;
    }
    const std::size_t errors = mTracker->count(Severity::Error);
    const std::size_t warnings = mTracker->count(Severity::Warning);
    QString text = counted(errors, "error", "errors") + QStringLiteral(", ") +
                   counted(warnings, "warning", "warnings");
    mCounter->setText(text);
    mCounter->setAccessibleName(QStringLiteral("Problems: ") + text);
    mCounter->show();
}

void ProblemsPanel::afterLoad(std::vector<Problem> loadProblems) {
    mTracker->setLoadProblems(std::move(loadProblems));
    if (mModel->rowCount() > 0)
        bringUp();
}

void ProblemsPanel::afterSave(bool written) {
    if (written) {
        mTracker->forgetLoadProblems();
        return;
    }
    mTracker->refresh();
    if (mTracker->count(Severity::Error) == 0)
        return;
    showPanel();
    // Every error stops a save, so they are the ones picked out.
    // Selected at once, as runs: one select a row made each merge into all
    // before it.
    std::vector<int> rows;
    for (int row = 0; row < mSorted->rowCount(); ++row) {
        const int k = mSorted->data(mSorted->index(row, 0), ProblemsModel::ProblemRole).toInt();
        if (mModel->problem(k).severity == Severity::Error)
            rows.push_back(row);
    }
    const QModelIndex first = rows.empty() ? QModelIndex() : mSorted->index(rows.front(), 0);
    QItemSelectionModel* selection = mView->selectionModel();
    selection->select(RowRuns(*mSorted, std::move(rows), mSorted->columnCount() - 1),
                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    mView->scrollTo(first);
}

ProblemsPanel::Picked ProblemsPanel::pickedOf(const Problem& problem) {
    Picked picked;
    picked.record = problem.record;
    picked.eqCode = problem.eqCode;
    picked.kind = static_cast<int>(problem.kind);
    picked.severity = static_cast<int>(problem.severity);
    picked.field = problem.field;
    // A duplicate's message names another record, which the order may have
    // changed: a record's problem is told by its name and the rest.
    picked.text = std::hash<std::string>()(problem.record == 0 ? problem.message : problem.eqName);
    return picked;
}

void ProblemsPanel::pickAgain(const std::vector<std::int32_t>& order) {
    if (mPicked.empty() && !mCurrent)
        return;
    std::vector<Long> placeOf(order.size() + 1, 0);
    for (std::size_t p = 0; p < order.size(); ++p) {
        const auto was = static_cast<std::size_t>(order[p]);
        if (was < order.size())
            placeOf[was + 1] = static_cast<Long>(p) + 1;
    }
    const auto moved = [&placeOf](Picked picked) {
        if (picked.record > 0 && static_cast<std::size_t>(picked.record) < placeOf.size())
            picked.record = placeOf[static_cast<std::size_t>(picked.record)];
        return picked;
    };
    // Sorted, so that every problem of the list is looked up, not compared
    // with each picked one: a whole list of problems may be selected.
    std::vector<Picked> wanted;
    wanted.reserve(mPicked.size());
    for (const Picked& picked : mPicked)
        wanted.push_back(moved(picked));
    std::sort(wanted.begin(), wanted.end());
    const bool hasCurrent = mCurrent.has_value();
    const Picked current = hasCurrent ? moved(*mCurrent) : Picked();
    std::vector<int> rows;
    QModelIndex currentIndex;
    for (int k = 0; k < mModel->rowCount(); ++k) {
        const Picked problem = pickedOf(mModel->problem(k));
        const bool picked = std::binary_search(wanted.begin(), wanted.end(), problem);
        const bool isCurrent = hasCurrent && current == problem;
        if (!picked && !isCurrent)
            continue;
        const QModelIndex index = mSorted->mapFromSource(mModel->index(k, 0));
        if (picked)
            rows.push_back(index.row());
        if (isCurrent)
            currentIndex = index;
    }
    QItemSelectionModel* selection = mView->selectionModel();
    selection->select(RowRuns(*mSorted, std::move(rows), mSorted->columnCount() - 1),
                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (currentIndex.isValid())
        selection->setCurrentIndex(currentIndex, QItemSelectionModel::NoUpdate);
    else
        selection->clearCurrentIndex();
}

void ProblemsPanel::showPanel() {
    bringUp();
    raise();
    mView->setFocus(Qt::OtherFocusReason);
    if (!mView->currentIndex().isValid() && mSorted->rowCount() > 0)
        mView->setCurrentIndex(mSorted->index(0, 0));
}

void ProblemsPanel::activate(const QModelIndex& viewIndex) {
    if (!viewIndex.isValid())
        return;
    const int k = mSorted->data(viewIndex, ProblemsModel::ProblemRole).toInt();
    const Problem problem = mModel->problem(k);
    // A problem of the files as a whole has no record to go to.
    if (problem.record < 1 || problem.record > mdlGeneral::gEquipments().Count())
        return;
    if (mReveal)
        mReveal(problem.record);
    else
        selectGridRow(problem.record);
    mdlGeneral::ShowEquipmentDetails();
    frmEquipment* details = mdlGeneral::propertiesWindow();
    if (!details || !details->isVisible())
        return;
    details->raise();
    details->activateWindow();
    const char* control =
        problem.field >= 0 && problem.field < kFieldCount ? fieldInfo(problem.field).control : "";
    QWidget* target =
        *control ? details->findChild<QWidget*>(QString::fromLatin1(control)) : nullptr;
    if (!target || !target->isEnabled())
        return;
    target->setFocus(Qt::OtherFocusReason);
    if (auto* box = qobject_cast<QLineEdit*>(target))
        box->selectAll();
}

ProblemsPanel* InstallProblemsPanel(QMainWindow& window) {
    return new ProblemsPanel(window);
}

ProblemsPanel* FindProblemsPanel(const QWidget& window) {
    return window.findChild<ProblemsPanel*>(QStringLiteral("Problems"), Qt::FindDirectChildrenOnly);
}

}  // namespace kestrel::ui
