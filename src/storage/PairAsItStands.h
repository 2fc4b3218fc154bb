#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/Equipments.h"

namespace kestrel {

// The files a save left behind when it was cut short, by name, in the folder
// of dataPath: what a reader that must not repair the pair reports instead.
std::vector<std::string> LeftoversOfUnfinishedSave(const std::string& dataPath);

// Another pair read only to be looked at. Nothing on disk is completed,
// rolled back or written: an interrupted save is only named in leftovers.
struct PairAsItStands {
    std::unique_ptr<Equipments> list;  // null when the pair does not load
    std::string failure;               // why not, for the user
    std::vector<std::string> leftovers;
};

// Reads the pair whose binary file is dataPath. A pair that does not load
// completely is refused rather than given in part.
PairAsItStands ReadPairAsItStands(const std::string& dataPath);

}  // namespace kestrel
