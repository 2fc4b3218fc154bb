#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "model/Equipments.h"

namespace kestrel::ui {
class frmEqs;
class frmEquipment;
class Grid;
}  // namespace kestrel::ui

// The editor's shared state and the procedures that both windows call. The
// state lives here; each procedure is defined in the folder of the window
// that owns it (ui/list, ui/properties).
namespace mdlGeneral {

// The one collection, created empty on first use; the Load command resets it.
kestrel::Equipments& gEquipments();
void ResetEquipments();

// Position of the record the properties window shows; 0 before the first.
extern std::int32_t gCurrentIndex;
// Bit i - 1 of the unit-special value in entry i (1 to 16); entry 0 unused.
extern std::array<std::uint8_t, 17> gSpecialBits;
// Raised while ShowUnitSpecialChecks sets the boxes, so their clicks do nothing.
extern bool gUpdatingChecks;

// The two windows. The list window registers itself when it is created.
void setListWindow(kestrel::ui::frmEqs* window);
kestrel::ui::frmEqs* listWindow();
kestrel::ui::Grid& UnitList();
// The properties window if it is loaded, else null.
kestrel::ui::frmEquipment* propertiesWindow();

// --- ui/list ---------------------------------------------------------------
void FillGridRow(const kestrel::Equipment& equipment, std::optional<int> index = std::nullopt);
// The 40 cell texts FillGridRow adds, joined by gTab.
std::string GridRowText(const kestrel::Equipment& equipment);
void SwapEquipments(std::int32_t a, std::int32_t b);
void CopySelectedEquipment();
void RemoveSelectedEquipment();
void PasteEquipment();
// Marks the list as changed since the last load or save ([*] in the title).
void MarkModified();

// --- ui/properties ---------------------------------------------------------
void ShowEquipmentDetails();
void CommitEquipmentDetails();
void DecomposeUnitSpecial(std::int32_t value);
void ShowUnitSpecialChecks();
std::int32_t ComposeUnitSpecial();
// The list changed under the properties window (load, sort, move, cut,
// paste): it shows the record now at gCurrentIndex again, or closes.
void ListChanged();

}  // namespace mdlGeneral
