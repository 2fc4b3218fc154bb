#pragma once

#include <cstdint>
#include <vector>

#include "model/Equipment.h"
#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// Records taken out of the list wherever they stand, kept with their
// positions so that undo puts each back where it was: Cut, Delete and the
// comparison's Remove here. Neighbouring positions go out and come back as
// one block.
class RemoveRecordsCommand : public ListCommand {
public:
    // positions ascending, each at most once.
    RemoveRecordsCommand(Document& document, const QString& text,
                         std::vector<std::int32_t> positions);

protected:
    void apply() override;
    void revert() override;
    std::int64_t size() const override { return static_cast<std::int64_t>(mPositions.size()); }

private:
    // Runs of neighbouring positions, each removed and put back as a block.
    struct Run {
        std::int32_t first;
        std::int32_t count;
    };
    std::vector<Run> runs() const;

    std::vector<std::int32_t> mPositions;
    std::vector<std::vector<Equipment>> mRemoved;  // one per run
};

}  // namespace kestrel::ui
