#pragma once

#include <cstdint>
#include <vector>

#include "model/Equipment.h"
#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// Paste: records appended at the end of the list; undo takes them off again
// and keeps them for redo.
class PasteCommand : public ListCommand {
public:
    PasteCommand(Document& document, std::vector<Equipment> records);

protected:
    void apply() override;
    void revert() override;
    std::int64_t size() const override { return mCount; }
    // The records pasted, so that the user sees where they went.
    GridSelection selectionAfter(const GridSelection& before) const override;

private:
    std::int32_t mFirst;
    std::int32_t mCount;
    std::vector<Equipment> mRecords;
};

}  // namespace kestrel::ui
