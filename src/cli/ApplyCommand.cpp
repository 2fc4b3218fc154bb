#include <stdexcept>

#include "cli/Commands.h"
#include "cli/ImportText.h"
#include "cli/MergeCommand.h"
#include "cli/PairFiles.h"
#include "cli/PairLists.h"
#include "cli/Shown.h"
#include "model/EquipmentChanges.h"
#include "model/FieldText.h"
#include "storage/ChangeFileText.h"

namespace kestrel::cli {

const char kApplyHelp[] =
    "Usage: kestrel-eqp apply CHANGES PAIR [--force]\n"
    "\n"
    "Applies a change file (what kestrel-eqp diff A B --format changes writes)\n"
    "to the pair at PAIR and saves it with the editor's save; the previous files\n"
    "stay as backups. A change applies where the pair still holds the old value\n"
    "or already holds the new one; anything else is a conflict, listed one per\n"
    "line as merge lists them, and nothing is written.\n"
    "  --force  write the change file's values over whatever the pair holds\n"
    "\n"
    "Exit status: 0 applied (or nothing to apply), 1 conflicts (nothing\n"
    "written), 2 a file cannot be read or written, or the change file is\n"
    "refused (with its line).\n";

int WriteChanges(const Equipments& a, const Equipments& b, MatchBy by, std::ostream& out) {
    const EquipmentChanges changes = ChangesBetween(a, b, by);
    const std::string text = EncodeChanges(changes);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    return changes.records.empty() && changes.order.empty() && !changes.trailingAfter
               ? kExitOk
               : kExitProblems;
}

namespace {

std::string conflictLine(const ChangeConflict& c, const EquipmentChanges& changes,
                         const Equipments& pair, const std::string& pairLabel,
                         const std::string& changesLabel) {
    switch (c.kind) {
        case ChangeConflict::Kind::Order:
            return "the order of the records: " + pairLabel + " holds " +
                   std::to_string(pair.Count()) + " records, the changes were made on " +
                   std::to_string(changes.baseCount);
        case ChangeConflict::Kind::Trailing:
            return "bytes after the last record: base " + BytesOrNone(*changes.trailingBefore) +
                   ", " + pairLabel + " " +
                   BytesOrNone(pair.TrailingBytesPath() == pair.DataPath() ? pair.TrailingBytes()
                                                                           : std::string()) +
                   ", " + changesLabel + " " + BytesOrNone(*changes.trailingAfter);
        case ChangeConflict::Kind::Missing: {
            const RecordChange& r = changes.records[c.change];
            return "record " + std::to_string(r.position) + " (N " + std::to_string(r.code) + ", " +
                   QuotedText(r.name) + ") of " + changesLabel + " (line " +
                   std::to_string(r.line) + "): not in " + pairLabel;
        }
        case ChangeConflict::Kind::Field:
            break;
    }
    const RecordChange& r = changes.records[c.change];
    const Equipment& here = *pair.Item(c.position);
    std::string line = RecordName(c.position, here) + ": " + FieldLabel(c.field);
    if (r.kind != RecordChange::Kind::Add)
        line += " base " + ChangeValueText(r.before, c.field) + ",";
    line += " " + pairLabel + " " + ChangeValueText(here, c.field) + ", " + changesLabel + " ";
    line += r.kind == RecordChange::Kind::Remove ? std::string("removed")
                                                 : ChangeValueText(r.after, c.field);
    return line;
}

}  // namespace

int RunApply(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> paths;
    bool force = false;
    for (const auto& a : args) {
        if (a == "--force")
            force = true;
        else if (a.size() > 1 && a[0] == '-')
            throw std::invalid_argument("unknown option " + a);
        else
            paths.push_back(a);
    }
    if (paths.size() != 2)
        throw std::invalid_argument("apply takes a CHANGES file and a PAIR");
    const std::string& file = paths[0];
    // Read as import reads its text: bounded, standard input too.
    ImportInput input = ReadImportInput(file, false);
    const std::string shown = file == "-" ? "<stdin>" : Shown(file);
    if (input.unreadable) {
        err << "kestrel-eqp: cannot read the change file " << shown << "\n";
        return kExitUnreadable;
    }
    if (input.refused) {
        err << "kestrel-eqp: " << shown << ": the change file is larger than "
            << kMaxImportBytes / (1024 * 1024) << " MB; nothing written\n";
        return kExitUnreadable;
    }
    ChangesDecodeResult decoded = DecodeChanges(input.text);
    if (!decoded.ok()) {
        err << "kestrel-eqp: " << shown;
        if (decoded.line > 0)
            err << ":" << decoded.line;
        err << ": " << decoded.error << "; nothing written\n";
        return kExitUnreadable;
    }
    Equipments pair;
    if (!LoadList(paths[1], "the pair", pair, err, InterruptedSave::Repair))
        return kExitUnreadable;

    const EquipmentChanges& changes = decoded.changes;
    AppliedChanges applied = ApplyChanges(changes, pair, force);
    const std::string pairLabel = PairLabel(paths[1]);
    // A change file is named as its mod is, without the extension it was
    // saved under ("realism.txt" speaks for the mod "realism").
    std::string changesLabel = PairLabel(file);
    if (std::size_t dot = changesLabel.rfind('.'); dot != std::string::npos && dot > 0)
        changesLabel.erase(dot);
    if (changesLabel == pairLabel)
        changesLabel = "the changes";
    for (const ChangeConflict& c : applied.conflicts) {
        if (force && c.kind != ChangeConflict::Kind::Missing)
            err << "kestrel-eqp: forced: ";
        (force && c.kind != ChangeConflict::Kind::Missing ? err : out)
            << conflictLine(c, changes, pair, pairLabel, changesLabel) << "\n";
    }
    out.flush();
    if (!applied.settled || (!force && !applied.conflicts.empty())) {
        err << "kestrel-eqp: " << applied.conflicts.size() << " conflict"
            << (applied.conflicts.size() == 1 ? "" : "s") << "; nothing written"
            << (applied.settled ? " (--force takes the change file's values)" : "") << "\n";
        return kExitProblems;
    }
    if (applied.applied == 0) {
        err << "kestrel-eqp: " << paths[1] << " already holds these changes; nothing written\n";
        return kExitOk;
    }
    if (!SaveList(pair.DataPath(), std::move(applied.records), applied.trailingBytes, err))
        return kExitUnreadable;
    return kExitOk;
}

}  // namespace kestrel::cli
