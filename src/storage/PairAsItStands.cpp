#include "storage/PairAsItStands.h"

#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"

namespace kestrel {

std::vector<std::string> LeftoversOfUnfinishedSave(const std::string& dataPath) {
    // Until a save leaves its own record of what it was doing, its
    // temporary files are the trace it leaves when cut short.
    auto paths = PathsFor(dataPath);
    std::vector<std::string> found;
    for (const std::string* temp : {&paths.nameListTemp, &paths.binaryTemp}) {
        if (fileSystem().fileSize(*temp))
            found.push_back(temp->substr(paths.folder.size()));
    }
    return found;
}

PairAsItStands ReadPairAsItStands(const std::string& dataPath) {
    PairAsItStands pair;
    FileSystem& fs = fileSystem();
    const EquipmentFilePaths paths = PathsFor(dataPath);
    pair.leftovers = LeftoversOfUnfinishedSave(dataPath);
    auto names = fs.readFile(paths.nameList);
    if (!names) {
        pair.failure = "Its name list cannot be read.";
        return pair;
    }
    auto binary = fs.readFile(dataPath);
    if (!binary) {
        pair.failure = "Its equipment file cannot be read.";
        return pair;
    }
    auto list = std::make_unique<Equipments>();
    list->setDataPath(dataPath);
    if (Long failedAt = DecodeEquipmentPair(*names, *binary, *list)) {
        pair.failure =
            "It does not load: \"" + std::string(kReadMessage) + std::to_string(failedAt) + "\".";
        return pair;
    }
    pair.list = std::move(list);
    return pair;
}

}  // namespace kestrel
