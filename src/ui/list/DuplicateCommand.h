#pragma once

#include <cstdint>
#include <vector>

#include "model/Equipment.h"
#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// Duplicate: copies of records inserted at one position; undo takes them
// out again. The copies end selected.
class DuplicateCommand : public ListCommand {
public:
    DuplicateCommand(Document& document, std::int32_t position, std::vector<Equipment> copies);

protected:
    void apply() override;
    void revert() override;
    std::int64_t size() const override { return static_cast<std::int64_t>(mCopies.size()); }
    GridSelection selectionAfter(const GridSelection& before) const override;

private:
    std::int32_t mPosition;
    std::vector<Equipment> mCopies;
};

}  // namespace kestrel::ui
