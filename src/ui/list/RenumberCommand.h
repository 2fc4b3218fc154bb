#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// Renumber: each record whose code is not its position from zero gets it;
// the old codes of just those records are kept for undo.
class RenumberCommand : public ListCommand {
public:
    // Null when every record already has its number.
    static RenumberCommand* create(Document& document);

protected:
    void apply() override;
    void revert() override;
    std::int64_t size() const override { return static_cast<std::int64_t>(mOld.size()); }

private:
    using Codes = std::vector<std::pair<std::int32_t, std::int64_t>>;
    RenumberCommand(Document& document, Codes old);
    Codes mOld;  // (position, code before)
};

}  // namespace kestrel::ui
