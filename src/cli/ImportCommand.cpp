#include <utility>

#include "check/Validator.h"
#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/CsvTable.h"
#include "cli/ImportChecks.h"
#include "cli/ImportText.h"
#include "cli/PairFiles.h"
#include "cli/Shown.h"
#include "model/Equipments.h"
#include "storage/ClipboardText.h"
#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"

namespace kestrel::cli {

namespace {

bool endsWithCsv(const std::string& file) {
    if (file.size() < 4 || file[file.size() - 4] != '.')
        return false;
    std::string ext = file.substr(file.size() - 3);
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == "csv";
}

}  // namespace

Options parseOptions(const std::vector<std::string>& args, bool allowOutput) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--format" || a == "-f") {
            if (i + 1 >= args.size())
                throw UsageError{a + " needs clip or csv"};
            o.format = args[++i];
            o.formatGiven = true;
        } else if (a.rfind("--format=", 0) == 0) {
            o.format = a.substr(9);
            o.formatGiven = true;
        } else if (allowOutput && a == "--no-bom") {
            o.bom = false;
        } else if (allowOutput && (a == "-o" || a == "--output")) {
            if (i + 1 >= args.size())
                throw UsageError{a + " needs a FILE"};
            o.output = args[++i];
        } else if (allowOutput && a == "--force") {
            o.force = true;
        } else if (allowOutput && a == "--where") {
            if (i + 1 >= args.size())
                throw UsageError{a + " needs TERMS"};
            o.where = args[++i];
        } else if (allowOutput && a.rfind("--where=", 0) == 0) {
            o.where = a.substr(8);
        } else if (!allowOutput && a == "--lenient") {
            o.lenient = true;
        } else if (!allowOutput && a == "--allow-empty") {
            o.allowEmpty = true;
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

int runImport(const std::vector<std::string>& args, std::ostream& err) {
    Options o = parseOptions(args, false);
    if (o.positional.size() != 2)
        throw UsageError{"import takes a FILE and a PATH"};
    const std::string& file = o.positional[0];
    if (!o.formatGiven && endsWithCsv(file))
        o.format = "csv";
    const auto dataPath = dataPathFor(o.positional[1], err);
    if (!dataPath)
        return kExitUnreadable;
    const std::string shownFile = file == "-" ? "<stdin>" : Shown(file);
    const bool csv = o.format == "csv";
    ImportInput input = ReadImportInput(file, !csv);
    if (input.unreadable) {
        err << "kestrel-eqp: cannot read " << shownFile << "\n";
        return kExitUnreadable;
    }

    std::vector<Equipment> records;
    std::string error;
    int line = 0;
    std::vector<std::pair<std::size_t, int>> rounded;
    std::vector<int> recordLines;
    if (input.refused) {
        error = input.refused->why;
        line = input.refused->line;
    } else if (csv) {
        auto decoded = DecodeCsv(input.text);
        records = std::move(decoded.records);
        error = decoded.error;
        line = decoded.line;
        rounded = std::move(decoded.rounded);
        recordLines = std::move(decoded.recordLines);
        for (const auto& [at, warning] : decoded.warnings) {
            err << "kestrel-eqp: " << shownFile << ":" << at << ": warning: " << warning << "\n";
        }
    } else {
        auto decoded = DecodeClipForImport(input.text);
        records = std::move(decoded.records);
        error = decoded.error;
        line = decoded.line;
        rounded = std::move(decoded.rounded);
    }
    input.text = std::string();
    if (!error.empty()) {
        err << "kestrel-eqp: " << shownFile;
        if (line > 0)
            err << ":" << line;
        err << ": " << error << "; nothing written\n";
        return kExitProblems;
    }
    if (records.empty() && !o.allowEmpty) {
        err << "kestrel-eqp: " << shownFile
            << ": the text holds no records; nothing written (--allow-empty writes an empty "
               "pair)\n";
        return kExitProblems;
    }
    auto lineOf = [&](std::size_t record, int field) {
        if (csv)
            return record < recordLines.size() ? recordLines[record] : 0;
        return static_cast<int>(4 + 40 * record + static_cast<std::size_t>(field));
    };
    auto inexact = InexactValues(records, rounded, lineOf);
    for (const InexactValue& v : inexact) {
        err << "kestrel-eqp: " << (o.lenient ? "warning: " : "") << shownFile << ":" << v.line
            << ": " << v.what << "\n";
    }
    if (!inexact.empty() && !o.lenient) {
        err << "kestrel-eqp: " << shownFile
            << ": nothing written; --lenient writes the values as the file holds them\n";
        return kExitProblems;
    }

    Equipments equipments;
    equipments.setDataPath(*dataPath);
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
        for (const Problem& problem : SaveRefusals(equipments, refused))
            err << "kestrel-eqp: " << Shown(FormatProblem(problem)) << "\n";
        return kExitProblems;
    }

    // Only files that were there become backups.
    const EquipmentFilePaths paths = PathsFor(*dataPath);
    std::string backups;
    for (const auto& [file, backup] : {std::pair{paths.binary, paths.binaryBackup},
                                       std::pair{paths.nameList, paths.nameListBackup}}) {
        if (fileSystem().status(file, true).exists())
            backups +=
                (backups.empty() ? "; backups " : ", ") + backup.substr(FolderOf(backup).size());
    }
    if (const SaveResult saved = SaveEquipments(equipments); !saved.ok) {
        err << "kestrel-eqp: " << ShownLines(SaveFailureMessage(equipments, saved)) << "\n";
        return kExitProblems;
    }
    err << "kestrel-eqp: imported " << equipments.Count()
        << (equipments.Count() == 1 ? " record" : " records") << " into " << *dataPath << backups
        << "\n";
    return kExitOk;
}

}  // namespace kestrel::cli
