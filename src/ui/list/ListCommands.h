#pragma once

#include <QString>
#include <optional>

namespace kestrel::ui {

class EditorSession;

// The commands on the whole list and the clipboard, given the session they
// act on: each works on its selection as record positions, with or without
// a list window.
void Renumber(EditorSession& session);
void SortByCode(EditorSession& session);
void SortByCountry(EditorSession& session);
// Exchange the current record with its neighbour; nothing while a filter
// hides records, and position 1 stays where it is.
void MoveUp(EditorSession& session);
void MoveDown(EditorSession& session);
// The selected records as clipboard text; Cut takes them out as well.
void Copy(EditorSession& session);
void Cut(EditorSession& session);
// The clipboard's records appended at the end of the list; the refusal,
// for the window to show, when the text is not records or they do not fit.
// A spreadsheet's tab-separated rows are read too, refused whole with the
// row and column of the first value that cannot be read.
std::optional<QString> Paste(EditorSession& session);
// The current record's value under the grid's cell cursor, as its text.
void CopyValue(EditorSession& session);

// The list window's button commands, on the editor's one session. Each change
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
