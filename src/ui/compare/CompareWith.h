#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace kestrel::ui {

class EditorSession;
class frmCompare;
class frmMerge;
class FileDialog;

// Compare with…: asks for another pair's equipment file, reads it without
// opening it (an interrupted save there is reported, never repaired) and
// shows the comparison window for it, in place of any earlier one.
void cmdCompare_Click(EditorSession& session, QWidget* parent);

// Opens the comparison with the pair whose binary file is path; null, after
// a message, when it cannot be read.
frmCompare* CompareWithPair(EditorSession& session, const QString& path, QWidget* parent);

// Merge mods…: the open list is the mod being worked on; asks for the base
// pair and for one or more other mods of it, reads them as Compare with…
// does and shows the merge window for them, in place of any earlier one.
void cmdMerge_Click(EditorSession& session, QWidget* parent);

// Opens the merge window for the base and the other mods at these binary
// file paths; null, after a message, when one cannot be read or is the open
// pair or one of the others.
frmMerge* MergeWithPairs(EditorSession& session, const QString& basePath,
                         const QStringList& modPaths, QWidget* parent);

// The name a pair goes by in the commands that take from it: its folder's.
QString PairName(const QString& path);

}  // namespace kestrel::ui
