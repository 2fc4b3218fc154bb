#pragma once

namespace kestrel::ui {

class frmEqs;
class VersionStore;

// The Load button's menu arrow: the recent pairs (a missing one greyed) and
// the earlier versions of the open pair. Loading or saving a pair puts it
// first among the recent ones. Alt+Down on the button opens the menu.
void InstallLoadMenu(frmEqs& window, const VersionStore& versions);

}  // namespace kestrel::ui
