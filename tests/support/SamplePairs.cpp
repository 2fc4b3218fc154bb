#include "support/SamplePairs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"

namespace kestrel {

namespace {

int uniform(std::mt19937& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

char anyByte(std::mt19937& random) {
    return static_cast<char>(uniform(random, 0, 255));
}

// Any bytes, the last one not zero, as the reader strips trailing padding.
Text opaqueText(std::mt19937& random, int maxLength) {
    Text text(static_cast<std::size_t>(uniform(random, 0, maxLength)), '\0');
    for (char& c : text)
        c = anyByte(random);
    if (!text.empty() && text.back() == '\0')
        text.back() = static_cast<char>(uniform(random, 1, 255));
    return text;
}

Text randomName(std::mt19937& random) {
    Text name(static_cast<std::size_t>(uniform(random, 0, 24)), '\0');
    for (char& c : name) {
        do
            c = anyByte(random);
        while (c == '\r' || c == '\n');
    }
    return name;
}

void putTwoByte(std::string& out, int value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

}  // namespace

Equipment RandomEquipment(std::mt19937& random) {
    Equipment e;
    for (int field = 0; field < kFieldCount; ++field) {
        switch (fieldKind(field)) {
            case FieldKind::Byte:
                e.setNumber(field, uniform(random, 0, 255));
                break;
            case FieldKind::Long:
                e.setNumber(field, uniform(random, 0, 32767));
                break;
            case FieldKind::Text:
                break;
        }
    }
    e.setPrestigeCost(12 * uniform(random, 0, 255));
    e.setCountry(uniform(random, 0, 25));
    e.setEqName(randomName(random));
    e.setIconName(opaqueText(random, 6));
    e.setLastPart(opaqueText(random, 22));
    return e;
}

std::string RandomRecordBytes(std::mt19937& random) {
    std::string r;
    r.reserve(73);
    putTwoByte(r, uniform(random, 0, 32767));
    for (int k = 2; k <= 29; ++k)
        r.push_back(anyByte(random));
    unsigned mask = 0x40000000u >> uniform(random, 0, 25);
    for (int shift = 24; shift >= 0; shift -= 8)
        r.push_back(static_cast<char>((mask >> shift) & 0xFF));
    putTwoByte(r, uniform(random, 0, 32767));
    for (int k = 36; k <= 38; ++k)
        r.push_back(anyByte(random));
    // Texts padded with zeros after random bytes, which may hold zeros of their own.
    Text icon = opaqueText(random, 6);
    r += icon + std::string(6 - icon.size(), '\0');
    for (int k = 0; k < 3; ++k)
        putTwoByte(r, uniform(random, 0, 32767));
    Text last = opaqueText(random, 22);
    r += last + std::string(22 - last.size(), '\0');
    return r;
}

SamplePair RandomPair(std::mt19937& random, int count) {
    SamplePair pair;
    putTwoByte(pair.binary, count);
    for (int k = 0; k < count; ++k) {
        pair.names += randomName(random) + "\r\n";
        pair.binary += RandomRecordBytes(random);
    }
    return pair;
}

SamplePair EncodePair(const std::vector<Equipment>& records) {
    Equipments equipments;
    for (const Equipment& e : records)
        equipments.Add(e);
    SamplePair pair;
    if (EncodeNameList(equipments, pair.names) != 0 ||
        EncodeBinaryFile(equipments, pair.binary) != 0) {
        throw std::invalid_argument("sample records do not fit the file format");
    }
    return pair;
}

void WritePair(const std::string& folder, const SamplePair& pair) {
    WriteBytes(folder + "/EQUIP97.TXT", pair.names);
    WriteBytes(folder + "/EQUIP97.EQP", pair.binary);
}

void WritePair(const std::string& folder, const std::vector<Equipment>& records) {
    WritePair(folder, EncodePair(records));
}

// create_directory tells a new folder from one already there, so a name
// another process took is passed over, as mkdtemp would.
std::string TempFolder() {
    static std::mt19937 random(std::random_device{}());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[16];
        std::snprintf(name, sizeof name, "kestrel-%06x",
                      static_cast<unsigned>(random() & 0xFFFFFF));
        std::error_code error;
        if (std::filesystem::create_directory(base / name, error))
            return (base / name).generic_string();
    }
    throw std::runtime_error("cannot create a temporary folder");
}

ScopedTempFolder::~ScopedTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

}  // namespace kestrel
