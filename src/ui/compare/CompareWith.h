#pragma once

#include <QString>

class QWidget;

namespace kestrel::ui {

class EditorSession;
class frmCompare;
class FileDialog;

// Compare with…: asks for another pair's equipment file, reads it without
// opening it (an interrupted save there is reported, never repaired) and
// shows the comparison window for it, in place of any earlier one.
void cmdCompare_Click(EditorSession& session, QWidget* parent);

// Opens the comparison with the pair whose binary file is path; null, after
// a message, when it cannot be read.
frmCompare* CompareWithPair(EditorSession& session, const QString& path, QWidget* parent);

// The name a pair goes by in the commands that take from it: its folder's.
QString PairName(const QString& path);

}  // namespace kestrel::ui
