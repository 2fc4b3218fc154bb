#include "ui/document/RemoveRecordsCommand.h"

#include "ui/document/Document.h"

namespace kestrel::ui {

RemoveRecordsCommand::RemoveRecordsCommand(Document& document, const QString& text,
                                           std::vector<std::int32_t> positions)
    : ListCommand(document, text), mPositions(std::move(positions)) {}

std::vector<RemoveRecordsCommand::Run> RemoveRecordsCommand::runs() const {
    std::vector<Run> out;
    for (std::int32_t p : mPositions) {
        if (!out.empty() && out.back().first + out.back().count == p)
            ++out.back().count;
        else
            out.push_back({p, 1});
    }
    return out;
}

void RemoveRecordsCommand::apply() {
    const std::vector<Run> blocks = runs();
    mRemoved.assign(blocks.size(), {});
    // From the end, so that the positions still ahead do not move.
    for (std::size_t i = blocks.size(); i-- > 0;)
        mRemoved[i] = document().removeRecords(blocks[i].first, blocks[i].count);
}

void RemoveRecordsCommand::revert() {
    const std::vector<Run> blocks = runs();
    // From the front: each block's position counts the blocks before it back.
    for (std::size_t i = 0; i < blocks.size(); ++i)
        document().insertRecords(blocks[i].first, mRemoved[i]);
    // Redo takes them out of the list again; holding them twice is waste.
    mRemoved.clear();
    mRemoved.shrink_to_fit();
}

}  // namespace kestrel::ui
