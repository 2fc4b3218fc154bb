#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"

namespace kestrel {

// The collection's own load and save are the storage layer's.
void Equipments::GetEquipments() {
    kestrel::GetEquipments(*this);
}
void Equipments::PutEquipments() const {
    kestrel::PutEquipments(*this);
}

}  // namespace kestrel
