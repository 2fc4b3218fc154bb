#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace kestrel::ui {

// A small up/down pair beside a text box. It counts from the number the box
// holds, so typing and clicking mix freely, and writes decimal text back.
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int min, int max, int step, QWidget* parent);
    int Min() const { return mMin; }
    int Max() const { return mMax; }
    int Increment() const { return mStep; }
    QLineEdit* buddy() const { return mBuddy; }
    void stepUp() { stepBy(+1); }
    void stepDown() { stepBy(-1); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void stepBy(int direction);
    QLineEdit* mBuddy;
    int mMin, mMax, mStep;
    QToolButton* mUp;
    QToolButton* mDown;
};

}  // namespace kestrel::ui
