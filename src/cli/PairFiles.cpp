#include "cli/PairFiles.h"

#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"

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

}  // namespace

std::string dataPathFor(const std::string& path) {
    auto entries = fileSystem().listFolder(path);
    if (!entries)
        return path;
    std::string folder = path;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    for (const auto& name : *entries) {
        if (upper(name) == kBinaryName)
            return folder + name;
    }
    return folder + kBinaryName;
}

std::string folderOf(const std::string& dataPath) {
    auto slash = dataPath.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return dataPath.substr(0, slash);
}

std::optional<PairBytes> readPair(const std::string& path, std::ostream& err) {
    if (!fileSystem().listFolder(path) && !fileSystem().fileSize(path)) {
        err << "kestrel-eqp: no such file or folder: " << path << "\n";
        return std::nullopt;
    }
    PairBytes pair;
    pair.dataPath = dataPathFor(path);
    auto paths = PathsFor(pair.dataPath);
    auto names = fileSystem().readFile(paths.nameList);
    if (!names) {
        err << "kestrel-eqp: cannot read the name list " << paths.nameList << "\n";
        return std::nullopt;
    }
    auto binary = fileSystem().readFile(pair.dataPath);
    if (!binary) {
        err << "kestrel-eqp: cannot read the equipment file " << pair.dataPath << "\n";
        return std::nullopt;
    }
    pair.names = std::move(*names);
    pair.binary = std::move(*binary);
    return pair;
}

std::optional<long> headerCount(const std::string& binary) {
    if (binary.size() < 2)
        return std::nullopt;
    auto lo = static_cast<unsigned char>(binary[0]);
    auto hi = static_cast<unsigned char>(binary[1]);
    return static_cast<long>(hi) * 256 + lo;
}

}  // namespace kestrel::cli
