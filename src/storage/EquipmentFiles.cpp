#include "storage/EquipmentFiles.h"

#include <cmath>
#include <cstring>

#include "check/Validator.h"
#include "storage/FileSystem.h"
#include "storage/Messages.h"
#include "storage/RecordFormat.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {

namespace {

// Signed 16-bit arithmetic in the file's format: a high byte of 128 or more
// does not fit, which makes the load fail.
bool twoByte(const unsigned char* p, Long& value) {
    if (p[1] >= 128)
        return false;
    value = static_cast<Long>(p[1]) * 256 + p[0];
    return true;
}

// Only the trailing zero padding goes: zero bytes inside the field are data.
Text unpadded(const unsigned char* p, std::size_t size) {
    while (size > 0 && p[size - 1] == 0)
        --size;
    return Text(reinterpret_cast<const char*>(p), size);
}

std::string lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// The mask bytes of countries 1 to 25 (entry 0 is never compared), so a load
// compares four bytes instead of building a hexadecimal text per record.
struct MaskBytes {
    std::string bytes[26];
    MaskBytes() {
        for (std::size_t k = 1; k < 26; ++k)
            bytes[k] = HexToBytes(CountryMasks[k]);
    }
    Long country(const unsigned char* p) const {
        for (std::size_t k = 1; k < 26; ++k) {
            if (bytes[k].size() == 4 && std::memcmp(bytes[k].data(), p, 4) == 0) {
                return static_cast<Long>(k);
            }
        }
        return 0;
    }
};

// Fills record from one 73-byte slice; false at a two-byte field that does
// not fit, with the fields before it already set.
bool decodeRecord(const unsigned char* p, const MaskBytes& masks, Equipment& record) {
    Long value = 0;
    if (!twoByte(p, value))
        return false;
    record.setEqCode(value);
    record.setEqClass(p[2]);
    record.setSoftAttack(p[3]);
    record.setHardAttack(p[4]);
    record.setAirAttack(p[5]);
    record.setNavalAttack(p[6]);
    record.setGroundDefense(p[7]);
    record.setAirDefense(p[8]);
    record.setCloseDefense(p[9]);
    record.setTargetType(p[10]);
    record.setInitiative(p[11]);
    record.setGunRange(p[12]);
    record.setSpottingRange(p[13]);
    record.setRangeDefenseModifier(p[14]);
    record.setMoveMode(p[15]);
    record.setMovementMode(p[16]);
    record.setMovement(p[17]);
    record.setFuel(p[18]);
    record.setAmmunition(p[19]);
    record.setUnk0(p[20]);
    record.setPrestigeCost(static_cast<Long>(p[21]) * 12);
    record.setUnk1(p[22]);
    record.setUnk2(p[23]);
    record.setUnk3(p[24]);
    record.setUnk4(p[25]);
    record.setMonthAvail(p[26]);
    record.setYearAvail(p[27]);
    record.setYearExpire(p[28]);
    record.setNonOrganicTransport(p[29]);
    record.setCountry(masks.country(p + 30));
    if (!twoByte(p + 34, value))
        return false;
    record.setUnitSpecial(value);
    record.setUnk5(p[36]);
    record.setUnk6(p[37]);
    record.setUnk7(p[38]);
    record.setIconName(unpadded(p + 39, kIconSize));
    if (!twoByte(p + 45, value))
        return false;
    record.setAttackSound(value);
    if (!twoByte(p + 47, value))
        return false;
    record.setMoveSound(value);
    if (!twoByte(p + 49, value))
        return false;
    record.setDeathSound(value);
    record.setLastPart(unpadded(p + 51, kLastPartSize));
    return true;
}

bool putTwoByte(std::string& out, Long value) {
    if (value < 0 || value > 32767)
        return false;
    out.push_back(static_cast<char>(value % 256));
    out.push_back(static_cast<char>(value / 256));
    return true;
}

void putPadded(std::string& out, const Text& text, std::size_t size) {
    std::size_t n = std::min(text.size(), size);
    out.append(text, 0, n);
    out.append(size - n, '\0');
}

bool encodeRecord(const Equipment& record, std::string& out) {
    if (!putTwoByte(out, record.EqCode()))
        return false;
    for (int field = static_cast<int>(Field::EqClass); field <= static_cast<int>(Field::Unk0);
         ++field) {
        out.push_back(static_cast<char>(record.number(field)));
    }
    long prestige = SavedCostByte(record.PrestigeCost());
    if (prestige < 0 || prestige > kMaxCostByte)
        return false;
    out.push_back(static_cast<char>(prestige));
    for (int field = static_cast<int>(Field::Unk1);
         field <= static_cast<int>(Field::NonOrganicTransport); ++field) {
        out.push_back(static_cast<char>(record.number(field)));
    }
    if (record.Country() < 0 || record.Country() > 25)
        return false;
    out += HexToBytes(CountryMasks[static_cast<std::size_t>(record.Country())]);
    if (!putTwoByte(out, record.UnitSpecial()))
        return false;
    out.push_back(static_cast<char>(record.Unk5()));
    out.push_back(static_cast<char>(record.Unk6()));
    out.push_back(static_cast<char>(record.Unk7()));
    putPadded(out, record.IconName(), kIconSize);
    if (!putTwoByte(out, record.AttackSound()) || !putTwoByte(out, record.MoveSound()) ||
        !putTwoByte(out, record.DeathSound())) {
        return false;
    }
    putPadded(out, record.LastPart(), kLastPartSize);
    return true;
}

void reportRead(Long counter) {
    ReportMessage(kReadMessage + std::to_string(counter));
}
void reportWrite(Long counter) {
    ReportMessage(kWriteMessage + std::to_string(counter));
}
// The counter alone leaves the user to guess which of 40 values is at fault.
void reportRefusal(const Equipments& equipments, Long counter) {
    std::string message = kWriteMessage + std::to_string(counter);
    for (const Problem& problem : SaveRefusals(equipments, counter))
        message += "\n" + FormatProblem(problem);
    ReportMessage(message);
}

// The previous file becomes the backup without the real name ever being
// absent: a hard link where possible, a copy where not.
bool backUp(FileSystem& fs, const std::string& real, const std::string& backup) {
    if (!fs.fileSize(real))
        return true;
    if (fs.fileSize(backup) && !fs.remove(backup))
        return false;
    return fs.link(real, backup) || fs.copyFile(real, backup);
}

// A lone LF does not end a line: it stays part of the name.
template <typename Visit>
void forEachLine(std::string_view bytes, Visit visit) {
    std::size_t start = 0;
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        if (bytes[k] != '\r')
            continue;
        visit(bytes.substr(start, k - start));
        if (k + 1 < bytes.size() && bytes[k + 1] == '\n')
            ++k;
        start = k + 1;
    }
    if (start < bytes.size())
        visit(bytes.substr(start));
}

}  // namespace

std::string BytesToHex(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        hex.push_back(digits[c >> 4]);
        hex.push_back(digits[c & 15]);
    }
    return hex;
}

std::string HexToBytes(std::string_view hex) {
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t k = 0; k + 1 < hex.size(); k += 2) {
        int code = (static_cast<unsigned char>(hex[k]) - 48) * 16 +
                   (static_cast<unsigned char>(hex[k + 1]) - 48);
        bytes.push_back(static_cast<char>(code));
    }
    return bytes;
}

Long CountryFromMask(const std::string& mask) {
    for (std::size_t k = 1; k < CountryMasks.size(); ++k) {
        if (CountryMasks[k] == mask)
            return static_cast<Long>(k);
    }
    return 0;
}

EquipmentFilePaths PathsFor(const std::string& dataPath) {
    EquipmentFilePaths paths;
    paths.folder = dataPath.substr(0, FolderPartLength(dataPath));
    const std::string& f = paths.folder;
    paths.nameList = f + "EQUIP97.TXT";
    paths.nameListTemp = f + "EQUIP97.TXX";
    paths.nameListBackup = f + "EQUIP97.T";
    paths.binary = dataPath;
    paths.binaryTemp = f + "EQUIP97.TMP";
    paths.binaryBackup = f + "EQUIP97.E";
    FileSystem& fs = fileSystem();
    if (!fs.fileSize(paths.nameList)) {
        if (auto names = fs.listFolder(f.empty() ? std::string(".") : f)) {
            for (const std::string& name : *names) {
                if (lower(name) == "equip97.txt" && fs.fileSize(f + name)) {
                    paths.nameList = f + name;
                    break;
                }
            }
        }
    }
    return paths;
}

std::vector<Text> DecodeNameList(std::string_view bytes) {
    std::vector<Text> names;
    std::size_t start = 0;
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        if (bytes[k] != '\r')
            continue;
        names.emplace_back(bytes.substr(start, k - start));
        if (k + 1 < bytes.size() && bytes[k + 1] == '\n')
            ++k;
        start = k + 1;
    }
    if (start < bytes.size())
        names.emplace_back(bytes.substr(start));
    return names;
}

Long DecodeEquipmentPair(std::string_view nameBytes, std::string_view binaryBytes,
                         Equipments& equipments) {
    equipments.reserve(static_cast<std::size_t>(equipments.Count()) + 2 +
                       binaryBytes.size() / kRecordSize);
    Long n = 0;
    Equipment blank;
    forEachLine(nameBytes, [&](std::string_view line) {
        blank.setEqCode(++n);
        equipments.Add(blank)->setEqName(Text(line));
    });

    const auto* p = reinterpret_cast<const unsigned char*>(binaryBytes.data());
    Long count = 0;
    if (binaryBytes.size() < 2 || !twoByte(p, count))
        return n + 1;
    // Name-only records with a silent return would let the next save write
    // zeros over every record, so the mismatch is reported.
    if (count != n)
        return n + 1;
    const MaskBytes masks;
    auto item = equipments.begin();
    for (Long i = 1; i <= n; ++i, ++item) {
        std::size_t offset = 2 + kRecordSize * static_cast<std::size_t>(i - 1);
        if (binaryBytes.size() < offset + kRecordSize)
            return i;
        if (!decodeRecord(p + offset, masks, **item))
            return i;
    }
    return 0;
}

Long EncodeNameList(const Equipments& equipments, std::string& out) {
    out.clear();
    Long i = 1;
    for (const EquipmentRef& record : equipments) {
        const Text& name = record->EqName();
        // Written as it stands it would split into two lines and shift every later name.
        if (name.find_first_of("\r\n") != Text::npos)
            return i;
        out += name;
        out += "\r\n";
        ++i;
    }
    return 0;
}

Long EncodeBinaryFile(const Equipments& equipments, std::string& out) {
    out.clear();
    out.reserve(2 + kRecordSize * static_cast<std::size_t>(equipments.Count()));
    if (!putTwoByte(out, equipments.Count()))
        return equipments.Count() + 1;
    Long i = 1;
    for (const EquipmentRef& record : equipments) {
        if (!encodeRecord(*record, out))
            return i;
        ++i;
    }
    return 0;
}

void GetEquipments(Equipments& equipments) {
    FileSystem& fs = fileSystem();
    if (equipments.DataPath().empty()) {
        reportRead(1);
        return;
    }
    EquipmentFilePaths paths = PathsFor(equipments.DataPath());
    std::optional<std::string> names = fs.readFile(paths.nameList);
    if (!names) {
        reportRead(1);
        return;
    }
    std::optional<std::string> binary = fs.readFile(paths.binary);
    // A missing binary file decodes as an empty one: n + 1, after the names.
    Long failed = DecodeEquipmentPair(*names, binary ? *binary : std::string_view(), equipments);
    if (failed != 0)
        reportRead(failed);
}

void PutEquipments(const Equipments& equipments) {
    FileSystem& fs = fileSystem();
    const Long afterLast = equipments.Count() + 1;
    EquipmentFilePaths paths = PathsFor(equipments.DataPath());

    std::string names;
    std::string binary;
    if (Long failed = EncodeNameList(equipments, names)) {
        reportRefusal(equipments, failed);
        return;
    }
    if (Long failed = EncodeBinaryFile(equipments, binary)) {
        reportRefusal(equipments, failed);
        return;
    }
    auto modeOf = [&fs](const std::string& path) {
        auto mode = fs.fileMode(path);
        return mode ? static_cast<int>(*mode) : -1;
    };
    if (!fs.writeFile(paths.nameListTemp, names, modeOf(paths.nameList))) {
        reportWrite(1);
        return;
    }
    if (!fs.writeFile(paths.binaryTemp, binary, modeOf(paths.binary))) {
        reportWrite(afterLast);
        return;
    }

    // Each step runs even when the one before it failed, as a move that did
    // not happen leaves the real name in place; the user still learns of it.
    bool moved = true;
    moved = backUp(fs, paths.nameList, paths.nameListBackup) && moved;
    moved = fs.rename(paths.nameListTemp, paths.nameList) && moved;
    moved = backUp(fs, paths.binary, paths.binaryBackup) && moved;
    moved = fs.rename(paths.binaryTemp, paths.binary) && moved;
    moved = fs.syncFolder(paths.folder.empty() ? std::string(".") : paths.folder) && moved;
    if (!moved)
        reportWrite(afterLast);
}

}  // namespace kestrel
