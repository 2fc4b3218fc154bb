#include "cli/ChartCommand.h"

#include <optional>

#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/PairFiles.h"
#include "cli/WhereTerms.h"
#include "model/Chart.h"
#include "model/ChartSvg.h"
#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "storage/Messages.h"
#include "text/CodePage.h"

namespace kestrel::cli {

const char kChartHelp[] =
    "Usage: kestrel-eqp chart PATH --x FIELD --y FIELD [--colour FIELD]\n"
    "                              [--where TERMS] -o FILE\n"
    "\n"
    "Draws the records of the pair at PATH (the EQUIP97.EQP file or its folder)\n"
    "as points, FIELD --y against FIELD --x, and writes the picture as SVG to\n"
    "FILE. Number axes get whole-number ticks; a coded X (class, country, target\n"
    "type, move mode, movement method, transport) gets one strip per word, its\n"
    "records spread across it and their mean marked. Each point carries a title\n"
    "naming its record as check does, with its values:\n"
    "  record 12 (N 298, \"Tiger I\"): SA 40, P 120\n"
    "Points on the same spot show darker. Fields are named as the editor's\n"
    "filter names columns: the grid's heading or the property name (SA or\n"
    "SoftAttack, P or PrestigeCost); text fields cannot be drawn.\n"
    "  --colour FIELD  colour the points by the field's words or values\n"
    "  --where TERMS   only the records the editor's filter keeps for TERMS,\n"
    "                  such as \"CL=Tank Co=Germany\" or \"P>=100 Name~tiger\"\n"
    "  -o FILE         the picture; it goes to a temporary file that replaces\n"
    "                  FILE only when it is complete\n"
    "\n"
    "Exit status: 0 written, 1 the pair does not load cleanly (see check),\n"
    "2 it cannot be read, a field or a term is wrong, or FILE cannot be written.\n";

namespace {

struct ChartOptions {
    std::string path;
    std::string x;
    std::string y;
    std::optional<std::string> colour;
    std::optional<std::string> where;
    std::string output;
};

ChartOptions parseChartOptions(const std::vector<std::string>& args) {
    ChartOptions o;
    std::vector<std::string> paths;
    std::optional<std::string> x;
    std::optional<std::string> y;
    std::optional<std::string> output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* what) {
            if (i + 1 >= args.size())
                throw UsageError{a + " needs " + what};
            return args[++i];
        };
        if (a == "--x") {
            x = value("a FIELD");
        } else if (a == "--y") {
            y = value("a FIELD");
        } else if (a == "--colour" || a == "--color") {
            o.colour = value("a FIELD");
        } else if (a == "--where") {
            o.where = value("TERMS");
        } else if (a.rfind("--where=", 0) == 0) {
            o.where = a.substr(8);
        } else if (a == "-o" || a == "--output") {
            output = value("a FILE");
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError{"unknown option " + a};
        } else {
            paths.push_back(a);
        }
    }
    if (paths.size() != 1)
        throw UsageError{"chart takes one PATH"};
    if (!x || !y)
        throw UsageError{"chart needs --x FIELD and --y FIELD"};
    if (!output)
        throw UsageError{"chart needs -o FILE"};
    o.path = paths[0];
    o.x = *x;
    o.y = *y;
    o.output = *output;
    return o;
}

// The field an option names, or -1 after saying why on err.
int fieldOf(const char* option, const std::string& word, std::ostream& err) {
    std::string error;
    const int field = ChartFieldNamed(word, error);
    if (field < 0)
        err << "kestrel-eqp: " << option << ": " << CodePageToUtf8(error) << "\n";
    return field;
}

}  // namespace

int RunChart(const std::vector<std::string>& args, std::ostream& err) {
    const ChartOptions o = parseChartOptions(args);
    // Every name and term is read before the pair, so a mistyped one costs
    // no load and writes nothing.
    const int x = fieldOf("--x", o.x, err);
    const int y = fieldOf("--y", o.y, err);
    int colour = -1;
    bool fieldsRead = x >= 0 && y >= 0;
    if (o.colour && *o.colour != "none") {
        colour = fieldOf("--colour", *o.colour, err);
        fieldsRead = fieldsRead && colour >= 0;
    }
    std::optional<RecordFilter> filter = RecordFilter();
    if (o.where)
        filter = ReadWhere(*o.where, err);
    if (!fieldsRead || !filter)
        return kExitUnreadable;

    auto pair = readPair(o.path, err, InterruptedSave::Repair);
    if (!pair)
        return kExitUnreadable;
    if (!pair->recovered.empty())
        err << "kestrel-eqp: " << pair->recovered << "\n";
    Equipments list;
    list.setDataPath(pair->dataPath);
    const Long failedAt = DecodeEquipmentPair(pair->names, pair->binary, list);
    const auto count = headerCount(pair->binary);
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

    const std::vector<Long> shown = PositionsKept(list, *filter);
    const Chart chart = DescribeChart(list, shown, x, y, colour);
    if (!writeOutput(o.output, ChartSvg(chart, list))) {
        err << "kestrel-eqp: cannot write " << o.output << "\n";
        return kExitUnreadable;
    }
    return kExitOk;
}

}  // namespace kestrel::cli
