#pragma once

#include <QDockWidget>
#include <QSize>

class QComboBox;
class QLabel;
class QMainWindow;
class QPushButton;

namespace kestrel::ui {

class ChartView;
class EditorSession;
class Grid;

// The "Chart" dock of the list window: the boxes that choose what to draw,
// the chart of the records the filter shows, a line naming the records
// under the mouse or the keys, and "Save picture…".
class ChartPanel : public QDockWidget {
    Q_OBJECT
public:
    ChartPanel(QMainWindow& window, EditorSession& session, Grid& grid);
    ~ChartPanel() override;

    ChartView& view() const { return *mView; }
    QComboBox* xBox() const { return mXBox; }
    QComboBox* yBox() const { return mYBox; }
    QComboBox* colourBox() const { return mColourBox; }
    QPushButton* saveButton() const { return mSave; }
    QLabel* namesLine() const { return mNames; }

    // Picks the fields in the boxes; colour -1 for none.
    void chooseFields(int xField, int yField, int colourField);

    // Shows the dock with the keys on the chart, or hides it.
    void toggle();

    // Asks where to, then writes the picture.
    void savePicture();
    // The chart as it is shown to path: SVG for a name ending in .svg, else
    // PNG, through a temporary file that replaces path only when complete.
    // False after saying why.
    bool writePicture(const QString& path);
    // The picture's size: the chart's on the screen, never smaller than a
    // readable page's.
    QSize pictureSize() const;

private:
    void fieldsChosen();

    EditorSession& mSession;
    ChartView* mView = nullptr;
    QComboBox* mXBox = nullptr;
    QComboBox* mYBox = nullptr;
    QComboBox* mColourBox = nullptr;
    QPushButton* mSave = nullptr;
    QLabel* mNames = nullptr;
    QString mLastFolder;
    bool mSized = false;
};

// Creates the dock, hidden, on the list window.
ChartPanel* InstallChartPanel(QMainWindow& window, EditorSession& session, Grid& grid);
// The list window's dock, if it has one.
ChartPanel* FindChartPanel(const QWidget& window);

}  // namespace kestrel::ui
