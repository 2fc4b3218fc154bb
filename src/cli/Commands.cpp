#include "cli/Commands.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "check/LoadProblems.h"
#include "check/Validator.h"
#include "cli/ChartCommand.h"
#include "cli/CheckCommand.h"
#include "cli/CommandOptions.h"
#include "cli/CsvTable.h"
#include "cli/DiffCommand.h"
#include "cli/GitCommands.h"
#include "cli/MergeCommand.h"
#include "cli/PairFiles.h"
#include "cli/Shown.h"
#include "cli/WhereTerms.h"
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
    "  chart PATH --x FIELD --y FIELD [--colour FIELD] [--where TERMS] -o FILE\n"
    "                                          draw one field against another as SVG\n"
    "  check PATH [--format text|csv] [--errors-only] [--where TERMS]\n"
    "                                          list every problem of a pair\n"
    "  diff A B [--by code|position] [--format text|csv|changes] [--fields LIST]\n"
    "                                          list how two pairs differ\n"
    "  export PATH [--format clip|csv] [--no-bom] [--where TERMS] [-o FILE [--force]]\n"
    "                                          write every record as text\n"
    "  import FILE PATH [--format clip|csv]    write records from text as a new pair\n"
    "  merge BASE MOD... -o OUT [--prefer later|MOD]\n"
    "                                          combine mods of one base field by field\n"
    "  apply CHANGES PAIR [--force]            apply a change file (diff --format changes)\n"
    "  git-textconv, git-merge                 what git runs for a pair (see README)\n"
    "\n"
    "PATH is a folder holding EQUIP97.EQP, or an .EQP file (X.EQP pairs with\n"
    "X.TXT); check, export and diff also read the backups a save leaves, X.E\n"
    "with X.T, as they stand (they repair and write nothing there); anything\n"
    "else is refused. --where TERMS keeps only the records the editor's filter\n"
    "keeps for TERMS (\"CL=Tank Co=Germany\", \"P>=100\").\n"
    "kestrel-eqp COMMAND --help describes one command.\n"
    "kestrel-eqp --version prints the version.\n";

const char kCheckHelp[] =
    "Usage: kestrel-eqp check PATH [--format text|csv] [--errors-only]\n"
    "                              [--where TERMS]\n"
    "\n"
    "Loads the pair at PATH (the EQUIP97.EQP file or its folder) as the editor's\n"
    "Load does and lists every problem the editor's check finds, one per line:\n"
    "  record 12 (N 298, \"Tiger I\"): EqClass 30 has no word\n"
    "Errors are what a save refuses: a two-byte value outside 0 to 32767, a\n"
    "cost outside -6 to 3065, a Country outside 0 to 25, a CR in a name,\n"
    "more than 32767 records. Warnings are what a save changes (an IconName cut\n"
    "to 6 bytes, a LastPart cut to 22, a cost rounded to a multiple of 12), what\n"
    "the game may trip on (a code with no word, an EqCode two records share, a\n"
    "country mask that matches no country) and what the load met in the files (a\n"
    "record count that differs from the number of names, a blank last name line,\n"
    "a name list with LF line ends, a record the load stopped at, a file shorter\n"
    "than its count, bytes after the last record).\n"
    "  --format text  one line per problem (the default)\n"
    "  --format csv   a table: severity,record,EqCode,EqName,field,message\n"
    "  --errors-only  list and count only what a save refuses\n"
    "  --where TERMS  list only problems of the records the editor's filter\n"
    "                 keeps for TERMS (\"CL=Tank Co=Germany\"), and those of\n"
    "                 the pair as a whole\n"
    "The number of errors and warnings goes to standard error, on a clean pair\n"
    "too.\n"
    "\n"
    "Exit status: 0 no problem is listed, 1 problems are listed, 2 the pair\n"
    "cannot be read.\n";

const char kExportHelp[] =
    "Usage: kestrel-eqp export PATH [--format clip|csv] [--no-bom] [--where TERMS]\n"
    "                               [-o FILE [--force]]\n"
    "\n"
    "Writes every record of the pair at PATH to standard output, or to FILE.\n"
    "  --format clip  the text the editor's Copy puts on the clipboard for all\n"
    "                 rows, in the files' code page (the default)\n"
    "  --format csv   RFC 4180: a heading row of the 40 property names, one row\n"
    "                 per record, codes as numbers, EqName and IconName in UTF-8,\n"
    "                 LastPart as hexadecimal digits; the text begins with a\n"
    "                 UTF-8 byte-order mark, so that spreadsheets read the names\n"
    "                 right, unless --no-bom leaves it out\n"
    "  --where TERMS  only the records the editor's filter keeps for TERMS, such\n"
    "                 as \"CL=Tank Co=Germany\" or \"P>=100 Name~tiger\"\n"
    "  --force        write FILE even where it is a file of the pair at PATH,\n"
    "                 an existing .EQP file, or the .TXT name list beside an\n"
    "                 .EQP file of its name; without it such a FILE is refused\n"
    "\n"
    "Exit status: 0 written, 1 the pair does not load cleanly (see check) or\n"
    "a record's IconName or LastPart holds a CR and an LF that would split its\n"
    "clip line, 2 it cannot be read, FILE is refused or cannot be written, or\n"
    "standard output cannot be written.\n";

const char kImportHelp[] =
    "Usage: kestrel-eqp import FILE PATH [--format clip|csv] [--lenient]\n"
    "                          [--allow-empty]\n"
    "\n"
    "Reads records from FILE (- for standard input), checks the whole text and\n"
    "writes the records as a new pair at PATH (a folder holding EQUIP97.EQP, or\n"
    "a file X.EQP in an existing folder, which pairs with X.TXT) with the\n"
    "editor's save: the previous files stay as backups X.T and X.E. The format\n"
    "is csv for a FILE whose name ends in .csv, else clip, unless --format\n"
    "says which. A refused text changes nothing and is reported with its line;\n"
    "a written one ends with a line on standard error saying what was written:\n"
    "  kestrel-eqp: imported 187 records into EQUIP97.EQP; backups EQUIP97.E, EQUIP97.T\n"
    "Every number must be whole in both formats: a word, an empty line or cell,\n"
    "or a number followed by more (\"12 tanks\") is refused, though the editor's\n"
    "Paste reads the leading number of some clip lines. A text over 32 MB, a clip\n"
    "count over 32767 or names over the 16 MB of a name list are refused as soon\n"
    "as they show, before the rest is read.\n"
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

int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CheckOptions options;
    try {
        options = ParseCheckOptions(args);
    } catch (const std::invalid_argument& e) {
        throw UsageError{e.what()};
    }
    std::optional<RecordFilter> where;
    if (options.where && !(where = ReadWhere(*options.where, err)))
        return kExitUnreadable;
    auto pair = readPair(options.path, err, InterruptedSave::Repair);
    if (!pair)
        return kExitUnreadable;
    // The same problems, in the same order, as the editor lists for this pair.
    Equipments equipments;
    equipments.setDataPath(pair->dataPath);
    Long failedAt = DecodeEquipmentPair(pair->names, pair->binary, equipments);
    std::vector<Problem> problems;
    if (!pair->recovered.empty()) {
        Problem recovered;
        recovered.kind = ProblemKind::SaveRecovered;
        recovered.message = pair->recovered;
        problems.push_back(recovered);
    }
    // What a save cut short before its note left cannot be undone or
    // completed: it never touched the pair, so it is only named.
    if (auto left = LeftoversOfUnfinishedSave(pair->dataPath); !left.empty()) {
        Problem leftover;
        leftover.kind = ProblemKind::SaveRecovered;
        for (std::size_t k = 0; k < left.size(); ++k) {
            leftover.message += k == 0 ? "" : k + 1 == left.size() ? " and " : ", ";
            leftover.message += left[k];
        }
        leftover.message += left.size() == 1 ? " is" : " are";
        leftover.message +=
            " left over from a save that was cut short before it changed the pair; ";
        leftover.message += left.size() == 1 ? "it" : "they";
        leftover.message += " can be removed";
        problems.push_back(leftover);
    }
    std::vector<Problem> found = LoadProblems(pair->names, pair->binary, equipments, failedAt);
    problems.insert(problems.end(), std::make_move_iterator(found.begin()),
                    std::make_move_iterator(found.end()));
    if (pair->unread > 0) {
        Problem beyond;
        beyond.kind = ProblemKind::TrailingBytes;
        beyond.message = "the equipment file is larger than the largest pair; its last " +
                         std::to_string(pair->unread) + " bytes were not read";
        problems.push_back(beyond);
    }
    std::vector<Problem> listed = CheckList(equipments);
    problems.insert(problems.end(), std::make_move_iterator(listed.begin()),
                    std::make_move_iterator(listed.end()));
    if (where) {
        // A problem of a record the load did not reach stays: the terms
        // cannot be tried on it.
        auto left = [&](const Problem& p) {
            return p.record >= 1 && p.record <= equipments.Count() &&
                   !where->Matches(*equipments.Item(p.record));
        };
        problems.erase(std::remove_if(problems.begin(), problems.end(), left), problems.end());
    }
    return PrintProblems(problems, options, out, err);
}

int runDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        return RunDiff(args, out, err);
    } catch (const std::invalid_argument& e) {
        throw UsageError{e.what()};
    }
}

int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options o = parseOptions(args, true);
    if (o.positional.size() != 1)
        throw UsageError{"export takes one PATH"};
    std::optional<RecordFilter> where;
    if (o.where && !(where = ReadWhere(*o.where, err)))
        return kExitUnreadable;
    auto pair = readPair(o.positional[0], err, InterruptedSave::Repair);
    if (!pair)
        return kExitUnreadable;
    if (!pair->recovered.empty())
        err << "kestrel-eqp: " << ShownLines(pair->recovered) << "\n";
    if (o.output && !o.force) {
        if (std::string why = refusedTarget(*o.output, *pair); !why.empty()) {
            err << "kestrel-eqp: not writing " << Shown(*o.output) << ": " << why
                << " (--force writes it anyway)\n";
            return kExitUnreadable;
        }
    }

    Equipments equipments;
    equipments.setDataPath(pair->dataPath);
    LoadReport report;
    Long failedAt = DecodeEquipmentPair(pair->names, pair->binary, equipments, &report);
    if (report.has(LoadFinding::Kind::CountMismatch)) {
        err << "kestrel-eqp: the record count differs from the number of names; "
               "kestrel-eqp check lists why\n";
        return kExitProblems;
    }
    if (failedAt != 0) {
        ReportMessage(kReadMessage + std::to_string(failedAt));
        err << "kestrel-eqp: the pair does not load; kestrel-eqp check lists why\n";
        return kExitProblems;
    }

    const std::vector<Long> positions = PositionsKept(equipments, where ? *where : RecordFilter());
    std::vector<EquipmentRef> refs;
    refs.reserve(positions.size());
    for (Long p : positions)
        refs.push_back(equipments.Item(p));
    if (o.format == "clip") {
        // Import would refuse such a text, so say so now rather than write it.
        for (std::size_t i = 0; i < refs.size(); ++i) {
            int f = FieldSplitByCopy(*refs[i]);
            if (f >= 0) {
                err << "kestrel-eqp: record " << positions[i] << ": " << fieldName(f)
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
        if (!writeOutput(*o.output, text)) {
            err << "kestrel-eqp: cannot write " << Shown(*o.output) << "\n";
            return kExitUnreadable;
        }
    } else {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
    }
    return kExitOk;
}

int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto previous = setMessageHandler([&err](const std::string& message) {
        err << "kestrel-eqp: " << ShownLines(message) << "\n";
    });
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

    const char* commandHelp = command == "chart"                                    ? kChartHelp
                              : command == "check"                                  ? kCheckHelp
                              : command == "export"                                 ? kExportHelp
                              : command == "import"                                 ? kImportHelp
                              : command == "diff"                                   ? kDiffHelp
                              : command == "merge"                                  ? kMergeHelp
                              : command == "apply"                                  ? kApplyHelp
                              : command == "git-merge" || command == "git-textconv" ? kGitHelp
                                                                                    : nullptr;
    if (isHelp(command) || command == "help") {
        out << kToolHelp;
        return kExitOk;
    }
    if (command == "--version") {
        out << "kestrel-eqp " KESTREL_VERSION "\n";
        return kExitOk;
    }
    if (!commandHelp) {
        err << "kestrel-eqp: unknown command \"" << Shown(command) << "\"\n\n" << kToolHelp;
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
        if (command == "merge" || command == "apply" || command == "git-merge" ||
            command == "git-textconv") {
            try {
                if (command == "merge")
                    return RunMerge(rest, out, err);
                if (command == "apply")
                    return RunApply(rest, out, err);
                return RunGit(command, rest, out, err);
            } catch (const std::invalid_argument& e) {
                throw UsageError{e.what()};
            }
        }
        if (command == "chart")
            return RunChart(rest, err);
        return runImport(rest, err);
    } catch (const UsageError& e) {
        err << "kestrel-eqp: " << Shown(e.what) << "\n\n" << commandHelp;
        return kExitUnreadable;
    }
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    InitLookupTables();
    SpelledStream messages(err);
    int status = runCommand(args, out, messages);
    // A full disk or a closed pipe must not pass for a complete listing.
    out.flush();
    if (!out) {
        messages << "kestrel-eqp: cannot write standard output\n";
        status = kExitUnreadable;
    }
    messages.flush();
    return status;
}

}  // namespace kestrel::cli
