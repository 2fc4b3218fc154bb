#include "cli/Commands.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

#include "cli/CsvTable.h"
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
    "PATH is the EQUIP97.EQP file or the folder holding it.\n"
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
    "Usage: kestrel-eqp import FILE PATH [--format clip|csv]\n"
    "\n"
    "Reads records from FILE (- for standard input), checks the whole text and\n"
    "writes the records as a new pair at PATH (the EQUIP97.EQP file or its\n"
    "folder) with the editor's save: the previous files stay as backups\n"
    "EQUIP97.T and EQUIP97.E. The format is clip unless --format says csv.\n"
    "A refused text changes nothing and is reported with its line.\n"
    "\n"
    "Exit status: 0 written, 1 the text was refused or the save failed,\n"
    "2 FILE or the folder of PATH cannot be read.\n";

const char kBinaryName[] = "EQUIP97.EQP";

struct UsageError {
    std::string what;
};

bool isHelp(const std::string& a) {
    return a == "--help" || a == "-h";
}

std::string upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

// PATH may name the folder; the binary file is then looked up in it under
// any letter case, as a pair copied from another system may have it.
std::string dataPathFor(const std::string& path) {
    auto entries = fileSystem().listFolder(path);
    if (!entries)
        return path;
    std::string folder = path;
    if (!folder.empty() && !IsPathSeparator(folder.back()))
        folder += '/';
    for (const auto& name : *entries) {
        if (upper(name) == kBinaryName)
            return folder + name;
    }
    return folder + kBinaryName;
}

std::string folderOf(const std::string& dataPath) {
    std::string folder = dataPath.substr(0, FolderPartLength(dataPath));
    if (folder.empty())
        return ".";
    // "/" and "C:\" name a folder only with their separator.
    if (folder.size() > 1 && folder[folder.size() - 2] != ':')
        folder.pop_back();
    return folder;
}

struct PairBytes {
    std::string dataPath;
    std::string names;
    std::string binary;
};

std::optional<PairBytes> readPair(const std::string& path, std::ostream& err) {
    if (!fileSystem().listFolder(path) && !fileSystem().fileSize(path)) {
        err << "kestrel-eqp: no such file or folder: " << path << "\n";
        return std::nullopt;
    }
    PairBytes pair;
    pair.dataPath = dataPathFor(path);
    auto paths = PathsFor(pair.dataPath);
    auto names = fileSystem().readFile(paths.nameList);
    if (!names) {
        err << "kestrel-eqp: cannot read the name list " << paths.nameList << "\n";
        return std::nullopt;
    }
    auto binary = fileSystem().readFile(pair.dataPath);
    if (!binary) {
        err << "kestrel-eqp: cannot read the equipment file " << pair.dataPath << "\n";
        return std::nullopt;
    }
    pair.names = std::move(*names);
    pair.binary = std::move(*binary);
    return pair;
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
    Long failedAt = DecodeEquipmentPair(pair.names, pair.binary, equipments);
    const long names = static_cast<long>(DecodeNameList(pair.names).size());
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
                                       " matches no country; a save writes " + CountryNames[0] +
                                       " (" + CountryMasks[0] + ")");
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

struct Options {
    std::vector<std::string> positional;
    std::string format = "clip";
    std::optional<std::string> output;
};

Options parseOptions(const std::vector<std::string>& args, bool allowOutput) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--format" || a == "-f") {
            if (i + 1 >= args.size())
                throw UsageError{a + " needs clip or csv"};
            o.format = args[++i];
        } else if (a.rfind("--format=", 0) == 0) {
            o.format = a.substr(9);
        } else if (allowOutput && (a == "-o" || a == "--output")) {
            if (i + 1 >= args.size())
                throw UsageError{a + " needs a FILE"};
            o.output = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError{"unknown option " + a};
        } else {
            o.positional.push_back(a);
        }
    }
    if (o.format != "clip" && o.format != "csv") {
        throw UsageError{"unknown format \"" + o.format + "\" (clip or csv)"};
    }
    return o;
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
        if (!fileSystem().writeFile(*o.output, text, -1)) {
            err << "kestrel-eqp: cannot write " << *o.output << "\n";
            return kExitUnreadable;
        }
    } else {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
    }
    return kExitOk;
}

std::optional<std::string> readInput(const std::string& file) {
    if (file == "-") {
        std::string text((std::istreambuf_iterator<char>(std::cin)),
                         std::istreambuf_iterator<char>());
        return text;
    }
    return fileSystem().readFile(file);
}

int runImport(const std::vector<std::string>& args, std::ostream& err) {
    Options o = parseOptions(args, false);
    if (o.positional.size() != 2)
        throw UsageError{"import takes a FILE and a PATH"};
    const std::string& file = o.positional[0];
    const std::string dataPath = dataPathFor(o.positional[1]);
    const std::string folder = folderOf(dataPath);
    if (!fileSystem().listFolder(folder)) {
        err << "kestrel-eqp: the folder " << folder << " does not exist or cannot be read\n";
        return kExitUnreadable;
    }
    auto text = readInput(file);
    if (!text) {
        err << "kestrel-eqp: cannot read " << file << "\n";
        return kExitUnreadable;
    }

    std::vector<Equipment> records;
    std::string error;
    int line = 0;
    if (o.format == "csv") {
        auto decoded = DecodeCsv(*text);
        records = std::move(decoded.records);
        error = decoded.error;
        line = decoded.line;
    } else {
        auto decoded = DecodeClipboardText(*text);
        records = std::move(decoded.records);
        error = decoded.error;
        line = decoded.line;
    }
    const std::string shownFile = file == "-" ? "<stdin>" : file;
    if (!error.empty()) {
        err << "kestrel-eqp: " << shownFile;
        if (line > 0)
            err << ":" << line;
        err << ": " << error << "; nothing written\n";
        return kExitProblems;
    }

    Equipments equipments;
    equipments.setDataPath(dataPath);
    equipments.reserve(records.size());
    for (const auto& r : records)
        equipments.Add(r);

    // Refusals are found before the save so that no temporary file is left.
    std::string bytes;
    Long refused = EncodeNameList(equipments, bytes);
    if (refused == 0)
        refused = EncodeBinaryFile(equipments, bytes);
    if (refused != 0) {
        err << "kestrel-eqp: " << shownFile << ": record " << refused
            << " holds a value the equipment file cannot take; nothing written\n";
        return kExitProblems;
    }

    bool failed = false;
    auto previous = setMessageHandler([&](const std::string& message) {
        failed = true;
        err << "kestrel-eqp: " << message << "\n";
    });
    PutEquipments(equipments);
    setMessageHandler(previous);
    return failed ? kExitProblems : kExitOk;
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
