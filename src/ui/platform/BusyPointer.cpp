#include "ui/platform/BusyPointer.h"

#include <QApplication>
#include <QCursor>

#include "ui/platform/Grid.h"

namespace kestrel::ui {

BusyGuard::BusyGuard(Grid* grid) : mGrid(grid) {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    if (mGrid)
        mGrid->setRedraw(false);
}

BusyGuard::~BusyGuard() {
    if (mGrid)
        mGrid->setRedraw(true);
    QApplication::restoreOverrideCursor();
}

}  // namespace kestrel::ui
