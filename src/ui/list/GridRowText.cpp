#include "model/FieldText.h"
#include "ui/document/Document.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"

namespace mdlGeneral {

kestrel::ui::Grid& UnitList() {
    return listWindow()->UnitList();
}

void MarkModified() {
    document().markUnsaved();
}

std::string GridRowText(const kestrel::Equipment& equipment) {
    return kestrel::RowText(equipment);
}

}  // namespace mdlGeneral
