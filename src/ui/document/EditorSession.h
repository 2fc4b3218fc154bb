#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "storage/LoadReport.h"
#include "ui/document/Document.h"
#include "ui/platform/Prompts.h"

class QWidget;

namespace kestrel::ui {

// The list's view of the records: which are selected, which one is current,
// and the order the grid shows them in. Rows of a filtered grid stay inside
// the view; everything handed across is a record position (1 for the first).
class RecordView {
public:
    virtual ~RecordView() = default;
    // The records of the selected rows, in list order.
    virtual std::vector<std::int32_t> selectedPositions() const = 0;
    // The record of the current row; 0 for none.
    virtual std::int32_t currentPosition() const = 0;
    // Selects the shown ones of positions, current's row current.
    virtual void selectPositions(const std::vector<std::int32_t>& positions,
                                 std::int32_t current) = 0;
    // The shown record step rows away from position (+1 the next, -1 the
    // previous), or 0 when there is none; position 0 with step +1 gives the
    // first shown, with -1 the last.
    virtual std::int32_t shownNeighbour(std::int32_t position, int step) const = 0;
    // Selects the record alone and scrolls to it, lifting a filter that hides
    // it, and puts the keyboard on the list.
    virtual void reveal(std::int32_t position) = 0;
    // Selects a shown record alone and scrolls to it; nothing else changes.
    virtual void showPosition(std::int32_t position) = 0;
    // Scrolls the record's row into sight, when it is shown.
    virtual void scrollTo(std::int32_t position) = 0;
    // A filter hides some records.
    virtual bool filtering() const = 0;
    // Where the records are on the screen, for windows placed beside them.
    virtual QRect screenArea() const = 0;
    // The current cell and the selection's other corner, rows as positions,
    // for commands to keep and put back.
    virtual GridSelection gridSelection() const = 0;
    virtual void setGridSelection(const GridSelection& selection) = 0;
};

// What only the window that holds the list can do with the open pair: read
// it, replace it, save it, and ask what must be asked first. The session
// hands these on, so that features beside the list never reach the window.
class PairHost {
public:
    virtual ~PairHost() = default;
    virtual bool loadPair(const QString& path) = 0;
    virtual bool reloadPair() = 0;
    virtual void adoptList(std::unique_ptr<Equipments> equipments, const QString& pairPath) = 0;
    virtual bool settleBeforeReplacing() = 0;
    virtual bool saveList() = 0;
    // The window dialogs of the open pair belong to.
    virtual QWidget* dialogParent() = 0;
};

// What the editor has open: the document (collection, undo stack, table
// model), the pair's path, the selected records and the record being edited,
// all as record positions, and the signals the windows and features react
// to. It is handed by reference to every window, panel and command when they
// are made. Without a list window (a test, a command run on its own) it
// keeps the selection itself, every record shown in list order.
class EditorSession : public QObject {
    Q_OBJECT
public:
    explicit EditorSession(QObject* parent = nullptr);
    ~EditorSession() override;

    Document& document() { return *mDocument; }
    const Document& document() const { return *mDocument; }
    Equipments& equipments() { return mDocument->equipments(); }

    // The pair the list stands for (its DataPath), empty before the first load.
    QString pairPath() const;

    // --- the selection, as record positions --------------------------------
    std::vector<std::int32_t> selectedPositions() const;
    std::int32_t currentPosition() const;
    void selectPositions(const std::vector<std::int32_t>& positions, std::int32_t current);
    std::int32_t shownNeighbour(std::int32_t position, int step) const;
    void revealRecord(std::int32_t position);
    // Selects a shown record alone and scrolls to it (Next, Previous).
    void showRecord(std::int32_t position);
    void scrollTo(std::int32_t position) {
        if (mView)
            mView->scrollTo(position);
    }
    // A filter hides records from the list's view; never without a window.
    bool filtering() const { return mView && mView->filtering(); }
    // Where the list shows its records on the screen; empty without a window.
    QRect recordsArea() const { return mView ? mView->screenArea() : QRect(); }
    // The record the properties window edits; 0 before the first.
    std::int32_t editedRecord() const;
    void setEditedRecord(std::int32_t position);
    // Asks for the record at position to be edited (a double-click, a problem).
    void editRecord(std::int32_t position) { emit recordToEdit(position); }

    // --- reading and writing the pair ---------------------------------------
    // Reads the pair whose binary file is path into the document in place of
    // the list, shows what the load found in the system's own words and
    // gives that back; then pairOpened. A list read only in part does not
    // stand for the pair: it counts as changed, so that nothing drops or
    // saves over it unasked.
    LoadReport readPair(const QString& path);
    // The last load read its pair completely, or the list was saved or put
    // in place since. The one record of it: the document's modified state
    // and the save's question both follow it.
    bool lastLoadComplete() const { return mDocument->loadComplete(); }
    // What the unsaved-changes question proposes: Discard for an incomplete list.
    SaveChangesAnswer unsavedChangesDefault() const;
    // Before a save to path (a binary file): a name that does not end in .EQP
    // is refused with a message; an incomplete list saved over the pair it
    // came from is asked about first, proposing not to save. True when the
    // save may go on.
    bool maySaveTo(const std::string& path);
    // Writes the list to the pair at path, between aboutToSave and
    // pairSaved; the list then counts as saved. A save that fails writes
    // nothing, shows the system's message from its result (the write
    // message with its number, and the values of a refused record) and
    // gives false.
    bool writePair(const QString& path);

    // --- the open pair, through the window that holds it -------------------
    bool loadPair(const QString& path);
    bool reloadPair();
    void adoptList(std::unique_ptr<Equipments> equipments, const QString& pairPath);
    bool settleBeforeReplacing();
    bool saveList();
    QWidget* dialogParent() const;

    // The message boxes, questions and file dialogs every window and command
    // of the session goes through: the real dialogs, or a test's fake.
    Prompts& prompts() const { return CurrentPrompts(); }
    void setPrompts(Prompts* prompts) { ui::setPrompts(prompts); }

    // The list window registers its view and itself; null takes them back.
    void setRecordView(RecordView* view) { mView = view; }
    void setPairHost(PairHost* host) { mHost = host; }
    RecordView* recordView() const { return mView; }

signals:
    // The list now stands for the pair at path: after a load, a reload or an adopted list.
    void pairOpened(const QString& path);
    // Before a save replaces the files of the pair at path, and after it did.
    void aboutToSave(const QString& path);
    void pairSaved(const QString& path);
    // A record is to be shown in the properties window.
    void recordToEdit(std::int32_t position);

private:
    std::int32_t count() const { return mDocument->equipments().Count(); }

    Document* mDocument = nullptr;
    RecordView* mView = nullptr;
    PairHost* mHost = nullptr;
    // While the last load is not complete: the binary file it was read from,
    // links followed, and what it found, for the question before a save
    // over it.
    std::string mIncompletePair;
    std::string mIncompleteFound;
    // The selection kept while no view holds it.
    std::vector<std::int32_t> mSelected;
    std::int32_t mCurrent = 0;
};

}  // namespace kestrel::ui
