#include "ui/mdlGeneral.h"

#include <memory>

namespace mdlGeneral {

namespace {
std::unique_ptr<kestrel::Equipments>& equipmentsSlot() {
    static std::unique_ptr<kestrel::Equipments> slot;
    return slot;
}
kestrel::ui::frmEqs* gListWindow = nullptr;
}  // namespace

std::int32_t gCurrentIndex = 0;
std::array<std::uint8_t, 17> gSpecialBits{};
bool gUpdatingChecks = false;

kestrel::Equipments& gEquipments() {
    auto& slot = equipmentsSlot();
    if (!slot) slot = std::make_unique<kestrel::Equipments>();
    return *slot;
}

void ResetEquipments() { equipmentsSlot().reset(); }

void setListWindow(kestrel::ui::frmEqs* window) { gListWindow = window; }
kestrel::ui::frmEqs* listWindow() { return gListWindow; }

}  // namespace mdlGeneral
