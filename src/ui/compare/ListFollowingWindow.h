#pragma once

#include <QWidget>

class QAbstractItemModel;
class QKeyEvent;
class QLabel;
class QTableView;

namespace kestrel::ui {

// A window showing something worked out from the open list (a comparison, a
// merge) that stays in step with it: any change of the list, an undo or redo
// among them, makes what it shows stale, and it is worked out again once,
// from the event loop, when the change is complete. A burst of changes (a
// command of many steps) costs one working out, not one per step. Escape
// closes the window.
class ListFollowingWindow : public QWidget {
    Q_OBJECT
public:
    // Works it out again now if the list changed since the last time.
    void refresh();

protected:
    ListFollowingWindow(const QAbstractItemModel& list, QWidget* parent);

    // Works out what the window shows from the list as it is now.
    virtual void workOut() = 0;
    // Works it out now, stale or not.
    void workOutAgain();
    // Whether the list changed since it was last worked out: rows shown may
    // name records that have moved.
    bool stale() const { return mStale; }
    // Sizes the window and puts it over the list window, wholly on its
    // screen however large either is.
    void placeOverListWindow(int width, int height);
    // The parts both windows have: the summary line ("lblSummary"), the
    // notes of reading the other pairs ("lblNotes"), and the listing, a
    // table of whole rows that is read, not edited.
    QLabel* makeSummary();
    QLabel* makeNotes();
    QTableView* makeListing(QAbstractItemModel* model, const QString& objectName,
                            const QString& accessibleName);

    void keyPressEvent(QKeyEvent* event) override;

private:
    void listChanged();

    bool mStale = false;
};

}  // namespace kestrel::ui
