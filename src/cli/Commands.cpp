#include "cli/Commands.h"

#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "check/LoadProblems.h"
#include "check/Validator.h"
#include "cli/CheckCommand.h"
#include "cli/CsvTable.h"
#include "cli/DiffCommand.h"
#include "cli/PairFiles.h"
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
    "Checks, compares, exports and imports Ironfront II equipment file pairs\n"
    "(EQUIP97.EQP with EQUIP97.TXT beside it) with the editor's own load and save.\n"
    "\n"
    "Commands:\n"
    "  check PATH [--format text|csv] [--errors-only]\n"
    "                                          list every problem of a pair\n"
    "  diff A B [--by code|position] [--format text|csv] [--fields LIST]\n"
    "                                          list how two pairs differ\n"
    "  export PATH [--format clip|csv] [--no-bom] [-o FILE]\n"
    "                                          write every record as text\n"
    "  import FILE PATH [--format clip|csv]    write records from text as a new pair\n"
    "\n"
    "PATH is the EQUIP97.EQP file or the folder holding it.\n"
    "kestrel-eqp COMMAND --help describes one command.\n";

const char kCheckHelp[] =
    "Usage: kestrel-eqp check PATH [--format text|csv] [--errors-only]\n"
    "\n"
    "Loads the pair at PATH (the EQUIP97.EQP file or its folder) as the editor's\n"
    "Load does and lists every problem the editor's check finds, one per line:\n"
    "  record 12 (N 298, \"Tiger I\"): EqClass 30 has no word\n"
    "Errors are what a save refuses: a two-byte value outside 0 to 32767, a\n"
    "cost outside -6 to 3065, a Country outside 0 to 25, a line break in a name,\n"
    "more than 32767 records. Warnings are what a save changes (an IconName cut\n"
    "to 6 bytes, a LastPart cut to 22, a cost rounded to a multiple of 12), what\n"
    "the game may trip on (a code with no word, an EqCode two records share, a\n"
    "country mask that matches no country) and what the load met in the files (a\n"
    "record count that differs from the number of names, a record the load\n"
    "stopped at, a file shorter than its count, bytes after the last record).\n"
    "  --format text  one line per problem (the default)\n"
    "  --format csv   a table: severity,record,EqCode,EqName,field,message\n"
    "  --errors-only  list and count only what a save refuses\n"
    "The number of errors and warnings goes to standard error.\n"
    "\n"
    "Exit status: 0 no problem is listed, 1 problems are listed, 2 the pair\n"
    "cannot be read.\n";

const char kExportHelp[] =
    "Usage: kestrel-eqp export PATH [--format clip|csv] [--no-bom] [-o FILE]\n"
    "\n"
    "Writes every record of the pair at PATH to standard output, or to FILE.\n"
    "  --format clip  the text the editor's Copy puts on the clipboard for all\n"
    "                 rows, in the files' code page (the default)\n"
    "  --format csv   RFC 4180: a heading row of the 40 property names, one row\n"
    "                 per record, codes as numbers, EqName and IconName in UTF-8,\n"
    "                 LastPart as hexadecimal digits; the text begins with a\n"
    "                 UTF-8 byte-order mark, so that spreadsheets read the names\n"
    "                 right, unless --no-bom leaves it out\n"
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

struct UsageError {
    std::string what;
};

bool isHelp(const std::string& a) {
    return a == "--help" || a == "-h";
}

std::vector<EquipmentRef> refsOf(const Equipments& equipments) {
    return std::vector<EquipmentRef>(equipments.begin(), equipments.end());
}

int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CheckOptions options;
    try {
        options = ParseCheckOptions(args);
    } catch (const std::invalid_argument& e) {
        throw UsageError{e.what()};
    }
    auto pair = readPair(options.path, err);
    if (!pair)
        return kExitUnreadable;
    // The same problems, in the same order, as the editor lists for this pair.
    Equipments equipments;
    equipments.setDataPath(pair->dataPath);
    Long failedAt = DecodeEquipmentPair(pair->names, pair->binary, equipments);
    std::vector<Problem> problems = LoadProblems(pair->names, pair->binary, equipments, failedAt);
    std::vector<Problem> listed = CheckList(equipments);
    problems.insert(problems.end(), std::make_move_iterator(listed.begin()),
                    std::make_move_iterator(listed.end()));
    return PrintProblems(problems, options, out, err);
}

int runDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        return RunDiff(args, out, err);
    } catch (const std::invalid_argument& e) {
        throw UsageError{e.what()};
    }
}

struct Options {
    std::vector<std::string> positional;
    std::string format = "clip";
    std::optional<std::string> output;
    bool bom = true;
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
        } else if (allowOutput && a == "--no-bom") {
            o.bom = false;
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
    std::string text;
    if (o.format == "csv") {
        if (o.bom)
            text = "\xEF\xBB\xBF";
        text += EncodeCsv(refs);
    } else {
        text = EncodeClipboardText(refs);
    }
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
        for (const auto& [at, warning] : decoded.warnings) {
            err << "kestrel-eqp: " << (file == "-" ? "<stdin>" : file) << ":" << at
                << ": warning: " << warning << "\n";
        }
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
                              : command == "diff"   ? kDiffHelp
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
        if (command == "diff")
            return runDiff(rest, out, err);
        return runImport(rest, err);
    } catch (const UsageError& e) {
        err << "kestrel-eqp: " << e.what << "\n\n" << commandHelp;
        return kExitUnreadable;
    }
}

}  // namespace kestrel::cli
