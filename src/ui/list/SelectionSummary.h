#pragma once

#include <QLabel>

namespace kestrel::ui {

class EditorSession;
class Grid;

// The status bar's figures for the column of the cell last clicked over
// the selected records, as spreadsheets show them beside a selection:
//   12 selected · SA sum 1,480 · mean 123.3 · min 40 · max 255
// and for a coded column the most common words with their counts. Shown
// while more than one record is selected; worked out again once for each
// burst of changes, before the next paint.
class SelectionSummary : public QLabel {
    Q_OBJECT
public:
    SelectionSummary(EditorSession& session, Grid& grid, QWidget* parent = nullptr);

    // Works the figures out now.
    void refresh();

private:
    void changed();

    EditorSession& mSession;
    Grid& mGrid;
    bool mPending = false;
};

}  // namespace kestrel::ui
