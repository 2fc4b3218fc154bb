#include "ui/list/SortCommand.h"

#include <algorithm>
#include <limits>

#include "ui/document/Document.h"

namespace kestrel::ui {

SortCommand::SortCommand(Document& document, const QString& text, std::vector<std::int32_t> order)
    : ListCommand(document, text), mOrder(order.begin(), order.end()) {
    static_assert(kMaxRecords - 1 <= std::numeric_limits<std::uint16_t>::max());
}

void SortCommand::apply() {
    document().permute(std::vector<std::int32_t>(mOrder.begin(), mOrder.end()));
}

void SortCommand::revert() {
    std::vector<std::int32_t> inverse(mOrder.size());
    for (std::size_t p = 0; p < mOrder.size(); ++p)
        inverse[mOrder[p]] = static_cast<std::int32_t>(p);
    document().permute(inverse);
}

GridSelection SortCommand::selectionAfter(const GridSelection& before) const {
    const auto n = static_cast<std::int32_t>(mOrder.size());
    const auto inList = [n](std::int32_t p) { return p >= 1 && p <= n; };
    if (!inList(before.row))
        return before;
    const std::int32_t low = std::min(before.row, before.rowSel);
    const std::int32_t high = std::max(before.row, before.rowSel);
    // Every record selected stays so: nothing to follow, and a selection of
    // the whole list stays one range.
    if (before.records.empty() && low == 1 && high == n)
        return before;
    std::vector<std::int32_t> to(mOrder.size());
    for (std::size_t p = 0; p < mOrder.size(); ++p)
        to[mOrder[p]] = static_cast<std::int32_t>(p) + 1;
    const auto moved = [&to](std::int32_t p) { return to[static_cast<std::size_t>(p - 1)]; };
    GridSelection after = before;
    // The view stays where it was (after.top), as after any command. The
    // records are given one by one: the list window makes a run of them
    // one range again.
    after.row = moved(before.row);
    after.records.clear();
    if (before.records.empty()) {
        if (!inList(low) || !inList(high))
            return before;
        for (std::int32_t p = low; p <= high; ++p)
            after.records.push_back(moved(p));
    } else {
        for (std::int32_t p : before.records)
            if (inList(p))
                after.records.push_back(moved(p));
    }
    std::sort(after.records.begin(), after.records.end());
    return after;
}

}  // namespace kestrel::ui
