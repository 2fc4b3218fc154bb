#include "storage/EquipmentFiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/RecordFormat.h"
#include "storage/FileSystem.h"
#include "storage/Messages.h"
#include "text/SpelledOut.h"
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
// Built in place and moved into the record: a copy through a scratch buffer
// costs a second pass over every text of the file.
Text unpadded(const unsigned char* p, std::size_t size) {
    while (size > 0 && p[size - 1] == 0)
        --size;
    return Text(reinterpret_cast<const char*>(p), size);
}

// The mask bytes of the 26 countries as one number each, so a load compares
// four bytes at once instead of building a hexadecimal text per record.
// Entry 0 gives 0 like a mask that matches nothing, but it is a known mask.
struct MaskBytes {
    std::uint32_t masks[26] = {};
    bool known[26] = {};  // a table entry of four bytes
    MaskBytes() {
        // Read against empty tables every mask would be unknown and kept
        // as such; the tables' values never change, so filling them is safe.
        if (CountryMasks[0].empty())
            InitLookupTables();
        for (std::size_t k = 0; k < 26; ++k) {
            const std::string bytes = HexToBytes(CountryMasks[k]);
            known[k] = bytes.size() == 4;
            if (known[k])
                std::memcpy(&masks[k], bytes.data(), 4);
        }
    }
    // The index, or -1 for a mask of no country.
    Long country(const unsigned char* p) const {
        std::uint32_t mask = 0;
        std::memcpy(&mask, p, 4);
        for (std::size_t k = 1; k < 26; ++k) {
            if (known[k] && masks[k] == mask)
                return static_cast<Long>(k);
        }
        return known[0] && masks[0] == mask ? 0 : -1;
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
    Long country = masks.country(p + 30);
    record.setCountry(country < 0 ? 0 : country);
    if (country < 0)
        record.setUnknownMask({p[30], p[31], p[32], p[33]});
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

bool putTwoByte(unsigned char* p, Long value) {
    if (value < 0 || value > kMaxTwoByte)
        return false;
    p[0] = static_cast<unsigned char>(value % 256);
    p[1] = static_cast<unsigned char>(value / 256);
    return true;
}

void putPadded(unsigned char* p, const Text& text, std::size_t size) {
    std::size_t n = std::min(text.size(), size);
    std::memcpy(p, text.data(), n);
    std::memset(p + n, 0, size - n);
}

// The 73 bytes of record, in the order decodeRecord reads them; false, with
// nothing appended, where a value does not fit.
bool encodeRecord(const Equipment& record, const MaskBytes& masks, std::string& out) {
    unsigned char p[kRecordSize];
    if (!putTwoByte(p, record.EqCode()))
        return false;
    p[2] = record.EqClass();
    p[3] = record.SoftAttack();
    p[4] = record.HardAttack();
    p[5] = record.AirAttack();
    p[6] = record.NavalAttack();
    p[7] = record.GroundDefense();
    p[8] = record.AirDefense();
    p[9] = record.CloseDefense();
    p[10] = record.TargetType();
    p[11] = record.Initiative();
    p[12] = record.GunRange();
    p[13] = record.SpottingRange();
    p[14] = record.RangeDefenseModifier();
    p[15] = record.MoveMode();
    p[16] = record.MovementMode();
    p[17] = record.Movement();
    p[18] = record.Fuel();
    p[19] = record.Ammunition();
    p[20] = record.Unk0();
    long prestige = SavedCostByte(record.PrestigeCost());
    if (prestige < 0 || prestige > kMaxCostByte)
        return false;
    p[21] = static_cast<unsigned char>(prestige);
    p[22] = record.Unk1();
    p[23] = record.Unk2();
    p[24] = record.Unk3();
    p[25] = record.Unk4();
    p[26] = record.MonthAvail();
    p[27] = record.YearAvail();
    p[28] = record.YearExpire();
    p[29] = record.NonOrganicTransport();
    std::size_t k = 0;
    if (const auto& mask = record.MaskAsRead()) {
        std::memcpy(p + 30, mask->data(), 4);
    } else {
        if (record.Country() < 0 || record.Country() > 25)
            return false;
        k = static_cast<std::size_t>(record.Country());
        std::memcpy(p + 30, &masks.masks[k], 4);
    }
    if (!putTwoByte(p + 34, record.UnitSpecial()))
        return false;
    p[36] = record.Unk5();
    p[37] = record.Unk6();
    p[38] = record.Unk7();
    putPadded(p + 39, record.IconName(), kIconSize);
    if (!putTwoByte(p + 45, record.AttackSound()) || !putTwoByte(p + 47, record.MoveSound()) ||
        !putTwoByte(p + 49, record.DeathSound())) {
        return false;
    }
    putPadded(p + 51, record.LastPart(), kLastPartSize);
    const auto* bytes = reinterpret_cast<const char*>(p);
    if (record.MaskAsRead() || masks.known[k]) {
        out.append(bytes, kRecordSize);
    } else {
        // A table entry that is not four bytes goes in as it stands.
        out.append(bytes, 30);
        out += HexToBytes(CountryMasks[k]);
        out.append(bytes + 34, kRecordSize - 34);
    }
    return true;
}

// Lines end at CR (CR LF counting as one end), and a lone LF stays part of
// its name; only a list with no CR at all, as a text editor may leave it,
// ends its lines at LF.
char lineEnd(std::string_view bytes) {
    return std::memchr(bytes.data(), '\r', bytes.size()) ? '\r' : '\n';
}

template <typename Visit>
void forEachLine(std::string_view bytes, Visit visit) {
    const char end = lineEnd(bytes);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const void* found = std::memchr(bytes.data() + start, end, bytes.size() - start);
        if (!found)
            break;
        std::size_t k = static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
        visit(bytes.substr(start, k - start));
        if (end == '\r' && k + 1 < bytes.size() && bytes[k + 1] == '\n')
            ++k;
        start = k + 1;
    }
    if (start < bytes.size())
        visit(bytes.substr(start));
}

std::string counted(Long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "line 4", "lines 4 and 5", "lines 4 to 9".
std::string span(const char* one, const char* many, Long first, Long last) {
    if (first == last)
        return std::string(one) + " " + std::to_string(first);
    return std::string(many) + " " + std::to_string(first) +
           (last == first + 1 ? " and " : " to ") + std::to_string(last);
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

std::vector<Text> DecodeNameList(std::string_view bytes) {
    std::vector<Text> names;
    forEachLine(bytes, [&names](std::string_view line) { names.emplace_back(line); });
    return names;
}

bool NameListEndsLinesWithLf(std::string_view bytes) {
    return lineEnd(bytes) == '\n' && std::memchr(bytes.data(), '\n', bytes.size()) != nullptr;
}

std::size_t CountNameLines(std::string_view bytes, std::size_t stopAfter) {
    const char end = lineEnd(bytes);
    std::size_t lines = 0;
    std::size_t k = 0;
    while (k < bytes.size() && lines <= stopAfter) {
        const void* found = std::memchr(bytes.data() + k, end, bytes.size() - k);
        ++lines;
        if (!found)
            break;
        k = static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data()) + 1;
        if (end == '\r' && k < bytes.size() && bytes[k] == '\n')
            ++k;
    }
    return lines;
}

NamesAndRecords CompareNamesAndRecords(std::string_view nameBytes, Long count,
                                       std::size_t binarySize) {
    NamesAndRecords shape;
    shape.count = count;
    shape.lines = static_cast<Long>(CountNameLines(nameBytes, kMaxNameLines));
    const std::size_t whole = binarySize < 2 ? 0 : (binarySize - 2) / kRecordSize;
    shape.held = static_cast<Long>(std::min<std::size_t>(whole, static_cast<std::size_t>(count)));
    if (shape.lines == count + 1) {
        bool lastEmpty = false;
        forEachLine(nameBytes, [&lastEmpty](std::string_view line) { lastEmpty = line.empty(); });
        shape.blankLastLine = lastEmpty;
    }
    return shape;
}

std::string NamesAndRecords::difference(std::string_view nameBytes) const {
    if (lines == count)
        return std::string();
    std::string text = "the name list has " + counted(lines, "line", "lines") +
                       ", the equipment file " + counted(count, "record", "records") + "; ";
    if (blankLastLine)
        return text + "line " + std::to_string(lines) +
               " is empty; it is left out, and a save writes the list without it";
    if (lines < count) {
        const Long first = lines + 1;
        return text + span("record", "records", first, count) +
               (first == count ? " has no name line and is listed with an empty name"
                               : " have no name line and are listed with empty names");
    }
    // Every name left out is named, up to a length a message can show.
    constexpr Long kShownNames = 20;
    std::string names;
    Long line = 0;
    forEachLine(nameBytes, [&](std::string_view name) {
        ++line;
        if (line <= count || line > count + kShownNames)
            return;
        names += line == count + 1 ? "" : ", ";
        names += "\"" + SpelledOut(Text(name)) + "\"";
    });
    if (lines - count > kShownNames)
        names += " and " + std::to_string(lines - count - kShownNames) + " more";
    return text + span("line", "lines", count + 1, lines) + " (" + names + ")" +
           (lines == count + 1 ? " has no record and is left out"
                               : " have no record and are left out");
}

namespace {

// The records are made in one vector and handed to the list together at the
// end, whatever the outcome: one allocation for all of them, each record
// built once.
Long decodePair(std::string_view nameBytes, std::string_view binaryBytes, Equipments& equipments,
                std::vector<Equipment>& records, LoadReport& found) {
    auto add = [&found](LoadFinding::Kind kind, long first, long second, std::string message) {
        found.findings.push_back({kind, first, second, std::move(message)});
    };
    auto fail = [&found](Long counter) {
        found.complete = false;
        found.failedAt = counter;
        return counter;
    };
    if (NameListEndsLinesWithLf(nameBytes))
        add(LoadFinding::Kind::LfLineEnds, 0, 0, kLfLineEndsMessage);

    records.reserve(2 + binaryBytes.size() / kRecordSize);
    Long n = 0;
    auto addBlank = [&](std::string_view name) {
        Equipment& blank = records.emplace_back();
        blank.setEqCode(++n);
        if (!name.empty())
            blank.setEqName(Text(name));
    };

    const auto* p = reinterpret_cast<const unsigned char*>(binaryBytes.data());
    Long count = 0;
    if (binaryBytes.size() < 2 || !twoByte(p, count)) {
        // Without a count the names are all there is to list.
        forEachLine(nameBytes, addBlank);
        add(LoadFinding::Kind::ReadFailure, n + 1, 0,
            binaryBytes.size() < 2 ? "the equipment file is too short to hold its record count"
                                   : "the equipment file's record count is 32768 or more");
        return fail(n + 1);
    }
    const NamesAndRecords shape = CompareNamesAndRecords(nameBytes, count, binaryBytes.size());
    const Long listed = shape.listed();
    forEachLine(nameBytes, [&](std::string_view line) {
        if (n < listed && n < shape.named())
            addBlank(line);
    });
    while (n < listed)
        addBlank(std::string_view());
    // Name-only records with a silent return would let the next save write
    // zeros over every record: the records the file holds are read, and the
    // lines that differ are named.
    if (shape.blankLastLine) {
        add(LoadFinding::Kind::BlankLastLine, shape.lines, count, shape.difference(nameBytes));
    } else if (!shape.agree()) {
        add(LoadFinding::Kind::CountMismatch, shape.lines, count, shape.difference(nameBytes));
    }
    const Long mismatch = shape.agree() ? 0 : shape.lines + 1;

    const MaskBytes masks;
    auto item = records.begin();
    long unknownMasks = 0;
    long firstUnknown = 0;
    const Long decoded = std::min(listed, count);
    for (Long i = 1; i <= decoded; ++i, ++item) {
        std::size_t offset = 2 + kRecordSize * static_cast<std::size_t>(i - 1);
        if (binaryBytes.size() < offset + kRecordSize) {
            add(LoadFinding::Kind::ShortFile, i - 1, count,
                "the equipment file ends in record " + std::to_string(i) + ": it holds " +
                    std::to_string(i - 1) + " whole records of " + std::to_string(count));
            return fail(i);
        }
        if (!decodeRecord(p + offset, masks, *item)) {
            add(LoadFinding::Kind::ReadFailure, i, 0,
                "record " + std::to_string(i) + " holds a two-byte value of 32768 or more");
            return fail(i);
        }
        if (item->hasUnknownMask() && ++unknownMasks == 1)
            firstUnknown = i;
    }
    if (decoded < count && shape.held == decoded) {
        // Records beyond the names that the file does not hold are not listed.
        add(LoadFinding::Kind::ShortFile, shape.held, count,
            "the equipment file ends in record " + std::to_string(shape.held + 1) + ": it holds " +
                std::to_string(shape.held) + " whole records of " + std::to_string(count));
    }
    if (unknownMasks > 0) {
        add(LoadFinding::Kind::UnknownMasks, unknownMasks, firstUnknown,
            std::to_string(unknownMasks) + (unknownMasks == 1 ? " record has" : " records have") +
                " a country mask that matches no country, the first is record " +
                std::to_string(firstUnknown) + "; the masks are kept as they are");
    }
    const std::size_t end = 2 + kRecordSize * static_cast<std::size_t>(count);
    if (binaryBytes.size() > end) {
        std::string_view tail = binaryBytes.substr(end);
        add(LoadFinding::Kind::TrailingBytes, static_cast<long>(tail.size()), 0,
            "the equipment file holds " + std::to_string(tail.size()) +
                " bytes after its last record; a save of this pair keeps them");
        equipments.setTrailingBytes(equipments.DataPath(), std::string(tail));
    }
    return mismatch != 0 ? fail(mismatch) : 0;
}

}  // namespace

Long DecodeEquipmentPair(std::string_view nameBytes, std::string_view binaryBytes,
                         Equipments& equipments, LoadReport* report) {
    LoadReport ignored;
    std::vector<Equipment> records;
    const Long failed =
        decodePair(nameBytes, binaryBytes, equipments, records, report ? *report : ignored);
    equipments.AddAll(std::move(records));
    return failed;
}

std::optional<Equipment> FittedToFile(const Equipment& record) {
    static const MaskBytes masks;
    std::string bytes;
    bytes.reserve(kRecordSize);
    if (!encodeRecord(record, masks, bytes))
        return std::nullopt;
    Equipment fitted = record;
    if (!decodeRecord(reinterpret_cast<const unsigned char*>(bytes.data()), masks, fitted))
        return std::nullopt;
    return fitted;
}

std::vector<RecordFit> FitsOfASave(const Equipments& list) {
    std::vector<RecordFit> fits;
    Long position = 0;
    for (const EquipmentRef& record : list) {
        ++position;
        std::optional<Equipment> fitted = FittedToFile(*record);
        if (!fitted || *fitted == *record)
            continue;
        RecordFit fit{position, std::move(*fitted), {}};
        for (int field = 0; field < kFieldCount; ++field) {
            const bool differs = fieldKind(field) == FieldKind::Text
                                     ? fit.fitted.text(field) != record->text(field)
                                     : fit.fitted.number(field) != record->number(field);
            if (differs)
                fit.fields.push_back(field);
        }
        fits.push_back(std::move(fit));
    }
    return fits;
}

Long EncodeNameList(const Equipments& equipments, std::string& out) {
    out.clear();
    std::size_t size = 0;
    for (const EquipmentRef& record : equipments)
        size += record->EqName().size() + 2;
    out.reserve(size);
    Long i = 1;
    for (const EquipmentRef& record : equipments) {
        const Text& name = record->EqName();
        // Written as it stands a CR would end the line and shift every later
        // name; a lone LF does not end a line and is read back as it was.
        if (name.find('\r') != Text::npos)
            return i;
        out += name;
        out += "\r\n";
        ++i;
    }
    return 0;
}

Long EncodeBinaryFile(const Equipments& equipments, std::string& out) {
    // Empty tables would give records without their four mask bytes.
    if (CountryMasks[0].empty())
        InitLookupTables();
    out.clear();
    out.reserve(2 + kRecordSize * static_cast<std::size_t>(equipments.Count()));
    const Long count = equipments.Count();
    if (count < 0 || count > kMaxTwoByte)
        return count + 1;
    out.push_back(static_cast<char>(count % 256));
    out.push_back(static_cast<char>(count / 256));
    const MaskBytes masks;
    Long i = 1;
    for (const EquipmentRef& record : equipments) {
        if (!encodeRecord(*record, masks, out))
            return i;
        ++i;
    }
    // Bytes this program does not understand stay where they were found.
    if (!equipments.TrailingBytes().empty() &&
        equipments.TrailingBytesPath() == equipments.DataPath()) {
        out += equipments.TrailingBytes();
    }
    return 0;
}

}  // namespace kestrel
