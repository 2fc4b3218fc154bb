#include "cli/MergeCommand.h"

#include <optional>
#include <stdexcept>

#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/DiffCommand.h"
#include "cli/PairFiles.h"
#include "cli/PairLists.h"
#include "model/EquipmentMerge.h"
#include "model/FieldText.h"
#include "storage/ChangeFileText.h"
#include "storage/EquipmentFiles.h"
#include "text/CodePage.h"

namespace kestrel::cli {

const char kMergeHelp[] =
    "Usage: kestrel-eqp merge BASE MOD... -o OUT [--by code|position]\n"
    "                         [--fields LIST] [--prefer later|MOD]\n"
    "                         [--format text|csv] [--no-bom]\n"
    "\n"
    "Combines mods made from one base pair, field by field, and writes the\n"
    "merged pair to OUT (a folder, or an .EQP file in an existing folder) with\n"
    "the editor's save; the previous files stay as backups. Records are matched\n"
    "to the base as diff matches them. A field no mod changed keeps the base's\n"
    "value; one mods changed alike takes their value; one they changed to\n"
    "different values is a conflict. Records a mod adds follow the base's, in\n"
    "the order of the mods; a record one mod removes and another changes is a\n"
    "conflict. The base's first record is never changed. When conflicts are\n"
    "left, nothing is written and each is listed on one line:\n"
    "  record 12 (N 298, \"Tiger I\"): SA base 12, realism 14, campaign 16\n"
    "Mods are named after their folders (or files).\n"
    "  --prefer later  settle every conflict for the latest mod taking part\n"
    "  --prefer MOD    settle the conflicts MOD takes part in for MOD (its name\n"
    "                  or its path as given)\n"
    "  --by, --fields  as diff has them; --fields limits the changed fields taken\n"
    "                  from the mods, added and removed records are taken whole\n"
    "  --format csv    the conflicts as a table, UTF-8 with a byte-order mark\n"
    "                  unless --no-bom\n"
    "\n"
    "Exit status: 0 merged, 1 conflicts left (nothing written), 2 a pair cannot\n"
    "be read or written, or the mods do not match the base.\n";

std::string BytesOrNone(const std::string& bytes) {
    return bytes.empty() ? std::string("none") : BytesToHex(bytes);
}

namespace {

struct MergeOptions {
    std::vector<std::string> paths;
    std::optional<std::string> output;
    MatchBy by = MatchBy::Code;
    FieldMask fields = kAllFields;
    std::optional<std::string> prefer;
    bool csv = false;
    bool bom = true;
};

MergeOptions parseMergeOptions(const std::vector<std::string>& args) {
    MergeOptions o;
    bool fieldsGiven = false;
    ArgumentReader r(args);
    while (r.next()) {
        const std::string& a = r.name();
        if (a == "--by") {
            o.by = ParseMatchBy(r.value("code or position"));
        } else if (a == "--format" || a == "-f") {
            std::string v = r.value("text or csv");
            if (v != "text" && v != "csv")
                throw std::invalid_argument("unknown format \"" + v + "\" (text or csv)");
            o.csv = v == "csv";
        } else if (a == "--fields") {
            FieldMask mask = ParseFieldList(r.value("a LIST of fields"));
            o.fields = fieldsGiven ? o.fields | mask : mask;
            fieldsGiven = true;
        } else if (a == "--prefer") {
            o.prefer = r.value("later or a MOD");
        } else if (a == "-o" || a == "--output") {
            o.output = r.value("OUT");
        } else if (a == "--no-bom" && !r.hasValue()) {
            o.bom = false;
        } else if (a.size() > 1 && a[0] == '-') {
            throw std::invalid_argument("unknown option " + r.whole());
        } else {
            o.paths.push_back(a);
        }
    }
    if (o.paths.size() < 2)
        throw std::invalid_argument("merge takes a BASE and at least one MOD");
    if (!o.output)
        throw std::invalid_argument("merge needs -o OUT, where the merged pair goes");
    return o;
}

std::string csvCell(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos)
        return cell;
    std::string quoted = "\"";
    for (char c : cell) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

// The record a conflict is about, named from the base or, for an added
// record, from the first mod that adds it.
std::string conflictRecord(const EquipmentMerge& merge, const MergeEntry& e,
                           const std::vector<std::string>& labels) {
    if (const Equipment* base = merge.baseRecord(e))
        return RecordName(e.base, *base);
    for (int k = 0; k < merge.modCount(); ++k) {
        if (const Equipment* r = merge.modRecord(e, k)) {
            return "record " + std::to_string(e.partners[static_cast<std::size_t>(k)]) + " of " +
                   labels[static_cast<std::size_t>(k) + 1] + " (N " + std::to_string(r->EqCode()) +
                   ", " + QuotedText(r->EqName()) + ")";
        }
    }
    return std::string();
}

}  // namespace

std::string MergeConflictLine(const EquipmentMerge& merge, const MergeConflict& c,
                              const std::vector<std::string>& labels) {
    if (c.kind == MergeConflict::Kind::TrailingBytes) {
        std::string line = "bytes after the last record: base " +
                           BytesOrNone(EquipmentMerge::trailingBytesOf(merge.base()));
        for (int k : c.mods) {
            line += ", " + labels[static_cast<std::size_t>(k) + 1] + " " +
                    BytesOrNone(EquipmentMerge::trailingBytesOf(merge.mod(k)));
        }
        return line;
    }
    const MergeEntry& e = merge.entries()[c.entry];
    std::string line = conflictRecord(merge, e, labels) + ": ";
    if (c.kind == MergeConflict::Kind::RemovedAndChanged) {
        std::string removed, changed;
        for (int k : c.mods) {
            std::string& list = merge.modRecord(e, k) ? changed : removed;
            list += (list.empty() ? "" : ", ") + labels[static_cast<std::size_t>(k) + 1];
        }
        return line + "removed by " + removed + ", changed by " + changed;
    }
    line += FieldLabel(c.field);
    bool first = true;
    if (const Equipment* base = merge.baseRecord(e)) {
        line += " base " + ChangeValueText(*base, c.field);
        first = false;
    }
    for (int k : c.mods) {
        line += (first ? " " : ", ") + labels[static_cast<std::size_t>(k) + 1] + " " +
                ChangeValueText(*merge.modRecord(e, k), c.field);
        first = false;
    }
    return line;
}

namespace {

void printConflictsCsv(const EquipmentMerge& merge, const std::vector<std::string>& labels,
                       bool bom, std::ostream& out) {
    if (bom)
        out << "\xEF\xBB\xBF";
    out << "Record,N,Name,Field,base";
    for (int k = 0; k < merge.modCount(); ++k)
        out << ',' << csvCell(labels[static_cast<std::size_t>(k) + 1]);
    out << "\r\n";
    for (std::size_t i = 0; i < merge.conflicts().size(); ++i) {
        if (merge.choice(i) != kNoChoice)
            continue;
        const MergeConflict& c = merge.conflicts()[i];
        std::vector<std::string> cells(static_cast<std::size_t>(merge.modCount()) + 1);
        std::string record, code, name, field;
        if (c.kind == MergeConflict::Kind::TrailingBytes) {
            field = "trailing bytes";
            cells[0] = BytesOrNone(EquipmentMerge::trailingBytesOf(merge.base()));
            for (int k : c.mods)
                cells[static_cast<std::size_t>(k) + 1] =
                    BytesOrNone(EquipmentMerge::trailingBytesOf(merge.mod(k)));
        } else {
            const MergeEntry& e = merge.entries()[c.entry];
            const Equipment* base = merge.baseRecord(e);
            const Equipment* named = base;
            for (int k = 0; !named && k < merge.modCount(); ++k)
                named = merge.modRecord(e, k);
            record = e.base > 0 ? std::to_string(e.base) : std::string();
            code = std::to_string(named->EqCode());
            name = CodePageToUtf8(named->EqName());
            if (c.kind == MergeConflict::Kind::RemovedAndChanged) {
                field = "record";
                cells[0] = "kept";
                for (int k : c.mods)
                    cells[static_cast<std::size_t>(k) + 1] =
                        merge.modRecord(e, k) ? "changed" : "removed";
            } else {
                field = FieldLabel(c.field);
                if (base)
                    cells[0] = ChangeValueText(*base, c.field);
                for (int k : c.mods)
                    cells[static_cast<std::size_t>(k) + 1] =
                        ChangeValueText(*merge.modRecord(e, k), c.field);
            }
        }
        out << csvCell(record) << ',' << code << ',' << csvCell(name) << ',' << csvCell(field);
        for (const auto& cell : cells)
            out << ',' << csvCell(cell);
        out << "\r\n";
    }
}

}  // namespace

int RunMerge(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    MergeOptions o = parseMergeOptions(args);
    const std::vector<std::string> labels = PairLabels(o.paths);

    std::vector<std::string> dataPaths;
    for (const auto& path : o.paths) {
        auto dataPath = dataPathFor(path, err);
        if (!dataPath)
            return kExitUnreadable;
        for (std::size_t k = 0; k < dataPaths.size(); ++k) {
            if (SameFile(dataPaths[k], *dataPath)) {
                err << "kestrel-eqp: " << path << " and " << o.paths[k]
                    << " are the same pair; a merge needs a base and mods that differ from it\n";
                return kExitUnreadable;
            }
        }
        dataPaths.push_back(*dataPath);
    }
    int preferred = -1;
    if (o.prefer && *o.prefer != "later") {
        for (std::size_t k = 1; k < o.paths.size(); ++k) {
            if (*o.prefer == labels[k] || *o.prefer == o.paths[k] ||
                SameFile(*o.prefer, o.paths[k]))
                preferred = static_cast<int>(k) - 1;
        }
        if (preferred < 0)
            throw std::invalid_argument("--prefer names no MOD: \"" + *o.prefer + "\"");
    }

    std::vector<Equipments> lists(o.paths.size());
    for (std::size_t k = 0; k < o.paths.size(); ++k) {
        if (!LoadList(o.paths[k], k == 0 ? "the base" : "mod " + labels[k], lists[k], err))
            return kExitUnreadable;
    }
    std::vector<const Equipments*> mods;
    for (std::size_t k = 1; k < lists.size(); ++k)
        mods.push_back(&lists[k]);
    EquipmentMerge merge(lists[0], mods, o.by, o.fields);
    if (merge.poorlyMatchedMod() >= 0) {
        err << "kestrel-eqp: most records of "
            << labels[static_cast<std::size_t>(merge.poorlyMatchedMod()) + 1]
            << " have no code the base has; if it was renumbered, merge with --by position\n";
        return kExitUnreadable;
    }
    for (int k : merge.firstRecordKeptFrom()) {
        err << "kestrel-eqp: note: " << labels[static_cast<std::size_t>(k) + 1]
            << " changes the first record; a merge keeps the base's\n";
    }
    if (preferred >= 0)
        merge.prefer(preferred);
    else if (o.prefer)
        merge.preferLater();

    if (!merge.complete()) {
        if (o.csv) {
            printConflictsCsv(merge, labels, o.bom, out);
        } else {
            for (std::size_t i = 0; i < merge.conflicts().size(); ++i) {
                if (merge.choice(i) == kNoChoice)
                    out << MergeConflictLine(merge, merge.conflicts()[i], labels) << "\n";
            }
        }
        out.flush();
        err << "kestrel-eqp: " << merge.unsettled() << " conflict"
            << (merge.unsettled() == 1 ? "" : "s")
            << " left; nothing written (--prefer later or --prefer MOD settles them)\n";
        return kExitProblems;
    }

    MergedList result = merge.result();
    const std::size_t count = result.records.size();
    if (!SaveList(*o.output, std::move(result.records), result.trailingBytes, err))
        return kExitUnreadable;
    err << "kestrel-eqp: merged " << mods.size() << " mod" << (mods.size() == 1 ? "" : "s")
        << " into " << *o.output << ": " << count << " records";
    if (!merge.conflicts().empty())
        err << ", " << merge.conflicts().size() << " conflicts settled by --prefer";
    err << "\n";
    return kExitOk;
}

}  // namespace kestrel::cli
