#pragma once

#include <QLabel>

class QAbstractItemModel;

namespace kestrel::ui {

class Grid;

// The status bar's left end: how many records the list holds, how many the
// filter shows, and how many are selected.
class RecordCounts : public QLabel {
    Q_OBJECT
public:
    RecordCounts(Grid& grid, QAbstractItemModel& shown, QAbstractItemModel& all,
                 QWidget* parent = nullptr);

    void refresh();

private:
    Grid& mGrid;
    QAbstractItemModel& mShown;
    QAbstractItemModel& mAll;
};

}  // namespace kestrel::ui
