#include "ui/list/RenumberCommand.h"

#include "ui/document/Document.h"

namespace kestrel::ui {

RenumberCommand* RenumberCommand::create(Document& document) {
    Codes old;
    std::int32_t position = 0;
    for (const EquipmentRef& e : document.equipments()) {
        ++position;
        if (e->EqCode() != position - 1)
            old.emplace_back(position, e->EqCode());
    }
    if (old.empty())
        return nullptr;
    return new RenumberCommand(document, std::move(old));
}

RenumberCommand::RenumberCommand(Document& document, Codes old)
    : ListCommand(document, QStringLiteral("Renumber")), mOld(std::move(old)) {}

void RenumberCommand::apply() {
    Codes codes;
    codes.reserve(mOld.size());
    for (const auto& entry : mOld)
        codes.emplace_back(entry.first, entry.first - 1);
    document().setNumbers(static_cast<int>(Field::EqCode), codes);
}

void RenumberCommand::revert() {
    document().setNumbers(static_cast<int>(Field::EqCode), mOld);
}

}  // namespace kestrel::ui
