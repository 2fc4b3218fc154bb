#pragma once

#include <cstdint>
#include <vector>

#include "model/Equipment.h"
#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// Remove here: records that the other pair lacks taken out of this list,
// wherever they stand. Undo puts each back at its position.
class RemoveHereCommand : public ListCommand {
public:
    // positions: ascending, each at most once.
    RemoveHereCommand(Document& document, std::vector<std::int32_t> positions,
                      const QString& otherName);

protected:
    void apply() override;
    void revert() override;
    std::int64_t size() const override { return static_cast<std::int64_t>(mCount); }

private:
    // A block of neighbouring positions goes out and comes back in one step.
    struct Run {
        std::int32_t first;
        std::int32_t count;
        std::vector<Equipment> removed;
    };
    std::vector<Run> mRuns;  // ascending
    std::size_t mCount;
};

}  // namespace kestrel::ui
