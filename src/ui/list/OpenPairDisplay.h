#pragma once

#include <QString>
#include <string>

namespace kestrel::ui {

class frmEqs;

// "EQUIP97.EQP in Ironfront2": the binary file's name and its folder's, so
// two editors side by side can be told apart; empty when nothing is open.
QString PairCaption(const std::string& dataPath);

// Puts the open pair in the list window's title, after the caption, and its
// full path in the status bar; again after every load and save.
void InstallOpenPairDisplay(frmEqs& window);
void ShowOpenPair(frmEqs& window);

}  // namespace kestrel::ui
