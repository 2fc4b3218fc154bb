#include "ui/mdlGeneral.h"

#include <memory>

#include "ui/document/EditorSession.h"

namespace mdlGeneral {

namespace {
std::unique_ptr<kestrel::ui::EditorSession>& sessionSlot() {
    static std::unique_ptr<kestrel::ui::EditorSession> slot;
    return slot;
}
kestrel::ui::frmEqs* gListWindow = nullptr;
}  // namespace

std::int32_t gCurrentIndex = 0;
std::array<std::uint8_t, 17> gSpecialBits{};
bool gUpdatingChecks = false;

kestrel::ui::EditorSession& session() {
    auto& slot = sessionSlot();
    if (!slot)
        slot = std::make_unique<kestrel::ui::EditorSession>();
    return *slot;
}

kestrel::ui::Document& document() {
    return session().document();
}

kestrel::Equipments& gEquipments() {
    return document().equipments();
}

void ResetEquipments() {
    document().replaceAll(nullptr, true);
}

void setListWindow(kestrel::ui::frmEqs* window) {
    gListWindow = window;
}
kestrel::ui::frmEqs* listWindow() {
    return gListWindow;
}

}  // namespace mdlGeneral
