#pragma once

// Sample equipment file pairs for tests and benchmarks, made by our own code.

#include <random>
#include <string>
#include <vector>

#include "model/Equipment.h"

namespace kestrel {

// A record whose every value fits the file format, so that it survives a
// save and a load unchanged: names of any byte but CR and LF, icon and last
// part of any bytes not ending in a zero byte, prestige a multiple of 12.
Equipment RandomEquipment(std::mt19937& random);

// The 73 bytes of a well-formed record, built byte by byte without the
// encoder: every byte value in the single-byte fields and the two texts,
// two-byte fields below 32768, a country mask of one of the 26 entries.
std::string RandomRecordBytes(std::mt19937& random);

// The bytes of a name list and a binary file.
struct SamplePair {
    std::string names;
    std::string binary;
};

// count well-formed records with random names (CR LF after each).
SamplePair RandomPair(std::mt19937& random, int count);
// The pair that records make, written with the storage encoders.
SamplePair EncodePair(const std::vector<Equipment>& records);

// Writes EQUIP97.TXT and EQUIP97.EQP into folder.
void WritePair(const std::string& folder, const SamplePair& pair);
void WritePair(const std::string& folder, const std::vector<Equipment>& records);

// A new empty folder under the system's temporary folder (no trailing '/').
std::string TempFolder();
// Removes folder and everything in it when it goes out of scope.
class ScopedTempFolder {
public:
    ScopedTempFolder() : mPath(TempFolder()) {}
    ~ScopedTempFolder();
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;
    const std::string& path() const { return mPath; }
    std::string operator/(const std::string& name) const { return mPath + "/" + name; }

private:
    std::string mPath;
};

// Whole-file helpers; ReadBytes gives "<missing>" for a file that cannot be read.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace kestrel
