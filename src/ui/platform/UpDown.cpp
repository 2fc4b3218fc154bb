#include "ui/platform/UpDown.h"

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

#include "text/NumberReaders.h"

namespace kestrel::ui {

UpDown::UpDown(QLineEdit* buddy, int min, int max, int step, QWidget* parent)
    : QWidget(parent), mBuddy(buddy), mMin(min), mMax(max), mStep(step) {
    mUp = new QToolButton(this);
    mDown = new QToolButton(this);
    mUp->setArrowType(Qt::UpArrow);
    mDown->setArrowType(Qt::DownArrow);
    mUp->setAutoRepeat(true);
    mDown->setAutoRepeat(true);
    mUp->setFocusPolicy(Qt::NoFocus);
    mDown->setFocusPolicy(Qt::NoFocus);
    connect(mUp, &QToolButton::clicked, this, [this] { stepBy(+1); });
    connect(mDown, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    mUp->setGeometry(0, 0, width(), half);
    mDown->setGeometry(0, half, width(), height() - half);
}

void UpDown::stepBy(int direction) {
    std::int64_t value = ReadLeadingNumber(mBuddy->text().toStdString()).value_or(mMin);
    value = std::clamp<std::int64_t>(value, mMin, mMax);
    value = std::clamp<std::int64_t>(value + std::int64_t(direction) * mStep, mMin, mMax);
    mBuddy->setText(QString::number(value));
    // A step is the user's edit of the box, as typing is.
    mBuddy->setModified(true);
}

}  // namespace kestrel::ui
