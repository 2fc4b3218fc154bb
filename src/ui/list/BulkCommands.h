#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QWidget;

namespace kestrel::ui {

class EditorSession;

// The same commands given the session they act on, with or without a
// window. Each returns the refusal, for the window to show, when it cannot
// do what was asked; nothing when it did it or there was nothing to do.
void DeleteSelected(EditorSession& session);
std::optional<QString> DuplicateSelected(EditorSession& session);
std::optional<QString> MoveSelectedTo(EditorSession& session, std::int32_t target);

// The list window's commands on the selected records: each change is one
// step on the undo stack, and none moves a record into or out of position 1.
void cmdSetValue_Click();
// Removes the selected records without touching the clipboard.
void cmdDelete_Click();
// Copies of the selected records right after the last of them.
void DuplicateSelected();
// Moves the selected records, in their order, so that the first of them
// lands at target; false with a message when that cannot be.
bool MoveSelectedTo(std::int32_t target);
// Asks for the position and moves there.
void AskMoveSelected();
// The record "12" (a position) or "N=298" (the first with that EqCode)
// names; 0 when there is none.
std::int32_t GoToTarget(const QString& text);
// Asks for a record and selects it.
void AskGoTo();

}  // namespace kestrel::ui
