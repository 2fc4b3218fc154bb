#include <limits>

#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"
#include "storage/Messages.h"
#include "storage/SaveIntent.h"

namespace kestrel {

namespace {

using Kind = LoadFinding::Kind;

void add(LoadReport& report, Kind kind, std::string message, long first = 0, long second = 0) {
    report.findings.push_back({kind, first, second, std::move(message)});
}

void failAt(LoadReport& report, long counter) {
    report.complete = false;
    report.failedAt = counter;
}

// Why a file of the pair was not read, in the user's words; empty when it was.
std::string unreadable(const BoundedRead& read, const std::string& role, const std::string& path) {
    if (read.result != BoundedRead::Result::Ok) {
        if (std::string problem = LinkProblem(path); !problem.empty())
            return "the " + role + " " + problem;
    }
    switch (read.result) {
        case BoundedRead::Result::Ok:
            return std::string();
        case BoundedRead::Result::Missing:
            return "the " + role + " " + path + " does not exist";
        case BoundedRead::Result::NotRegular:
            return "the " + role + " " + path + " is not a regular file";
        case BoundedRead::Result::TooLarge:
            return "the " + role + " " + path + " is larger than 16 MB";
        case BoundedRead::Result::Failed:
            break;
    }
    return "the " + role + " " + path + " cannot be read";
}

}  // namespace

LoadReport LoadEquipments(Equipments& equipments, InterruptedSave interrupted) {
    FileSystem& fs = fileSystem();
    LoadReport report;
    const std::string& dataPath = equipments.DataPath();
    if (dataPath.empty()) {
        failAt(report, 1);
        return report;
    }
    if (!IsEquipmentFileName(dataPath)) {
        add(report, Kind::NotReadable, dataPath + " is not an equipment file (.EQP)");
        failAt(report, 1);
        return report;
    }
    const EquipmentFilePaths paths = PathsFor(dataPath);

    Recovery recovery = RecoverInterruptedSave(paths, interrupted == InterruptedSave::Repair);
    switch (recovery.outcome) {
        case Recovery::Outcome::None:
            break;
        case Recovery::Outcome::Completed:
            add(report, Kind::SaveCompleted, recovery.message);
            break;
        case Recovery::Outcome::RolledBack:
            add(report, Kind::SaveRolledBack, recovery.message);
            break;
        case Recovery::Outcome::Found:
            add(report, Kind::SaveInterrupted, recovery.message);
            break;
        case Recovery::Outcome::InProgress:
            add(report, Kind::SaveInProgress, recovery.message + "; nothing was read");
            failAt(report, 1);
            return report;
        case Recovery::Outcome::Failed:
            add(report, Kind::NotReadable, recovery.message + "; nothing was read");
            failAt(report, 1);
            return report;
    }

    BoundedRead names = fs.readBounded(paths.nameList, kMaxNameListBytes, kMaxNameListBytes);
    if (std::string why = unreadable(names, "name list", paths.nameList); !why.empty()) {
        add(report, Kind::NotReadable, why);
        failAt(report, 1);
        return report;
    }
    if (CountNameLines(names.bytes, kMaxNameLines) > kMaxNameLines) {
        add(report, Kind::NotReadable,
            "the name list " + paths.nameList + " holds more than " +
                std::to_string(kMaxNameLines) + " lines");
        failAt(report, 1);
        return report;
    }

    BoundedRead binary =
        fs.readBounded(paths.binary, kMaxBinaryBytes, std::numeric_limits<std::uint64_t>::max());
    std::string why = unreadable(binary, "equipment file", paths.binary);
    if (!why.empty()) {
        // The names are still listed, as name-only records.
        binary.bytes.clear();
        add(report, Kind::NotReadable, why);
    }
    Long failed = DecodeEquipmentPair(names.bytes, binary.bytes, equipments, &report);
    if (why.empty() && binary.size > binary.bytes.size()) {
        std::uint64_t beyond = binary.size - binary.bytes.size();
        add(report, Kind::TooLarge,
            "the equipment file is larger than the largest pair; its last " +
                std::to_string(beyond) + " bytes were not read",
            static_cast<long>(beyond));
        // A save would drop what was not read.
        report.complete = false;
    }
    if (failed != 0)
        failAt(report, failed);
    return report;
}

void GetEquipments(Equipments& equipments) {
    LoadReport report = LoadEquipments(equipments);
    if (report.failedAt != 0 || !report.findings.empty())
        ReportMessage(report.message());
}

}  // namespace kestrel
