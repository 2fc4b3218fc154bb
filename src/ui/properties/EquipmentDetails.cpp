#include "ui/document/EditorSession.h"
#include "ui/mdlGeneral.h"
#include "ui/properties/frmEquipment.h"

namespace mdlGeneral {

using kestrel::ui::frmEquipment;

void ShowEquipmentDetails() {
    kestrel::ui::EditorSession& session = mdlGeneral::session();
    // A double-click on the heading row, or on an empty list, opens nothing.
    // Positions, not rows: with a filter on they differ.
    const std::int32_t position = session.currentPosition();
    if (position < 1)
        return;
    frmEquipment* window = propertiesWindow();
    if (window && window->isVisible() && position != window->recordPosition() &&
        !window->confirmEdits()) {
        // The user stays with the record and its edits: so does the list.
        const std::int32_t shown = window->recordPosition();
        if (shown >= 1)
            session.selectPositions({shown}, shown);
        return;
    }
    if (!window)
        window = new frmEquipment(session, session.dialogParent());
    window->showGridRow();
}

void CommitEquipmentDetails() {
    if (frmEquipment* window = propertiesWindow())
        window->commit();
}

}  // namespace mdlGeneral
