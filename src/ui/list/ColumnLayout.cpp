#include "ui/list/ColumnLayout.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>
#include <algorithm>

#include "model/Equipment.h"
#include "model/FieldTable.h"
#include "ui/list/ColumnFit.h"
#include "ui/list/FieldTitles.h"
#include "ui/platform/Grid.h"

namespace kestrel::ui {

namespace {
const char kOrderKey[] = "list/columnOrder";
const char kHiddenKey[] = "list/hiddenColumns";

QString columnText(int col) {
    return QStringLiteral("%1  %2").arg(QString::fromLatin1(fieldInfo(col).heading),
                                        FieldTitle(col));
}
}  // namespace

ColumnLayout::ColumnLayout(Grid& grid, ColumnFit* fit) : QObject(&grid), mGrid(grid), mFit(fit) {
    setObjectName(QStringLiteral("ColumnLayout"));
    grid.setColumnsMovable(true);
    restore();
    // A drag is saved with the window's place when it closes: writing the
    // settings on every move would cost more than the move's paint.
    connect(&grid, &Grid::HeadingMenu, this, &ColumnLayout::headingMenu);
}

void ColumnLayout::restore() {
    QSettings settings;
    const QVariantList order = settings.value(QLatin1String(kOrderKey)).toList();
    std::vector<int> columns;
    for (const QVariant& v : order) {
        const int c = v.toInt();
        if (c >= 0 && c < kFieldCount &&
            std::find(columns.begin(), columns.end(), c) == columns.end())
            columns.push_back(c);
    }
    // Only a full order of the columns is taken; the frozen ones first.
    if (static_cast<int>(columns.size()) == kFieldCount) {
        const int fixed = mGrid.FixedCols();
        bool frozenFirst = true;
        for (int c = 0; c < fixed; ++c)
            frozenFirst = frozenFirst && columns[static_cast<std::size_t>(c)] == c;
        if (frozenFirst)
            mGrid.setColumnOrder(columns);
    }
    for (const QVariant& v : settings.value(QLatin1String(kHiddenKey)).toList())
        mGrid.setColumnHidden(v.toInt(), true);
}

void ColumnLayout::remember() const {
    QVariantList order, hidden;
    for (int c : mGrid.columnOrder())
        order << c;
    for (int c = 0; c < mGrid.Cols(); ++c) {
        if (mGrid.isColumnHidden(c))
            hidden << c;
    }
    QSettings settings;
    settings.setValue(QLatin1String(kOrderKey), order);
    settings.setValue(QLatin1String(kHiddenKey), hidden);
}

bool ColumnLayout::chooseColumns(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlgColumns"));
    dialog.setWindowTitle(QStringLiteral("Columns"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* boxes = new QGridLayout;
    layout->addLayout(boxes);
    std::vector<QCheckBox*> checks;
    const std::vector<int> order = mGrid.columnOrder();
    const int perColumn = (kFieldCount + 1) / 2;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int col = order[i];
        auto* check = new QCheckBox(columnText(col), &dialog);
        check->setObjectName(QStringLiteral("chkColumn%1").arg(col));
        check->setChecked(!mGrid.isColumnHidden(col));
        // The frozen columns are always shown.
        check->setEnabled(col >= mGrid.FixedCols());
        boxes->addWidget(check, static_cast<int>(i) % perColumn, static_cast<int>(i) / perColumn);
        checks.push_back(check);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    for (std::size_t i = 0; i < order.size(); ++i)
        mGrid.setColumnHidden(order[i], !checks[i]->isChecked());
    remember();
    return true;
}

void ColumnLayout::reset() {
    std::vector<int> order(static_cast<std::size_t>(mGrid.Cols()));
    for (int c = 0; c < mGrid.Cols(); ++c) {
        order[static_cast<std::size_t>(c)] = c;
        mGrid.setColumnHidden(c, false);
    }
    mGrid.setColumnOrder(order);
    if (mFit)
        mFit->forgetUserWidths();
    QSettings settings;
    settings.remove(QLatin1String(kOrderKey));
    settings.remove(QLatin1String(kHiddenKey));
}

void ColumnLayout::headingMenu(int col, const QPoint& global) {
    auto* menu = new QMenu(mGrid.window());
    menu->setObjectName(QStringLiteral("mnuHeading"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (col >= mGrid.FixedCols() && col < mGrid.Cols()) {
        menu->addAction(QStringLiteral("&Hide %1").arg(QString::fromLatin1(fieldInfo(col).heading)),
                        this, [this, col] {
                            mGrid.setColumnHidden(col, true);
                            remember();
                        });
    }
    menu->addSeparator();
    for (QAction* action : {mColumnsAction, mResetAction}) {
        if (action)
            menu->addAction(action);
    }
    menu->popup(global);
}

}  // namespace kestrel::ui
