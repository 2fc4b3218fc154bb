#pragma once

#include <cstdint>
#include <vector>

#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// Sort by code or by country: the permutation the sort gave, undone by its
// inverse. It is kept in two bytes a record, which hold every index of the
// largest list: a stack of sorts of it is half the size.
class SortCommand : public ListCommand {
public:
    // order as Document::permute takes it.
    SortCommand(Document& document, const QString& text, std::vector<std::int32_t> order);

protected:
    void apply() override;
    void revert() override;
    std::int64_t size() const override { return static_cast<std::int64_t>(mOrder.size()); }
    // The selected records stay selected where the order takes them.
    GridSelection selectionAfter(const GridSelection& before) const override;

private:
    std::vector<std::uint16_t> mOrder;
};

}  // namespace kestrel::ui
