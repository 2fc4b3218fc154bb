#pragma once

namespace kestrel::ui {

// The list window's button commands that act on the whole list. Each change
// goes onto the document's undo stack as one command (none when nothing
// would change); the grid and an open properties window follow the
// document's model on their own.
void cmdRenumber_Click();
void cmdSort_Click();
void cmdSortbyCountry_Click();
void cmdUp_Click();
void cmdDown_Click();
void cmdCut_Click();
void cmdCopy_Click();
void cmdPaste_Click();

}  // namespace kestrel::ui
