#include "ui/list/SelectionSummary.h"

#include <QAbstractItemModel>
#include <QTableView>

#include "model/FieldTable.h"
#include "model/SelectionStatistics.h"
#include "ui/document/EditorSession.h"
#include "ui/platform/CodePageText.h"
#include "ui/platform/Grid.h"

namespace kestrel::ui {

SelectionSummary::SelectionSummary(EditorSession& session, Grid& grid, QWidget* parent)
    : QLabel(parent), mSession(session), mGrid(grid) {
    setObjectName(QStringLiteral("lblSelectionStatistics"));
    setTextFormat(Qt::PlainText);
    // Apart from the record counts before it, which end in a count as well.
    setContentsMargins(fontMetrics().averageCharWidth() * 3, 0, 0, 0);
    QAbstractItemModel* shown = grid.model();
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(shown, signal, this, &SelectionSummary::changed);
    connect(shown, &QAbstractItemModel::rowsMoved, this, &SelectionSummary::changed);
    connect(shown, &QAbstractItemModel::modelReset, this, &SelectionSummary::changed);
    connect(shown, &QAbstractItemModel::layoutChanged, this, &SelectionSummary::changed);
    connect(shown, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) {
                const int field = mGrid.currentColumn();
                if (field >= from.column() && field <= to.column())
                    changed();
            });
    connect(&grid, &Grid::selectionChanged, this, &SelectionSummary::changed);
    connect(&grid, &Grid::currentColumnChanged, this, &SelectionSummary::changed);
    refresh();
}

void SelectionSummary::changed() {
    // A command or a drag sends many signals; the figures are worked out
    // once, when they are all in.
    if (mPending)
        return;
    mPending = true;
    QMetaObject::invokeMethod(this, &SelectionSummary::refresh, Qt::QueuedConnection);
}

void SelectionSummary::refresh() {
    mPending = false;
    const std::vector<std::int32_t> selected = mSession.selectedPositions();
    const int field = mGrid.currentColumn();
    QString text;
    // A text column has no figures: the count alone is the record counts'.
    if (selected.size() > 1 && field >= 0 && fieldKind(field) != FieldKind::Text)
        text = FromCodePage(StatisticsText(StatisticsOf(mSession.equipments(), selected, field)));
    setText(text);
    setVisible(!text.isEmpty());
}

}  // namespace kestrel::ui
