#include "ui/list/LoadedPairProblems.h"

#include "check/LoadProblems.h"
#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"

namespace kestrel::ui {

std::vector<Problem> LoadedPairProblems(const Equipments& loaded) {
    if (loaded.DataPath().empty())
        return {};
    FileSystem& fs = fileSystem();
    const EquipmentFilePaths paths = PathsFor(loaded.DataPath());
    std::optional<std::string> names = fs.readFile(paths.nameList);
    if (!names)
        return {};
    std::optional<std::string> binary = fs.readFile(paths.binary);
    const std::string_view binaryBytes = binary ? std::string_view(*binary) : std::string_view();
    // The load keeps no counter of where it stopped, so the decode is redone.
    Equipments decoded;
    const Long failedAt = DecodeEquipmentPair(*names, binaryBytes, decoded);
    return LoadProblems(*names, binaryBytes, loaded, failedAt);
}

}  // namespace kestrel::ui
