#include "cli/DiffCommand.h"

#include <array>
#include <optional>
#include <stdexcept>

#include "check/Problem.h"
#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/MergeCommand.h"
#include "cli/OutputBuffer.h"
#include "cli/PairFiles.h"
#include "cli/Shown.h"
#include "model/EquipmentComparison.h"
#include "model/FieldText.h"
#include "storage/EquipmentFiles.h"
#include "text/CodePage.h"

namespace kestrel::cli {

const char kDiffHelp[] =
    "Usage: kestrel-eqp diff A B [--by code|position] [--format text|csv|changes]\n"
    "                            [--fields LIST] [--no-bom]\n"
    "\n"
    "Compares the pair at A with the pair at B (each the EQUIP97.EQP file or its\n"
    "folder) and writes one line per difference:\n"
    "  record 12 (N 298, \"Tiger I\"): SA 12 -> 14, Co Germany -> Italy\n"
    "  only in B: record 40 (N 301, \"Panther\")\n"
    "A record is named by its position in its list, its code N and its name.\n"
    "Neither pair is changed, not even one left by an interrupted save.\n"
    "  --by code      match records by equipment code, the n-th record of a code\n"
    "                 in A with the n-th in B (the default); codes held twice\n"
    "                 are noted on standard error\n"
    "  --by position  match record n of A with record n of B\n"
    "  --format csv   one row per changed field or unmatched record, UTF-8 with\n"
    "                 a byte-order mark unless --no-bom\n"
    "  --format changes  a change file of what turns A into B, for kestrel-eqp\n"
    "                 apply; the README describes it\n"
    "  --fields LIST  compare only these fields, by grid heading or property\n"
    "                 name, comma-separated (SA,HA or SoftAttack,Co)\n"
    "\n"
    "Exit status: 0 the lists are the same, 1 they differ, 2 one cannot be read.\n";

namespace {

struct DiffOptions {
    std::vector<std::string> paths;
    MatchBy by = MatchBy::Code;
    bool csv = false;
    bool changes = false;
    bool bom = true;
    FieldMask fields = kAllFields;
};

FieldMask parseFields(const std::string& list) {
    FieldMask mask = 0;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = list.find(',', start);
        std::string word = list.substr(start, comma == std::string::npos ? comma : comma - start);
        if (!word.empty()) {
            auto fields = FieldsNamed(word);
            if (fields.empty())
                throw std::invalid_argument("no field is called \"" + word + "\"");
            if (word == "U" || word == "u") {
                throw std::invalid_argument(
                    "U is the heading of eight fields; name them Unk0 to Unk7");
            }
            for (int f : fields)
                mask |= fieldBit(f);
        }
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (mask == 0)
        throw std::invalid_argument("--fields needs at least one field");
    return mask;
}

DiffOptions parseDiffOptions(const std::vector<std::string>& args) {
    DiffOptions o;
    bool fieldsGiven = false;
    ArgumentReader r(args);
    while (r.next()) {
        const std::string& a = r.name();
        if (a == "--by") {
            o.by = ParseMatchBy(r.value("code or position"));
        } else if (a == "--format" || a == "-f") {
            std::string v = r.value("text, csv or changes");
            if (v != "text" && v != "csv" && v != "changes")
                throw std::invalid_argument("unknown format \"" + v + "\" (text, csv or changes)");
            o.csv = v == "csv";
            o.changes = v == "changes";
        } else if (a == "--fields") {
            FieldMask mask = parseFields(r.value("a LIST of fields"));
            o.fields = fieldsGiven ? o.fields | mask : mask;
            fieldsGiven = true;
        } else if (a == "--no-bom" && !r.hasValue()) {
            o.bom = false;
        } else if (a.size() > 1 && a[0] == '-') {
            throw std::invalid_argument("unknown option " + r.whole());
        } else {
            o.paths.push_back(a);
        }
    }
    if (o.paths.size() != 2)
        throw std::invalid_argument("diff takes two PATHs, A and B");
    if (o.changes && fieldsGiven)
        throw std::invalid_argument(
            "a change file carries every field; --fields does not go with it");
    return o;
}

// Code-page bytes as UTF-8; the words and digits that make up most values
// are ASCII and go across unchanged.
void putUtf8(OutputBuffer& out, std::string_view bytes) {
    std::size_t ascii = 0;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80)
        ++ascii;
    out.put(bytes.substr(0, ascii));
    if (ascii < bytes.size())
        out.put(CodePageToUtf8(bytes.substr(ascii)));
}

void putHex(OutputBuffer& out, std::string_view bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (char c : bytes) {
        auto u = static_cast<unsigned char>(c);
        out.put(kDigits[u >> 4]);
        out.put(kDigits[u & 0xF]);
    }
}

// A name or icon as UTF-8 in quotes, its control characters spelled out as
// the check's lines spell them, so that bytes from a file never drive the
// terminal and a line stays one line.
void putQuoted(OutputBuffer& out, const Text& bytes) {
    out.put('"');
    putUtf8(out, SpelledOut(bytes));
    out.put('"');
}

// A value as a line shows it: names and icons quoted, LastPart as
// hexadecimal digits, coded values as their words.
void putValue(OutputBuffer& out, const Equipment& e, int field) {
    if (field == static_cast<int>(Field::LastPart)) {
        putHex(out, e.LastPart());
    } else if (fieldKind(field) == FieldKind::Text) {
        putQuoted(out, e.text(field));
    } else if (field == static_cast<int>(Field::Country) && e.hasUnknownMask()) {
        out.put(CountryMaskText(*e.MaskAsRead()));
    } else {
        const std::int64_t value = e.number(field);
        if (const std::string* word = FieldWord(field, value))
            putUtf8(out, *word);
        else
            out.putNumber(value);
    }
}

// The same value as one CSV cell: texts unquoted, the cell's quoting does
// the rest.
std::string cellValue(const Equipment& e, int field) {
    if (field == static_cast<int>(Field::LastPart))
        return BytesToHex(e.LastPart());
    return CodePageToUtf8(FieldValueText(e, field));
}

void putRecordName(OutputBuffer& out, std::int32_t position, const Equipment& e) {
    out.put("record ");
    out.putNumber(position);
    out.put(" (N ");
    out.putNumber(e.EqCode());
    out.put(", ");
    putQuoted(out, e.EqName());
    out.put(')');
}

void putCsvRow(OutputBuffer& out, std::initializer_list<std::string> cells) {
    bool firstCell = true;
    for (const auto& cell : cells) {
        if (!firstCell)
            out.put(',');
        firstCell = false;
        if (cell.find_first_of(",\"\r\n") == std::string::npos) {
            out.put(cell);
            continue;
        }
        out.put('"');
        for (char c : cell) {
            if (c == '"')
                out.put('"');
            out.put(c);
        }
        out.put('"');
    }
    out.put("\r\n");
}

std::string positionText(std::int32_t position) {
    return position > 0 ? std::to_string(position) : std::string();
}

// Field labels, looked up once rather than once per changed value.
const std::array<std::string_view, kFieldCount>& labels() {
    static const auto table = [] {
        std::array<std::string_view, kFieldCount> t;
        for (int f = 0; f < kFieldCount; ++f)
            t[static_cast<std::size_t>(f)] = FieldLabel(f);
        return t;
    }();
    return table;
}

void renderText(const EquipmentComparison& c, const Equipments& a, const Equipments& b,
                std::ostream& stream) {
    OutputBuffer out(stream);
    const std::vector<EquipmentRef> ra(a.begin(), a.end()), rb(b.begin(), b.end());
    for (const auto& d : c.differences) {
        if (d.kind == DifferenceKind::OnlyInFirst) {
            out.put("only in A: ");
            putRecordName(out, d.first, *ra[d.first - 1]);
            out.put('\n');
            continue;
        }
        if (d.kind == DifferenceKind::OnlyInSecond) {
            out.put("only in B: ");
            putRecordName(out, d.second, *rb[d.second - 1]);
            out.put('\n');
            continue;
        }
        const Equipment& x = *ra[d.first - 1];
        const Equipment& y = *rb[d.second - 1];
        putRecordName(out, d.first, x);
        if (d.first != d.second) {
            out.put(", record ");
            out.putNumber(d.second);
            out.put(" in B");
        }
        std::string_view separator = ": ";
        for (int f = 0; f < kFieldCount; ++f) {
            if (!(d.fields & fieldBit(f)))
                continue;
            out.put(separator);
            out.put(labels()[static_cast<std::size_t>(f)]);
            out.put(' ');
            putValue(out, x, f);
            out.put(" -> ");
            putValue(out, y, f);
            separator = ", ";
        }
        out.put('\n');
    }
}

void renderCsv(const EquipmentComparison& c, const Equipments& a, const Equipments& b, bool bom,
               std::ostream& stream) {
    OutputBuffer out(stream);
    if (bom)
        out.put("\xEF\xBB\xBF");
    putCsvRow(out, {"Difference", "Record A", "Record B", "N", "Name", "Field", "A", "B"});
    const std::vector<EquipmentRef> ra(a.begin(), a.end()), rb(b.begin(), b.end());
    for (const auto& d : c.differences) {
        if (d.kind != DifferenceKind::Changed) {
            bool inA = d.kind == DifferenceKind::OnlyInFirst;
            const Equipment& e = inA ? *ra[d.first - 1] : *rb[d.second - 1];
            putCsvRow(out, {inA ? "only in A" : "only in B", positionText(d.first),
                            positionText(d.second), std::to_string(e.EqCode()),
                            CodePageToUtf8(e.EqName()), "", "", ""});
            continue;
        }
        const Equipment& x = *ra[d.first - 1];
        const Equipment& y = *rb[d.second - 1];
        for (int f = 0; f < kFieldCount; ++f) {
            if (d.fields & fieldBit(f)) {
                putCsvRow(out, {"changed", positionText(d.first), positionText(d.second),
                                std::to_string(x.EqCode()), CodePageToUtf8(x.EqName()),
                                FieldLabel(f), cellValue(x, f), cellValue(y, f)});
            }
        }
    }
}

std::string positionsText(const std::vector<std::int32_t>& positions, const char* list) {
    if (positions.empty())
        return std::string("no record in ") + list;
    std::string text = positions.size() == 1 ? "record " : "records ";
    for (std::size_t k = 0; k < positions.size(); ++k) {
        if (k > 0)
            text += k + 1 == positions.size() ? " and " : ", ";
        text += std::to_string(positions[k]);
    }
    return text + " in " + list;
}

// Reads a pair for comparison only: a pair that does not load is refused
// rather than compared in part.
bool loadPair(const std::string& path, const char* label, Equipments& into, std::ostream& err) {
    auto pair = readPair(path, err, InterruptedSave::ReportOnly);
    if (!pair)
        return false;
    const auto leftovers =
        pair->backup ? std::vector<std::string>() : LeftoversOfUnfinishedSave(pair->dataPath);
    for (const auto& left : leftovers) {
        err << "kestrel-eqp: note: " << label << " holds " << Shown(left)
            << " from an interrupted save; compared the pair as it stands, nothing repaired\n";
    }
    into.setDataPath(pair->dataPath);
    Long failedAt = DecodeEquipmentPair(pair->names, pair->binary, into);
    if (failedAt != 0) {
        err << "kestrel-eqp: " << label << " (" << Shown(path) << ") does not load: \""
            << kReadMessage << failedAt << "\"; kestrel-eqp check lists why\n";
        return false;
    }
    return true;
}

}  // namespace

MatchBy ParseMatchBy(const std::string& value) {
    if (value != "code" && value != "position")
        throw std::invalid_argument("unknown match \"" + value + "\" (code or position)");
    return value == "code" ? MatchBy::Code : MatchBy::Position;
}

FieldMask ParseFieldList(const std::string& list) {
    return parseFields(list);
}

int RunDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    DiffOptions o = parseDiffOptions(args);
    Equipments a, b;
    if (!loadPair(o.paths[0], "A", a, err) || !loadPair(o.paths[1], "B", b, err))
        return kExitUnreadable;

    if (o.changes)
        return WriteChanges(a, b, o.by, out);
    EquipmentComparison c = CompareEquipments(a, b, o.by, o.fields);
    if (o.csv)
        renderCsv(c, a, b, o.bom, out);
    else
        renderText(c, a, b, out);
    out.flush();
    for (const auto& d : c.duplicates) {
        err << "kestrel-eqp: note: N " << d.code << " is held by " << positionsText(d.first, "A")
            << " and " << positionsText(d.second, "B") << "; matched in list order\n";
    }
    return c.identical() ? kExitOk : kExitProblems;
}

}  // namespace kestrel::cli
