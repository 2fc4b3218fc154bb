#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Equipments.h"
#include "model/RecordFormat.h"
#include "storage/LoadReport.h"
#include "storage/PairPaths.h"

namespace kestrel {

// Character codes as upper-case hexadecimal pairs ("AB" gives "4142").
std::string BytesToHex(std::string_view bytes);
// The inverse of BytesToHex on the digit-only country mask texts.
std::string HexToBytes(std::string_view hex);
// The country index whose mask text equals mask (entries 1 to 25), else 0.
Long CountryFromMask(const std::string& mask);

// Loads the pair named by equipments.DataPath(), appending records, and saves
// it with temporary files and backups. Both report failures through
// ReportMessage and return normally; a save refused for a record's values
// reports only the write message with its counter.
void GetEquipments(Equipments& equipments);
void PutEquipments(const Equipments& equipments);

// What a load does where it finds a save of the pair that was cut short:
// finish or undo it before reading, or only say so (a pair opened to compare
// with is not ours to change).
enum class InterruptedSave { Repair, ReportOnly };
// GetEquipments without the message: what the load found, for the caller to
// tell.
LoadReport LoadEquipments(Equipments& equipments,
                          InterruptedSave interrupted = InterruptedSave::Repair);

// What a save did. ok is false when the message says something went wrong:
// the write message with its counter, then why in plain words. Where a
// record holds a value the file cannot take, refusedRecord is its counter
// (Count + 1 for the list as a whole) and the message says no more: which
// values are at fault is for the caller to word (SaveFailureMessage).
struct SaveResult {
    bool ok = true;
    std::string message;
    Long failedAt = 0;       // the counter of the write message, 0 when saved
    Long refusedRecord = 0;  // 0 unless a value stopped the save
};
SaveResult SaveEquipments(const Equipments& equipments);
// How long a save waits for another save of the same pair before it refuses
// with "another save of this pair is under way"; returns the previous wait.
int SetSaveLockWait(int milliseconds);

}  // namespace kestrel

namespace kestrel {

// The names of a name list: lines end at CR LF or a lone CR, and a lone LF
// stays part of its name; a list with no CR at all ends its lines at LF. A
// last line without a terminator is a name too.
std::vector<Text> DecodeNameList(std::string_view nameBytes);

// The list holds no CR but at least one LF: its lines end at LF alone.
bool NameListEndsLinesWithLf(std::string_view nameBytes);
inline const char* const kLfLineEndsMessage =
    "the name list ends its lines with LF alone, not CR LF; it was read line by line, and a "
    "save writes CR LF";

// The number of lines DecodeNameList would give, counting no further than
// stopAfter.
std::size_t CountNameLines(std::string_view nameBytes, std::size_t stopAfter);

// How the lines of a name list and the records of the binary file match up.
// The records the file holds are listed with the names by line; names beyond
// the count are left out, records beyond the names have empty names.
struct NamesAndRecords {
    Long lines = 0;              // of the name list
    Long count = 0;              // the records the binary file claims
    Long held = 0;               // whole records the file holds, at most count
    bool blankLastLine = false;  // one line more than records, and that line is empty

    // Only a blank last line may stand beside a count it does not match: a
    // text editor adds one as a matter of course.
    bool agree() const { return lines == count || blankLastLine; }
    Long named() const { return std::min(lines, count); }
    // The records of the list: every named one, and every one the file holds.
    Long listed() const { return lines == count ? lines : std::max(named(), held); }
    // What differs and where, in plain words: "the name list has 39 lines,
    // the equipment file 38 records; line 39 is empty; ...". Empty when the
    // two agree line for record.
    std::string difference(std::string_view nameBytes) const;
};
NamesAndRecords CompareNamesAndRecords(std::string_view nameBytes, Long count,
                                       std::size_t binarySize);

// Appends one name-only record per line (EqCode the line number) and fills
// them from the binary file; where the count differs from the lines, as
// NamesAndRecords says. Returns 0, or the counter the read
// message shows for what failed. The findings go to report where given;
// bytes after the last record are kept in equipments for its next save.
Long DecodeEquipmentPair(std::string_view nameBytes, std::string_view binaryBytes,
                         Equipments& equipments, LoadReport* report = nullptr);

// A record as the file gives it back after a save: what the save writes,
// read again, so that it is the encoder itself that says what fits. nullopt
// where the save refuses the record.
std::optional<Equipment> FittedToFile(const Equipment& record);

// A record whose values a save changes to fit the file: a cost that is not a
// multiple of 12, a text too long for its field, ...
struct RecordFit {
    Long position = 0;        // 1 for the first record
    Equipment fitted;         // the record as the file would give it back
    std::vector<int> fields;  // the fields whose values change
};
// Every record of list that a save would change, in list order.
std::vector<RecordFit> FitsOfASave(const Equipments& list);

// The bytes of the two files for the collection. Return 0, or the counter
// the write message shows for the record (or Count + 1) that cannot be
// written.
Long EncodeNameList(const Equipments& equipments, std::string& out);
Long EncodeBinaryFile(const Equipments& equipments, std::string& out);

// The largest name list the pair may have, and the largest binary file.
constexpr std::size_t kMaxNameLines = 32768;
constexpr std::uint64_t kMaxNameListBytes = 16u << 20;
constexpr std::uint64_t kMaxBinaryBytes = 2 + kRecordSize * static_cast<std::uint64_t>(kMaxRecords);

inline const char* const kReadMessage = "Equipment File can not be read";
inline const char* const kWriteMessage = "Equipment File can not be written";

}  // namespace kestrel
