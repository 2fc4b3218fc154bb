#pragma once

#include <QWidget>

class QLineEdit;

namespace kestrel::ui {

class RecordFilterProxy;

// The line above the grid where the user types what to keep. A text that
// cannot be read frames the box in red, says why in its tooltip and leaves
// the grid as it was; the selection stays on the same records as rows come
// and go.
class FilterBar : public QWidget {
    Q_OBJECT
public:
    FilterBar(RecordFilterProxy& proxy, QWidget* parent = nullptr);

    QLineEdit* edit() const { return mEdit; }
    // Why the text cannot be read; empty when it can.
    QString error() const { return mError; }
    // Empties the box, every row coming back.
    void clear();

private:
    void apply(const QString& text);

    RecordFilterProxy& mProxy;
    QLineEdit* mEdit = nullptr;
    QString mError;
};

}  // namespace kestrel::ui
