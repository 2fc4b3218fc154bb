#pragma once

namespace kestrel::ui {

// The list window's button commands that act on the whole list. Each works
// on mdlGeneral::gEquipments() and mdlGeneral::UnitList() together, so that
// grid row n keeps showing item n, marks the list modified and tells an open
// properties window that the list changed.
void cmdRenumber_Click();
void cmdSort_Click();
void cmdSortbyCountry_Click();
void cmdUp_Click();
void cmdDown_Click();
void cmdCut_Click();
void cmdCopy_Click();
void cmdPaste_Click();

}  // namespace kestrel::ui
