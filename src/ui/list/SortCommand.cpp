#include "ui/list/SortCommand.h"

#include "ui/document/Document.h"

namespace kestrel::ui {

SortCommand::SortCommand(Document& document, const QString& text, std::vector<std::int32_t> order)
    : ListCommand(document, text), mOrder(std::move(order)) {}

void SortCommand::apply() {
    document().permute(mOrder);
}

void SortCommand::revert() {
    std::vector<std::int32_t> inverse(mOrder.size());
    for (std::size_t p = 0; p < mOrder.size(); ++p)
        inverse[static_cast<std::size_t>(mOrder[p])] = static_cast<std::int32_t>(p);
    document().permute(inverse);
}

}  // namespace kestrel::ui
