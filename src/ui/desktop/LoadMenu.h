#pragma once

class QMenu;
class QToolButton;
class QWidget;

namespace kestrel::ui {

class EditorSession;
class VersionStore;

// The Load button's menu arrow: the recent pairs (a missing one greyed) and
// the earlier versions of the open pair. Loading or saving a pair puts it
// first among the recent ones. Alt+Down on the button opens the menu.
// save is the button beside it, moved over to make room for the arrow.
void InstallLoadMenu(QToolButton& load, QToolButton* save, EditorSession& session,
                     const VersionStore& versions);
// The same list as a menu of its own ("Recent pairs"), for the File menu.
QMenu* MakePairsMenu(QWidget& parent, EditorSession& session, const VersionStore& versions);

}  // namespace kestrel::ui
