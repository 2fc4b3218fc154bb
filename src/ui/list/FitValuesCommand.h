#pragma once

#include <cstdint>
#include <vector>

#include "storage/EquipmentFiles.h"
#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// "Fit values to the file": the records a save changes take the values the
// file will hold, so that after the save the list shows what was written
// and its clean state matches the file.
class FitValuesCommand : public ListCommand {
public:
    FitValuesCommand(Document& document, std::vector<RecordFit> fits);

protected:
    void apply() override;
    void revert() override;
    std::int64_t size() const override { return static_cast<std::int64_t>(mFits.size()); }

private:
    std::vector<RecordFit> mFits;
    std::vector<Equipment> mBefore;  // parallel to mFits
};

}  // namespace kestrel::ui
