#pragma once

#include <cstdint>
#include <vector>

#include "model/Equipment.h"
#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// Records inserted before one position: Paste (at the end), Duplicate (after
// the copied ones), New and the properties window's Update of a record that
// had left the list. Undo takes them out again and keeps them for redo.
class InsertRecordsCommand : public ListCommand {
public:
    enum class Selection {
        Keep,      // the selection stays as it was
        Inserted,  // the inserted records end selected
    };
    // position 1 to Count + 1.
    InsertRecordsCommand(Document& document, const QString& text, std::int32_t position,
                         std::vector<Equipment> records, Selection selection);

protected:
    void apply() override;
    void revert() override;
    std::int64_t size() const override { return mCount; }
    GridSelection selectionAfter(const GridSelection& before) const override;

private:
    std::int32_t mPosition;
    std::int32_t mCount;
    std::vector<Equipment> mRecords;  // while they are out of the list
    Selection mSelection;
};

}  // namespace kestrel::ui
