#include "storage/PairPaths.h"

#include <algorithm>
#include <vector>

#include "storage/FileSystem.h"

namespace kestrel {

namespace {

std::string lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

std::string nameOf(const std::string& path) {
    return path.substr(FolderPartLength(path));
}

}  // namespace

bool IsEquipmentFileName(const std::string& path) {
    std::string name = nameOf(path);
    return name.size() > 4 && lower(name.substr(name.size() - 4)) == ".eqp";
}

std::string FolderOf(const std::string& path) {
    return path.substr(0, FolderPartLength(path));
}

std::string FollowLinks(const std::string& path) {
    FileSystem& fs = fileSystem();
    std::string at = path;
    for (int hops = 0; hops < 40; ++hops) {
        if (fs.status(at, false).kind != FileStatus::Kind::Link)
            return at;
        auto target = fs.readLink(at);
        if (!target || target->empty())
            return at;
        at = IsAbsolutePath(*target) ? *target : FolderOf(at) + *target;
    }
    return path;
}

std::string LinkProblem(const std::string& path) {
    FileSystem& fs = fileSystem();
    if (fs.status(path, false).kind != FileStatus::Kind::Link)
        return std::string();
    const std::string end = FollowLinks(path);
    if (fs.status(end, false).kind == FileStatus::Kind::Link)
        return path + " is a link that loops (or runs through more than 40 links)";
    if (!fs.status(end, false).exists())
        return path + " is a link to " + end + ", which does not exist";
    return std::string();
}

std::string NotAFileProblem(const std::string& path) {
    switch (fileSystem().status(path, false).kind) {
        case FileStatus::Kind::Missing:
        case FileStatus::Kind::Regular:
            return std::string();
        case FileStatus::Kind::Directory:
            return path + " is a folder; remove it";
        case FileStatus::Kind::Link:
            return path + " is a link; remove it";
        case FileStatus::Kind::Other:
            break;
    }
    return path + " is not a regular file; remove it";
}

EquipmentFilePaths PathsFor(const std::string& dataPath) {
    FileSystem& fs = fileSystem();
    EquipmentFilePaths paths;
    paths.folder = FolderOf(dataPath);
    const std::string name = nameOf(dataPath);
    const std::string stem = name.size() > 4 ? name.substr(0, name.size() - 4) : name;
    // A lower-case pair gets lower-case companions, as the game's own
    // upper-case names would look out of place beside it.
    const bool lowerCase = name.size() > 4 && name.substr(name.size() - 4) == ".eqp";
    auto suffix = [lowerCase](const char* upper) {
        return lowerCase ? lower(upper) : std::string(upper);
    };

    paths.nameList = paths.folder + stem + suffix(".TXT");
    if (!fs.status(paths.nameList, false).exists()) {
        const std::string wanted = lower(stem + ".txt");
        if (auto names = fs.listFolder(paths.folder.empty() ? std::string(".") : paths.folder)) {
            std::vector<std::string> matches;
            for (const std::string& entry : *names) {
                if (lower(entry) == wanted)
                    matches.push_back(entry);
            }
            std::sort(matches.begin(), matches.end());
            auto spelled = std::find_if(matches.begin(), matches.end(), [&](const std::string& m) {
                return m.compare(0, stem.size(), stem) == 0;
            });
            if (spelled != matches.end())
                paths.nameList = paths.folder + *spelled;
            else if (!matches.empty())
                paths.nameList = paths.folder + matches.front();
        }
    }
    paths.nameListTarget = FollowLinks(paths.nameList);
    const std::string namesFolder = FolderOf(paths.nameListTarget);
    paths.nameListTemp = namesFolder + stem + suffix(".TXX");
    paths.nameListBackup = namesFolder + stem + suffix(".T");
    paths.nameListNextBackup = namesFolder + stem + suffix(".TB");

    paths.binary = dataPath;
    paths.binaryTarget = FollowLinks(dataPath);
    const std::string binaryFolder = FolderOf(paths.binaryTarget);
    paths.binaryTemp = binaryFolder + stem + suffix(".TMP");
    paths.binaryBackup = binaryFolder + stem + suffix(".E");
    paths.binaryNextBackup = binaryFolder + stem + suffix(".EB");
    paths.intent = binaryFolder + stem + suffix(".SAV");
    paths.intentTemp = binaryFolder + stem + suffix(".SVT");
    paths.lock = binaryFolder + stem + suffix(".LCK");
    return paths;
}

}  // namespace kestrel
