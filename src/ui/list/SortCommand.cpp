#include "ui/list/SortCommand.h"

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

}  // namespace kestrel::ui
