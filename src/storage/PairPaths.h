#pragma once

#include <string>

namespace kestrel {

// Where the files of one pair live. Every name takes the binary file's own
// stem (X.EQP pairs with X.TXT, X.TXX, X.TMP, X.T, X.E, X.TB, X.EB, X.SAV,
// X.SVT, X.LCK). Where the binary file
// or the name list is a symbolic link, the file it names is the one replaced,
// with its temporary and backup in that file's folder.
struct EquipmentFilePaths {
    std::string folder;  // of DataPath, with its trailing separator, or empty
    std::string nameList;
    std::string nameListTarget;  // nameList with links followed
    std::string nameListTemp;
    std::string nameListBackup;
    // The backup being made, renamed over nameListBackup once both are.
    std::string nameListNextBackup;
    std::string binary;
    std::string binaryTarget;
    std::string binaryTemp;
    std::string binaryBackup;
    std::string binaryNextBackup;
    // The save's intent file beside the binary file's target, and the name
    // it is written under before it is complete.
    std::string intent;
    std::string intentTemp;
    // The file every save of the pair locks from its first step to its last.
    // It stays: a lock on a file that can be removed or renamed would let a
    // second save lock another file of the same name.
    std::string lock;
};

// Whether path names a binary equipment file: it ends in ".EQP", any case.
bool IsEquipmentFileName(const std::string& path);

// The pair of dataPath. The name list is the one spelled as the binary file
// is where it exists, else another letter case of it in the folder.
EquipmentFilePaths PathsFor(const std::string& dataPath);

// The folder part of path with its trailing '/', or empty.
std::string FolderOf(const std::string& path);
// path with symbolic links followed to the name they end at (which may not
// exist); path itself when it is no link or the links loop.
std::string FollowLinks(const std::string& path);
// Why a link at path cannot stand for a file of the pair (it loops, or what
// it names does not exist); empty where path is no link or a sound one.
std::string LinkProblem(const std::string& path);
// Why the name path cannot be used as the file it is meant to be ("X is a
// folder; remove it"); empty where it is a regular file or nothing.
std::string NotAFileProblem(const std::string& path);

}  // namespace kestrel
