#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/Equipments.h"

namespace kestrel {

// The files a save left behind when it was cut short, by name, beside the
// pair of dataPath: what a reader that must not repair the pair reports.
std::vector<std::string> LeftoversOfUnfinishedSave(const std::string& dataPath);

// Another pair read only to be looked at. Nothing on disk is completed,
// rolled back or written: an interrupted save is only named in leftovers.
struct PairAsItStands {
    std::unique_ptr<Equipments> list;  // null when the pair does not load
    std::string failure;               // why not, for the user
    std::vector<std::string> leftovers;
    // What else the load found (names and records that disagree, ...).
    std::vector<std::string> findings;
};

// Reads the pair whose binary file is dataPath as a load would, bounds and
// all. A pair whose records cannot be read is refused rather than given in
// part.
PairAsItStands ReadPairAsItStands(const std::string& dataPath);

}  // namespace kestrel
