#include <QCheckBox>

#include "ui/mdlGeneral.h"
#include "ui/properties/frmEquipment.h"

namespace mdlGeneral {

using kestrel::ui::frmEquipment;

void DecomposeUnitSpecial(std::int32_t value) {
    std::int64_t v = value;
    for (int i = 16; i >= 1; --i) {
        const std::int64_t mask = std::int64_t(1) << (i - 1);
        if (v < mask) {
            gSpecialBits[i] = 0;
        } else {
            gSpecialBits[i] = 1;
            v -= mask;
        }
    }
}

void ShowUnitSpecialChecks() {
    frmEquipment* w = propertiesWindow();
    if (!w)
        return;
    gUpdatingChecks = true;
    for (int i = 1; i <= 16; ++i)
        w->chkUS[i]->setChecked(gSpecialBits[i] != 0);
    gUpdatingChecks = false;
}

std::int32_t ComposeUnitSpecial() {
    frmEquipment* w = propertiesWindow();
    if (!w)
        return 0;
    std::int32_t value = 0;
    for (int i = 1; i <= 16; ++i)
        if (w->chkUS[i]->isChecked())
            value += std::int32_t(1) << (i - 1);
    return value;
}

}  // namespace mdlGeneral
