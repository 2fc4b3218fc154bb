#include "cli/PairFiles.h"

#include <filesystem>
#include <iostream>
#include <iterator>

#include "cli/Shown.h"
#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"
#include "storage/SaveIntent.h"

namespace kestrel::cli {

namespace {

const char kBinaryName[] = "EQUIP97.EQP";

std::string upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

std::string shownFolder(const std::string& folder) {
    return folder.empty() ? std::string(".") : folder;
}

// Why a file of the pair was not read, or empty.
std::string refusal(const BoundedRead& read, const std::string& what, const std::string& path) {
    switch (read.result) {
        case BoundedRead::Result::Ok:
            return std::string();
        case BoundedRead::Result::Missing:
            return "cannot read the " + what + " " + Shown(path) + ": it does not exist";
        case BoundedRead::Result::NotRegular:
            return "cannot read the " + what + " " + Shown(path) + ": it is not a regular file";
        case BoundedRead::Result::TooLarge:
            return "cannot read the " + what + " " + Shown(path) + ": it is larger than 16 MB";
        case BoundedRead::Result::Failed:
            break;
    }
    return "cannot read the " + what + " " + Shown(path);
}

// The name list of a backup pair: X.T beside X.E, in the same letter case.
std::optional<std::string> backupNameList(const std::string& path) {
    const std::size_t n = path.size();
    if (n < 3 || path[n - 2] != '.' || IsPathSeparator(path[n - 3]))
        return std::nullopt;
    if (path[n - 1] != 'E' && path[n - 1] != 'e')
        return std::nullopt;
    return path.substr(0, n - 1) + (path[n - 1] == 'E' ? 'T' : 't');
}

}  // namespace

std::optional<std::string> dataPathFor(const std::string& path, std::ostream& err) {
    FileSystem& fs = fileSystem();
    if (fs.status(path, true).kind == FileStatus::Kind::Directory) {
        std::string folder = path;
        if (!folder.empty() && !IsPathSeparator(folder.back()))
            folder += '/';
        // The exact name wins, then the spelling the folder has: where names
        // are found whatever their case, the exact name would hide it.
        if (auto entries = fs.listFolder(folder)) {
            std::string spelled;
            for (const auto& name : *entries) {
                if (name == kBinaryName)
                    return folder + name;
                if (spelled.empty() && upper(name) == kBinaryName)
                    spelled = name;
            }
            if (!spelled.empty())
                return folder + spelled;
        }
        return folder + kBinaryName;
    }
    const std::string folder = FolderOf(path);
    if (IsEquipmentFileName(path) &&
        fs.status(shownFolder(folder), true).kind == FileStatus::Kind::Directory) {
        return path;
    }
    if (!IsEquipmentFileName(path)) {
        err << "kestrel-eqp: " << Shown(path)
            << " is neither a folder nor an equipment file whose name ends in .EQP\n";
    } else {
        err << "kestrel-eqp: the folder " << Shown(shownFolder(folder))
            << " does not exist or cannot be read\n";
    }
    return std::nullopt;
}

std::optional<PairBytes> readPair(const std::string& path, std::ostream& err,
                                  InterruptedSave interrupted) {
    FileSystem& fs = fileSystem();
    FileStatus status = fs.status(path, true);
    if (!status.exists()) {
        err << "kestrel-eqp: no such file or folder: " << Shown(path) << "\n";
        return std::nullopt;
    }
    PairBytes pair;
    std::string nameList;
    if (auto backupNames =
            status.kind != FileStatus::Kind::Directory ? backupNameList(path) : std::nullopt) {
        // A backup is what a save replaced: it is read as it stands, never repaired.
        pair.dataPath = path;
        pair.backup = true;
        nameList = *backupNames;
    } else {
        auto dataPath = dataPathFor(path, err);
        if (!dataPath)
            return std::nullopt;
        pair.dataPath = *dataPath;
        const EquipmentFilePaths paths = PathsFor(pair.dataPath);
        nameList = paths.nameList;

        const bool repair = interrupted == InterruptedSave::Repair;
        Recovery recovery = RecoverInterruptedSave(paths, repair);
        if (recovery.outcome == Recovery::Outcome::InProgress ||
            recovery.outcome == Recovery::Outcome::Failed) {
            err << "kestrel-eqp: " << ShownLines(recovery.message) << "\n";
            return std::nullopt;
        }
        // A reader that only compares names the leftovers itself.
        if (repair)
            pair.recovered = recovery.message;
    }

    BoundedRead names = fs.readBounded(nameList, kMaxNameListBytes, kMaxNameListBytes);
    if (std::string why = refusal(names, "name list", nameList); !why.empty()) {
        err << "kestrel-eqp: " << why << "\n";
        return std::nullopt;
    }
    if (CountNameLines(names.bytes, kMaxNameLines) > kMaxNameLines) {
        err << "kestrel-eqp: cannot read the name list " << Shown(nameList)
            << ": it holds more than " << kMaxNameLines << " lines\n";
        return std::nullopt;
    }
    BoundedRead binary = fs.readBounded(pair.dataPath, kMaxBinaryBytes, ~std::uint64_t(0));
    if (std::string why = refusal(binary, "equipment file", pair.dataPath); !why.empty()) {
        err << "kestrel-eqp: " << why << "\n";
        return std::nullopt;
    }
    pair.names = std::move(names.bytes);
    pair.binary = std::move(binary.bytes);
    pair.unread = binary.size - pair.binary.size();
    return pair;
}

std::optional<long> headerCount(const std::string& binary) {
    if (binary.size() < 2)
        return std::nullopt;
    auto lo = static_cast<unsigned char>(binary[0]);
    auto hi = static_cast<unsigned char>(binary[1]);
    return static_cast<long>(hi) * 256 + lo;
}

std::string refusedTarget(const std::string& target, const PairBytes& pair) {
    FileSystem& fs = fileSystem();
    if (!fs.status(target, true).exists())
        return std::string();
    const EquipmentFilePaths paths = PathsFor(pair.dataPath);
    for (const std::string* file : {&paths.binary, &paths.nameList}) {
        std::error_code ec;
        if (std::filesystem::equivalent(target, *file, ec))
            return "it is a file of the pair being read";
    }
    if (IsEquipmentFileName(target))
        return "it is an equipment file";
    const std::string folder = FolderOf(target);
    const std::string name = target.substr(folder.size());
    if (name.size() <= 4 || upper(name.substr(name.size() - 4)) != ".TXT")
        return std::string();
    const std::string binary = upper(name.substr(0, name.size() - 4)) + ".EQP";
    if (auto entries = fs.listFolder(shownFolder(folder))) {
        for (const auto& entry : *entries) {
            if (upper(entry) == binary)
                return "it is the name list of " + Shown(entry) + " beside it";
        }
    }
    return std::string();
}

bool writeOutput(const std::string& file, const std::string& bytes) {
    FileSystem& fs = fileSystem();
    const std::string target = FollowLinks(file);
    const std::string temp = target + ".kestrel-tmp";
    FileStatus previous = fs.status(target, true);
    if (previous.exists() && !previous.regular())
        return false;
    if (fs.status(temp, false).exists() && !fs.remove(temp))
        return false;
    FileHandle out = fs.createNew(temp, previous.regular() ? previous.mode : kNewFileMode);
    if (out == kNoHandle)
        return false;
    bool ok = fs.write(out, bytes) && fs.sync(out);
    fs.close(out);
    ok = ok && fs.rename(temp, target);
    if (!ok)
        fs.remove(temp);
    return ok;
}

}  // namespace kestrel::cli
