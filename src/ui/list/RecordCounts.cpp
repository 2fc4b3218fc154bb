#include "ui/list/RecordCounts.h"

#include <QAbstractItemModel>
#include <QTableView>

#include "ui/document/RecordCount.h"
#include "ui/platform/Grid.h"

namespace kestrel::ui {

RecordCounts::RecordCounts(Grid& grid, QAbstractItemModel& shown, QAbstractItemModel& all,
                           QWidget* parent)
    : QLabel(parent), mGrid(grid), mShown(shown), mAll(all) {
    setObjectName(QStringLiteral("lblRecordCounts"));
    for (QAbstractItemModel* model : {&mShown, &mAll}) {
        connect(model, &QAbstractItemModel::rowsInserted, this, &RecordCounts::refresh);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &RecordCounts::refresh);
        connect(model, &QAbstractItemModel::modelReset, this, &RecordCounts::refresh);
        connect(model, &QAbstractItemModel::layoutChanged, this, &RecordCounts::refresh);
    }
    connect(&mGrid, &Grid::selectionChanged, this, &RecordCounts::refresh);
    refresh();
}

void RecordCounts::refresh() {
    const int all = mAll.rowCount();
    const int shown = mShown.rowCount();
    QString text =
        shown == all ? RecordCount(all) : QStringLiteral("%1 of %2 shown").arg(shown).arg(all);
    const std::size_t selected = all == 0 ? 0 : mGrid.SelectedRows().size();
    if (selected > 0)
        text += QStringLiteral(", %1 selected").arg(selected);
    setText(text);
}

}  // namespace kestrel::ui
