#pragma once

#include <cstdint>
#include <vector>

#include "model/Equipment.h"
#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// The removal half of Cut: a block of records taken out, kept with its
// position so that undo puts them back where they stood.
class CutCommand : public ListCommand {
public:
    CutCommand(Document& document, std::int32_t first, std::int32_t count);

protected:
    void apply() override;
    void revert() override;
    std::int64_t size() const override { return mCount; }

private:
    std::int32_t mFirst;
    std::int32_t mCount;
    std::vector<Equipment> mRemoved;
};

// "3 records", "1 record".
QString RecordCount(std::int64_t count);

}  // namespace kestrel::ui
