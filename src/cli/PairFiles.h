#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "storage/PairAsItStands.h"

namespace kestrel::cli {

// PATH may name the folder; the binary file is then looked up in it under
// any letter case, as a pair copied from another system may have it.
std::string dataPathFor(const std::string& path);

std::string folderOf(const std::string& dataPath);

// The bytes of a pair's two files, read as they are: nothing on disk is
// completed, rolled back or otherwise changed by reading.
struct PairBytes {
    std::string dataPath;
    std::string names;
    std::string binary;
};

// Says on err why the pair cannot be read.
std::optional<PairBytes> readPair(const std::string& path, std::ostream& err);

// The record count the binary file claims, when it has the two bytes.
std::optional<long> headerCount(const std::string& binary);

using kestrel::LeftoversOfUnfinishedSave;

}  // namespace kestrel::cli
