#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Equipments.h"
#include "model/RecordFormat.h"
#include "ui/document/GridSelection.h"

class QUndoStack;

namespace kestrel::ui {

class EquipmentTableModel;

// What is open: the collection with its DataPath, whether the last load read
// it completely, the undo stack and the table model every view of the list
// shares. The editor has one, reached through mdlGeneral::document().
//
// The list changes only through the mutating operations below; each keeps
// the model's signals exact (rows inserted, removed, moved or changed, a
// layout change for a permutation), so views, selections and persistent
// indexes follow the records. Commands, filters and bulk edits build on
// these. Positions are 1-based as in the collection.
class Document : public QObject {
    Q_OBJECT
public:
    explicit Document(QObject* parent = nullptr);
    ~Document() override;

    Equipments& equipments() { return *mEquipments; }
    const Equipments& equipments() const { return *mEquipments; }
    EquipmentTableModel* model() const { return mModel; }
    QUndoStack* undoStack() const { return mStack; }

    // Puts a newly read collection in place: the views reset and the stack
    // empties. The list counts as saved unless loadComplete is false.
    void replaceAll(std::unique_ptr<Equipments> equipments, bool loadComplete);

    // Modified: the list differs from what was last loaded or saved, or
    // the last load did not read the files completely.
    bool isModified() const;
    bool loadComplete() const { return mLoadComplete; }
    // After a save: the current state is what is on disk.
    void markSaved();
    // The list differs from the files whatever the stack says, until the
    // next load or save.
    void markUnsaved();

    // Why count more records cannot be added (the list would pass
    // kMaxRecords), naming the action ("paste"); nothing when they fit. The
    // caller shows it: the document opens no dialog.
    std::optional<QString> refusalToAdd(std::int64_t count, const char* action) const;

    // The list window's selection, for commands to keep and put back.
    const SelectionAccess& selection() const { return mSelection; }
    void setSelectionAccess(SelectionAccess access) { mSelection = std::move(access); }

    // --- mutating operations ----------------------------------------------
    // Inserts records holding values before position (Count + 1 appends).
    void insertRecords(std::int32_t position, const std::vector<Equipment>& values);
    // Removes count records from first on and gives back their values.
    std::vector<Equipment> removeRecords(std::int32_t first, std::int32_t count);
    // Gives the record at position new values; the record stays in place.
    void replaceRecord(std::int32_t position, const Equipment& values);
    // order[p] is the 0-based position of the record that moves to p.
    void permute(const std::vector<std::int32_t>& order);
    // Exchanges the records at position and position + 1.
    void swapAdjacent(std::int32_t position);
    // Sets one numeric field on many records: (position, value) pairs.
    void setNumbers(int field, const std::vector<std::pair<std::int32_t, std::int64_t>>& values);

signals:
    void modifiedChanged(bool modified);
    // permute() reordered the records (order as it was given), just before
    // the model's layout change: who keeps something per record can move it
    // along rather than work it out anew.
    void permuted(const std::vector<std::int32_t>& order);

private:
    void emitModified();

    std::unique_ptr<Equipments> mEquipments;
    EquipmentTableModel* mModel = nullptr;
    QUndoStack* mStack = nullptr;
    bool mLoadComplete = true;
    bool mUnsaved = false;
    bool mLastModified = false;
    SelectionAccess mSelection;
};

}  // namespace kestrel::ui
