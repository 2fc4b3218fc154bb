#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/Equipments.h"

namespace kestrel::ui {
class Document;
class EditorSession;
class frmEqs;
class frmEquipment;
class Grid;
}  // namespace kestrel::ui

// The editor's shared state and the procedures that both windows call. The
// state lives here; each procedure is defined in the folder of the window
// that owns it (ui/list, ui/properties).
namespace mdlGeneral {

// The editor's one session, created on first use; the windows and commands
// are handed it when they are made. The names below are forwards to it.
kestrel::ui::EditorSession& session();
// The open pair (collection, undo stack, the list's table model), the
// session's. Every change of the list goes through it.
kestrel::ui::Document& document();
// The document's collection; the Load command replaces it.
kestrel::Equipments& gEquipments();
// Empties the list, the undo stack with it.
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
// The 40 cell texts the list shows for a record, joined by gTab.
std::string GridRowText(const kestrel::Equipment& equipment);
// Marks the list as differing from the files on disk ([*] in the title)
// until the next load or save, whatever the undo stack says.
void MarkModified();
// Exchanges the values of two records; each object keeps its position.
void SwapEquipments(std::int32_t a, std::int32_t b);
void CopySelectedEquipment();
void RemoveSelectedEquipment();
void PasteEquipment();

// --- ui/properties ---------------------------------------------------------
void ShowEquipmentDetails();
void CommitEquipmentDetails();
// Before the list is replaced, or the editor closes: asks about edits in
// the properties window that were not committed. False when the user
// chose to stay; the caller then does nothing.
bool ConfirmPropertiesEdits();
void DecomposeUnitSpecial(std::int32_t value);
void ShowUnitSpecialChecks();
std::int32_t ComposeUnitSpecial();

}  // namespace mdlGeneral
