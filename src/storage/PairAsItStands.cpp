#include "storage/PairAsItStands.h"

#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"
#include "storage/LoadReport.h"
#include "storage/PairPaths.h"

namespace kestrel {

std::vector<std::string> LeftoversOfUnfinishedSave(const std::string& dataPath) {
    FileSystem& fs = fileSystem();
    const EquipmentFilePaths paths = PathsFor(dataPath);
    std::vector<std::string> found;
    for (const std::string* left :
         {&paths.intent, &paths.intentTemp, &paths.nameListTemp, &paths.binaryTemp,
          &paths.nameListNextBackup, &paths.binaryNextBackup}) {
        if (fs.status(*left, false).exists())
            found.push_back(left->substr(FolderOf(*left).size()));
    }
    return found;
}

PairAsItStands ReadPairAsItStands(const std::string& dataPath) {
    PairAsItStands pair;
    auto list = std::make_unique<Equipments>();
    list->setDataPath(dataPath);
    const LoadReport report = LoadEquipments(*list, InterruptedSave::ReportOnly);
    if (report.failedAt != 0) {
        pair.failure = report.message();
        return pair;
    }
    pair.leftovers = LeftoversOfUnfinishedSave(dataPath);
    for (const LoadFinding& finding : report.findings) {
        // The leftovers name the interrupted save already.
        if (finding.kind != LoadFinding::Kind::SaveInterrupted)
            pair.findings.push_back(finding.message);
    }
    pair.list = std::move(list);
    return pair;
}

}  // namespace kestrel
