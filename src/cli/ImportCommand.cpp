#include <utility>

#include "check/Validator.h"
#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/CsvTable.h"
#include "cli/ImportChecks.h"
#include "cli/PairFiles.h"
#include "model/Equipments.h"
#include "storage/ClipboardText.h"
#include "storage/EquipmentFiles.h"
#include "storage/Messages.h"

namespace kestrel::cli {

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
    const auto dataPath = dataPathFor(o.positional[1], err);
    if (!dataPath)
        return kExitUnreadable;
    auto text = readInput(file);
    if (!text) {
        err << "kestrel-eqp: cannot read " << file << "\n";
        return kExitUnreadable;
    }

    std::vector<Equipment> records;
    std::string error;
    int line = 0;
    std::vector<std::pair<std::size_t, int>> rounded;
    std::vector<int> recordLines;
    if (o.format == "csv") {
        auto decoded = DecodeCsv(*text);
        records = std::move(decoded.records);
        error = decoded.error;
        line = decoded.line;
        rounded = std::move(decoded.rounded);
        recordLines = std::move(decoded.recordLines);
        for (const auto& [at, warning] : decoded.warnings) {
            err << "kestrel-eqp: " << (file == "-" ? "<stdin>" : file) << ":" << at
                << ": warning: " << warning << "\n";
        }
    } else {
        auto decoded = DecodeClipboardText(*text);
        records = std::move(decoded.records);
        error = decoded.error;
        line = decoded.line;
        rounded = std::move(decoded.rounded);
    }
    const std::string shownFile = file == "-" ? "<stdin>" : file;
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
        if (o.format == "csv")
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
            err << "kestrel-eqp: " << FormatProblem(problem) << "\n";
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

}  // namespace kestrel::cli
