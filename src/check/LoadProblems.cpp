#include "check/LoadProblems.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "model/RecordFormat.h"
#include "storage/EquipmentFiles.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {

namespace {

constexpr std::size_t kCountSize = 2;
constexpr std::size_t kMaskOffset = 30;
constexpr std::size_t kMaskSize = 4;

// The two-byte fields of a record at their offsets, in file order: the ones
// whose high byte can stop a load.
struct TwoByteField {
    Field field;
    std::size_t offset;
};
constexpr TwoByteField kTwoByteFields[] = {
    {Field::EqCode, 0},     {Field::UnitSpecial, 34}, {Field::AttackSound, 45},
    {Field::MoveSound, 47}, {Field::DeathSound, 49},
};

unsigned twoByteAt(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) + 256u * static_cast<unsigned char>(bytes[at + 1]);
}

// Four mask bytes as one word.
std::uint32_t maskWord(std::string_view bytes) {
    std::uint32_t word = 0;
    for (char c : bytes)
        word = (word << 8) | static_cast<unsigned char>(c);
    return word;
}

std::size_t recordOffset(Long position) {
    return kCountSize + kRecordSize * static_cast<std::size_t>(position - 1);
}

Problem fileProblem(ProblemKind kind, std::string message) {
    Problem p;
    p.severity = Severity::Warning;
    p.kind = kind;
    p.message = std::move(message);
    return p;
}

Problem recordProblem(const Equipments& loaded, Long position, ProblemKind kind, int field,
                      std::string message) {
    Problem p = fileProblem(kind, std::move(message));
    p.record = position;
    p.field = field;
    if (position <= loaded.Count()) {
        const Equipment& e = *loaded.Item(position);
        p.eqCode = e.EqCode();
        p.eqName = e.EqName();
    }
    return p;
}

std::string readMessage(Long failedAt) {
    return " (\"" + std::string(kReadMessage) + std::to_string(failedAt) + "\")";
}

std::string plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::vector<Problem> LoadProblems(std::string_view nameBytes, std::string_view binaryBytes,
                                  const Equipments& loaded, Long failedAt) {
    std::vector<Problem> problems;
    const char* const namesOnly = "; the load kept the names only, every value 0";

    if (binaryBytes.size() < kCountSize) {
        problems.push_back(fileProblem(ProblemKind::CountUnreadable,
                                       "the equipment file is " +
                                           plural(binaryBytes.size(), "byte", "bytes") +
                                           " long, too short for its record count" + namesOnly));
        return problems;
    }
    const unsigned count = twoByteAt(binaryBytes, 0);
    if (count > static_cast<unsigned>(kMaxTwoByte)) {
        problems.push_back(
            fileProblem(ProblemKind::CountUnreadable, "the equipment file's record count " +
                                                          std::to_string(count) + " is above " +
                                                          std::to_string(kMaxTwoByte) + namesOnly));
        return problems;
    }
    const NamesAndRecords shape =
        CompareNamesAndRecords(nameBytes, static_cast<Long>(count), binaryBytes.size());
    if (NameListEndsLinesWithLf(nameBytes))
        problems.push_back(fileProblem(ProblemKind::LfLineEnds, kLfLineEndsMessage));
    if (shape.blankLastLine)
        problems.push_back(fileProblem(ProblemKind::BlankLastLine, shape.difference(nameBytes)));
    const std::size_t countDisagrees = problems.size();
    if (!shape.agree())
        problems.push_back(fileProblem(ProblemKind::CountDisagrees, shape.difference(nameBytes)));

    // The record the load stopped at, found in the bytes as the loader meets it.
    const Long records = std::min(shape.listed(), static_cast<Long>(count));
    const std::size_t needed = recordOffset(static_cast<Long>(count) + 1);
    Long stop = 0;
    const TwoByteField* culprit = nullptr;
    for (Long position = 1; position <= records && stop == 0; ++position) {
        if (binaryBytes.size() < recordOffset(position + 1)) {
            stop = position;
            break;
        }
        for (const TwoByteField& f : kTwoByteFields) {
            if (twoByteAt(binaryBytes, recordOffset(position) + f.offset) >
                static_cast<unsigned>(kMaxTwoByte)) {
                stop = position;
                culprit = &f;
                break;
            }
        }
    }
    if (stop == 0 && failedAt != 0 && shape.agree() && failedAt <= records)
        stop = failedAt;
    const Long readWhole = stop != 0 ? stop - 1 : records;
    if (stop == 0 && !shape.agree()) {
        problems[countDisagrees].message += readMessage(failedAt != 0 ? failedAt : shape.lines + 1);
    }
    if (stop != 0 && binaryBytes.size() < recordOffset(stop + 1)) {
        problems.push_back(fileProblem(
            ProblemKind::FileShort,
            "the equipment file ends inside record " + std::to_string(stop) + " of " +
                std::to_string(count) + " (" + std::to_string(binaryBytes.size()) + " of " +
                std::to_string(needed) + " bytes); the load stopped there, and from record " +
                std::to_string(stop) + " on the list holds the names only" + readMessage(stop)));
    } else if (stop != 0) {
        const char* const stopped =
            "; the load stopped here, so the record is read in part and those after it hold "
            "the names only";
        if (culprit) {
            const int field = static_cast<int>(culprit->field);
            problems.push_back(recordProblem(
                loaded, stop, ProblemKind::RecordUnreadable, field,
                std::string(fieldName(field)) + " " +
                    std::to_string(twoByteAt(binaryBytes, recordOffset(stop) + culprit->offset)) +
                    " in the file is above " + std::to_string(kMaxTwoByte) + stopped +
                    readMessage(stop)));
        } else {
            // The loader stopped for a reason the bytes do not show; say where at least.
            problems.push_back(recordProblem(
                loaded, stop, ProblemKind::RecordUnreadable, -1,
                std::string("the record cannot be read") + stopped + readMessage(stop)));
        }
    } else if (shape.held < static_cast<Long>(count) && records < static_cast<Long>(count)) {
        problems.push_back(fileProblem(
            ProblemKind::FileShort,
            "the equipment file holds " +
                plural(static_cast<std::size_t>(shape.held), "whole record", "whole records") +
                " of the " + std::to_string(count) + " its count claims (" +
                std::to_string(binaryBytes.size()) + " of " + std::to_string(needed) + " bytes)"));
    } else if (binaryBytes.size() > needed) {
        problems.push_back(
            fileProblem(ProblemKind::TrailingBytes,
                        plural(binaryBytes.size() - needed, "byte", "bytes") +
                            " after the last record; a save of this pair keeps them"));
    }

    // Looked for in the bytes, so that a list read before the records kept
    // their masks reports the same; masks compared as four-byte words keep
    // the largest file cheap.
    std::vector<std::uint32_t> knownMasks;
    for (const std::string& hex : CountryMasks) {
        if (const std::string mask = HexToBytes(hex); mask.size() == kMaskSize)
            knownMasks.push_back(maskWord(mask));
    }
    for (Long position = 1; position <= readWhole; ++position) {
        const std::string_view bytes =
            binaryBytes.substr(recordOffset(position) + kMaskOffset, kMaskSize);
        if (std::find(knownMasks.begin(), knownMasks.end(), maskWord(bytes)) == knownMasks.end()) {
            const std::string mask = BytesToHex(bytes);
            problems.push_back(recordProblem(
                loaded, position, ProblemKind::UnknownCountryMask, static_cast<int>(Field::Country),
                "country mask " + mask +
                    " matches no country; a save keeps it unless the country is changed"));
        }
    }
    return problems;
}

}  // namespace kestrel
