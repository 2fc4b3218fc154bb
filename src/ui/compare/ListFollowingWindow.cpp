#include "ui/compare/ListFollowingWindow.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QTimer>

#include "ui/platform/WindowPlaces.h"

namespace kestrel::ui {

ListFollowingWindow::ListFollowingWindow(const QAbstractItemModel& list, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    const auto changed = [this] { listChanged(); };
    connect(&list, &QAbstractItemModel::rowsInserted, this, changed);
    connect(&list, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(&list, &QAbstractItemModel::rowsMoved, this, changed);
    connect(&list, &QAbstractItemModel::dataChanged, this, changed);
    connect(&list, &QAbstractItemModel::layoutChanged, this, changed);
    connect(&list, &QAbstractItemModel::modelReset, this, changed);
}

void ListFollowingWindow::listChanged() {
    if (mStale)
        return;
    mStale = true;
    QTimer::singleShot(0, this, [this] { refresh(); });
}

void ListFollowingWindow::refresh() {
    if (mStale)
        workOutAgain();
}

void ListFollowingWindow::workOutAgain() {
    mStale = false;
    workOut();
}

void ListFollowingWindow::placeOverListWindow(int width, int height) {
    resize(width, height);
    if (QWidget* listWindow = parentWidget() ? parentWidget()->window() : nullptr) {
        move(listWindow->frameGeometry().center() - rect().center());
        KeepOnScreen(*this, listWindow);
    }
}

QLabel* ListFollowingWindow::makeSummary() {
    auto* summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("lblSummary"));
    return summary;
}

QLabel* ListFollowingWindow::makeNotes() {
    auto* notes = new QLabel(this);
    notes->setObjectName(QStringLiteral("lblNotes"));
    notes->setWordWrap(true);
    notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return notes;
}

QTableView* ListFollowingWindow::makeListing(QAbstractItemModel* model, const QString& objectName,
                                             const QString& accessibleName) {
    auto* table = new QTableView(this);
    table->setObjectName(objectName);
    table->setAccessibleName(accessibleName);
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->verticalHeader()->hide();
    return table;
}

// Escape reaches the window when the control with the focus has no use for
// it (an open drop-down list takes it first).
void ListFollowingWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace kestrel::ui
