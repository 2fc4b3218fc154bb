#include "cli/PairLists.h"

#include <filesystem>
#include <system_error>

#include "check/Problem.h"
#include "check/Validator.h"
#include "cli/PairFiles.h"
#include "storage/ChangeFileText.h"
#include "storage/PairPaths.h"

namespace kestrel::cli {

namespace {

std::string upper(std::string s) {
    for (char& c : s)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    return s;
}

}  // namespace

bool LoadList(const std::string& path, const std::string& what, Equipments& list, std::ostream& err,
              InterruptedSave interrupted) {
    auto pair = readPair(path, err, interrupted);
    if (!pair)
        return false;
    if (!pair->recovered.empty())
        err << "kestrel-eqp: " << pair->recovered << "\n";
    list.setDataPath(pair->dataPath);
    Long failedAt = DecodeEquipmentPair(pair->names, pair->binary, list);
    if (failedAt != 0) {
        err << "kestrel-eqp: " << what << " (" << path << ") does not load: \"" << kReadMessage
            << failedAt << "\"; kestrel-eqp check lists why\n";
        return false;
    }
    return true;
}

std::string PairLabel(const std::string& path) {
    std::filesystem::path p(path);
    while (!p.empty() && !p.has_filename() && p.has_parent_path() && p != p.parent_path())
        p = p.parent_path();
    std::string name = p.filename().string();
    if (IsEquipmentFileName(name)) {
        std::string stem = p.stem().string();
        if (upper(stem) != "EQUIP97")
            return stem;
        std::string folder = p.parent_path().filename().string();
        return folder.empty() ? stem : folder;
    }
    return name.empty() || name == "." ? path : name;
}

std::vector<std::string> PairLabels(const std::vector<std::string>& paths) {
    std::vector<std::string> labels;
    for (const auto& p : paths)
        labels.push_back(PairLabel(p));
    for (std::size_t i = 0; i < labels.size(); ++i) {
        for (std::size_t j = 0; j < labels.size(); ++j) {
            if (i != j && labels[i] == PairLabel(paths[j]))
                labels[i] = paths[i];
        }
    }
    return labels;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

std::string RecordName(std::int32_t position, const Equipment& record) {
    return "record " + std::to_string(position) + " (N " + std::to_string(record.EqCode()) + ", " +
           QuotedText(record.EqName()) + ")";
}

bool SaveList(const std::string& out, std::vector<Equipment>&& records,
              const std::string& trailingBytes, std::ostream& err) {
    const auto dataPath = dataPathFor(out, err);
    if (!dataPath)
        return false;
    Equipments list;
    list.setDataPath(*dataPath);
    list.AddAll(std::move(records));
    list.setTrailingBytes(*dataPath, trailingBytes);
    SaveResult saved = SaveEquipments(list);
    if (saved.ok)
        return true;
    // The save refuses a value the file cannot take before it writes
    // anything; only then is the list encoded again, to name the record.
    std::string bytes;
    Long refused = EncodeNameList(list, bytes);
    if (refused == 0)
        refused = EncodeBinaryFile(list, bytes);
    if (refused != 0) {
        err << "kestrel-eqp: the result cannot be written: record " << refused
            << " holds a value the equipment file cannot take; nothing written\n";
        for (const Problem& problem : SaveRefusals(list, refused))
            err << "kestrel-eqp: " << FormatProblem(problem) << "\n";
        return false;
    }
    err << "kestrel-eqp: " << saved.message << "\n";
    return false;
}

}  // namespace kestrel::cli
