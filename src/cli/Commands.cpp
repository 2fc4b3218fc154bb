#include "cli/Commands.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

#include "cli/CommandOptions.h"
#include "cli/CsvTable.h"
#include "cli/PairAccess.h"
#include "model/Equipments.h"
#include "storage/ClipboardText.h"
#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"
#include "storage/Messages.h"
#include "vocabulary/LookupTables.h"

namespace kestrel::cli {

namespace {

const char kToolHelp[] =
    "Usage: kestrel-eqp COMMAND [ARGUMENTS]\n"
    "\n"
    "Checks, exports and imports Ironfront II equipment file pairs (EQUIP97.EQP\n"
    "with EQUIP97.TXT beside it) with the editor's own load and save.\n"
    "\n"
    "Commands:\n"
    "  check PATH                              list every problem of a pair\n"
    "  export PATH [--format clip|csv] [-o FILE]\n"
    "                                          write every record as text\n"
    "  import FILE PATH [--format clip|csv]    write records from text as a new pair\n"
    "\n"
    "PATH is a folder holding EQUIP97.EQP, or an .EQP file (X.EQP pairs with\n"
    "X.TXT); anything else is refused.\n"
    "kestrel-eqp COMMAND --help describes one command.\n";

const char kCheckHelp[] =
    "Usage: kestrel-eqp check PATH\n"
    "\n"
    "Loads the pair at PATH (the EQUIP97.EQP file or its folder) as the editor's\n"
    "Load does and lists every problem, one per line: a read failure and its\n"
    "record, a record count that differs from the number of names, codes with no\n"
    "word, country masks that match no country, values and names a save would\n"
    "refuse.\n"
    "\n"
    "Exit status: 0 the pair loads and saves cleanly, 1 it has problems,\n"
    "2 it cannot be read.\n";

const char kExportHelp[] =
    "Usage: kestrel-eqp export PATH [--format clip|csv] [-o FILE]\n"
    "\n"
    "Writes every record of the pair at PATH to standard output, or to FILE.\n"
    "  --format clip  the text the editor's Copy puts on the clipboard for all\n"
    "                 rows, in the files' code page (the default)\n"
    "  --format csv   RFC 4180: a heading row of the 40 property names, one row\n"
    "                 per record, codes as numbers, EqName and IconName in UTF-8,\n"
    "                 LastPart as hexadecimal digits\n"
    "\n"
    "Exit status: 0 written, 1 the pair does not load cleanly (see check) or\n"
    "a record's IconName or LastPart holds a CR and an LF that would split its\n"
    "clip line, 2 it cannot be read or FILE cannot be written.\n";

const char kImportHelp[] =
    "Usage: kestrel-eqp import FILE PATH [--format clip|csv] [--lenient]\n"
    "                          [--allow-empty]\n"
    "\n"
    "Reads records from FILE (- for standard input), checks the whole text and\n"
    "writes the records as a new pair at PATH (a folder holding EQUIP97.EQP, or\n"
    "a file X.EQP in an existing folder, which pairs with X.TXT) with the\n"
    "editor's save: the previous files stay as backups X.T and X.E. The format\n"
    "is clip unless --format says csv. A refused text changes nothing and is\n"
    "reported with its line.\n"
    "  --lenient      write values the pair cannot hold exactly as given (an\n"
    "                 IconName over 6 bytes, a LastPart over 22, a PrestigeCost\n"
    "                 not a multiple of 12, a number with a fraction) as the\n"
    "                 file holds them, with a warning for each; without it\n"
    "                 they are refused\n"
    "  --allow-empty  write a pair of no records; without it a text without\n"
    "                 records is refused\n"
    "\n"
    "Exit status: 0 written, 1 the text was refused or the save failed,\n"
    "2 FILE or the folder of PATH cannot be read.\n";

bool isHelp(const std::string& a) {
    return a == "--help" || a == "-h";
}

// The record count the binary file claims, when it has the two bytes.
std::optional<long> headerCount(const std::string& binary) {
    if (binary.size() < 2)
        return std::nullopt;
    auto lo = static_cast<unsigned char>(binary[0]);
    auto hi = static_cast<unsigned char>(binary[1]);
    return static_cast<long>(hi) * 256 + lo;
}

long roundedCost(Long cost) {
    return static_cast<long>(std::nearbyint(static_cast<double>(cost) / 12.0));
}

std::vector<EquipmentRef> refsOf(const Equipments& equipments) {
    return std::vector<EquipmentRef>(equipments.begin(), equipments.end());
}

// The problems a load of the pair and a save of what it loaded would meet.
std::vector<std::string> problemsOf(const PairBytes& pair) {
    std::vector<std::string> problems;
    Equipments equipments;
    equipments.setDataPath(pair.dataPath);
    LoadReport report;
    Long failedAt = DecodeEquipmentPair(pair.names, pair.binary, equipments, &report);
    const long names = static_cast<long>(DecodeNameList(pair.names).size());
    for (const LoadFinding& finding : report.findings) {
        if (finding.kind == LoadFinding::Kind::ShortFile ||
            finding.kind == LoadFinding::Kind::TrailingBytes) {
            problems.push_back("file: " + finding.message);
        }
    }
    if (pair.unread > 0) {
        problems.push_back("file: the equipment file is larger than the largest pair; its last " +
                           std::to_string(pair.unread) + " bytes were not read");
    }
    auto count = headerCount(pair.binary);

    // The loader refuses a count that differs from the names with the same
    // message as a read failure; the count problem says more.
    const bool countsAgree = count && *count == names;
    if (count && !countsAgree && *count < 32768) {
        problems.push_back("count: the equipment file holds " + std::to_string(*count) +
                           " records, the name list " + std::to_string(names) +
                           " names; Load keeps the names only");
    } else if (failedAt != 0) {
        std::string where = failedAt > names ? "while reading the record count"
                                             : "in record " + std::to_string(failedAt);
        problems.push_back("read failure " + where + ": \"" + kReadMessage +
                           std::to_string(failedAt) + "\"");
    }

    struct Coded {
        Field field;
        std::size_t words;
    };
    const Coded coded[] = {
        {Field::EqClass, ClassNames.size()},
        {Field::TargetType, TargetTypeNames.size()},
        {Field::MoveMode, MoveModeNames.size()},
        {Field::MovementMode, MovementMethodNames.size()},
        {Field::NonOrganicTransport, TransportNames.size()},
        {Field::Country, CountryNames.size()},
    };
    const struct {
        Field field;
        long low, high;
    } ranged[] = {
        {Field::EqCode, 0, 32767},      {Field::UnitSpecial, 0, 32767},
        {Field::AttackSound, 0, 32767}, {Field::MoveSound, 0, 32767},
        {Field::DeathSound, 0, 32767},  {Field::Country, 0, 25},
    };

    if (equipments.Count() > 32767) {
        problems.push_back("count: " + std::to_string(equipments.Count()) +
                           " records, a save refuses more than 32767");
    }
    for (Long i = 1; i <= equipments.Count(); ++i) {
        const Equipment& e = *equipments.Item(i);
        const std::string rec = "record " + std::to_string(i) + ": ";
        for (const auto& c : coded) {
            auto v = e.number(static_cast<int>(c.field));
            if (v < 0 || static_cast<std::uint64_t>(v) >= c.words) {
                problems.push_back(rec + fieldName(static_cast<int>(c.field)) + " " +
                                   std::to_string(v) + " has no word");
            }
        }
        if (countsAgree && failedAt == 0) {
            std::size_t at = 2 + 73 * static_cast<std::size_t>(i - 1) + 30;
            if (at + 4 <= pair.binary.size()) {
                std::string mask = BytesToHex(std::string_view(pair.binary).substr(at, 4));
                bool known = false;
                for (const auto& m : CountryMasks)
                    known = known || m == mask;
                if (!known) {
                    problems.push_back(rec + "country mask " + mask +
                                       " matches no country; a save keeps it unless the "
                                       "country is changed");
                }
            }
        }
        bool refused = false;
        for (const auto& r : ranged) {
            auto v = e.number(static_cast<int>(r.field));
            if (v < r.low || v > r.high) {
                refused = true;
                problems.push_back(rec + fieldName(static_cast<int>(r.field)) + " " +
                                   std::to_string(v) + " would be refused by a save (" +
                                   std::to_string(r.low) + " to " + std::to_string(r.high) + ")");
            }
        }
        long cost = roundedCost(e.PrestigeCost());
        if (cost < 0 || cost > 255) {
            refused = true;
            problems.push_back(rec + "PrestigeCost " + std::to_string(e.PrestigeCost()) +
                               " would be refused by a save (-6 to 3065)");
        }
        Equipments one;
        one.Add(e);
        std::string bytes;
        if (!refused && EncodeBinaryFile(one, bytes) != 0) {
            problems.push_back(rec + "a save would refuse this record");
        }
        if (e.EqName().find('\r') != std::string::npos) {
            problems.push_back(rec + "the name holds a line break; a save splits it in two");
        } else if (EncodeNameList(one, bytes) != 0) {
            problems.push_back(rec + "a save would refuse the name");
        }
    }
    return problems;
}

int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1)
        throw UsageError{"check takes one PATH"};
    auto pair = readPair(args[0], err);
    if (!pair)
        return kExitUnreadable;
    auto problems = problemsOf(*pair);
    for (const auto& p : problems)
        out << p << "\n";
    return problems.empty() ? kExitOk : kExitProblems;
}

int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options o = parseOptions(args, true);
    if (o.positional.size() != 1)
        throw UsageError{"export takes one PATH"};
    auto pair = readPair(o.positional[0], err);
    if (!pair)
        return kExitUnreadable;

    Equipments equipments;
    equipments.setDataPath(pair->dataPath);
    Long failedAt = DecodeEquipmentPair(pair->names, pair->binary, equipments);
    auto count = headerCount(pair->binary);
    if (count && *count < 32768 &&
        *count != static_cast<long>(DecodeNameList(pair->names).size())) {
        err << "kestrel-eqp: the record count differs from the number of names; "
               "kestrel-eqp check lists why\n";
        return kExitProblems;
    }
    if (failedAt != 0) {
        ReportMessage(kReadMessage + std::to_string(failedAt));
        err << "kestrel-eqp: the pair does not load; kestrel-eqp check lists why\n";
        return kExitProblems;
    }

    auto refs = refsOf(equipments);
    if (o.format == "clip") {
        // Import would refuse such a text, so say so now rather than write it.
        for (std::size_t i = 0; i < refs.size(); ++i) {
            int f = FieldSplitByCopy(*refs[i]);
            if (f >= 0) {
                err << "kestrel-eqp: record " << i + 1 << ": " << fieldName(f)
                    << " holds a CR and an LF that would split its clip line; "
                       "use --format csv\n";
                return kExitProblems;
            }
        }
    }
    std::string text = o.format == "csv" ? EncodeCsv(refs) : EncodeClipboardText(refs);
    if (o.output) {
        if (!writeOutput(*o.output, text)) {
            err << "kestrel-eqp: cannot write " << *o.output << "\n";
            return kExitUnreadable;
        }
    } else {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
    }
    return kExitOk;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    InitLookupTables();
    auto previous = setMessageHandler(
        [&err](const std::string& message) { err << "kestrel-eqp: " << message << "\n"; });
    struct Restore {
        MessageHandler handler;
        ~Restore() { setMessageHandler(handler); }
    } restore{previous};

    if (args.empty()) {
        err << kToolHelp;
        return kExitUnreadable;
    }
    const std::string& command = args[0];
    std::vector<std::string> rest(args.begin() + 1, args.end());
    bool help = false;
    for (const auto& a : rest)
        help = help || isHelp(a);

    const char* commandHelp = command == "check"    ? kCheckHelp
                              : command == "export" ? kExportHelp
                              : command == "import" ? kImportHelp
                                                    : nullptr;
    if (isHelp(command) || command == "help") {
        out << kToolHelp;
        return kExitOk;
    }
    if (!commandHelp) {
        err << "kestrel-eqp: unknown command \"" << command << "\"\n\n" << kToolHelp;
        return kExitUnreadable;
    }
    if (help) {
        out << commandHelp;
        return kExitOk;
    }
    try {
        if (command == "check")
            return runCheck(rest, out, err);
        if (command == "export")
            return runExport(rest, out, err);
        return runImport(rest, err);
    } catch (const UsageError& e) {
        err << "kestrel-eqp: " << e.what << "\n\n" << commandHelp;
        return kExitUnreadable;
    }
}

}  // namespace kestrel::cli
