#include "cli/DiffCommand.h"

#include <charconv>
#include <optional>
#include <stdexcept>

#include "check/Problem.h"
#include "cli/Commands.h"
#include "cli/PairFiles.h"
#include "model/EquipmentComparison.h"
#include "model/FieldText.h"
#include "storage/EquipmentFiles.h"
#include "text/CodePage.h"

namespace kestrel::cli {

const char kDiffHelp[] =
    "Usage: kestrel-eqp diff A B [--by code|position] [--format text|csv]\n"
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
    "  --fields LIST  compare only these fields, by grid heading or property\n"
    "                 name, comma-separated (SA,HA or SoftAttack,Co)\n"
    "\n"
    "Exit status: 0 the lists are the same, 1 they differ, 2 one cannot be read.\n";

namespace {

struct DiffOptions {
    std::vector<std::string> paths;
    MatchBy by = MatchBy::Code;
    bool csv = false;
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
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string a = args[i];
        std::optional<std::string> value;
        auto eq = a.find('=');
        if (a.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = a.substr(eq + 1);
            a = a.substr(0, eq);
        }
        auto valueOf = [&](const char* what) {
            if (value)
                return *value;
            if (i + 1 >= args.size())
                throw std::invalid_argument(a + " needs " + what);
            return args[++i];
        };
        if (a == "--by") {
            std::string v = valueOf("code or position");
            if (v != "code" && v != "position")
                throw std::invalid_argument("unknown match \"" + v + "\" (code or position)");
            o.by = v == "code" ? MatchBy::Code : MatchBy::Position;
        } else if (a == "--format" || a == "-f") {
            std::string v = valueOf("text or csv");
            if (v != "text" && v != "csv")
                throw std::invalid_argument("unknown format \"" + v + "\" (text or csv)");
            o.csv = v == "csv";
        } else if (a == "--fields") {
            FieldMask mask = parseFields(valueOf("a LIST of fields"));
            o.fields = fieldsGiven ? o.fields | mask : mask;
            fieldsGiven = true;
        } else if (a == "--no-bom" && !value) {
            o.bom = false;
        } else if (a.size() > 1 && a[0] == '-') {
            throw std::invalid_argument("unknown option " + args[i]);
        } else {
            o.paths.push_back(a);
        }
    }
    if (o.paths.size() != 2)
        throw std::invalid_argument("diff takes two PATHs, A and B");
    return o;
}

// Code-page bytes as UTF-8; the words and digits that make up most values
// are ASCII and go across unchanged.
void appendUtf8(std::string& out, std::string_view bytes) {
    std::size_t ascii = 0;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80)
        ++ascii;
    out.append(bytes.data(), ascii);
    if (ascii < bytes.size())
        out += CodePageToUtf8(bytes.substr(ascii));
}

void appendHex(std::string& out, std::string_view bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (char c : bytes) {
        auto u = static_cast<unsigned char>(c);
        out += kDigits[u >> 4];
        out += kDigits[u & 0xF];
    }
}

// A name or icon as UTF-8 in quotes, its control characters spelled out as
// the check's lines spell them, so that bytes from a file never drive the
// terminal and a line stays one line.
void appendQuoted(std::string& out, const Text& bytes) {
    out += '"';
    appendUtf8(out, SpelledOut(bytes));
    out += '"';
}

void appendNumber(std::string& out, std::int64_t value) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// The value as one CSV cell or one word of a line: LastPart as hexadecimal
// digits, the texts as UTF-8, coded values as their words.
void appendPlain(std::string& out, const Equipment& e, int field) {
    if (field == static_cast<int>(Field::LastPart)) {
        appendHex(out, e.LastPart());
    } else if (fieldKind(field) == FieldKind::Text) {
        appendUtf8(out, e.text(field));
    } else {
        const std::int64_t value = e.number(field);
        if (const std::string* word = FieldWord(field, value))
            appendUtf8(out, *word);
        else
            appendNumber(out, value);
    }
}

void appendForLine(std::string& out, const Equipment& e, int field) {
    if (field == static_cast<int>(Field::EqName) || field == static_cast<int>(Field::IconName))
        appendQuoted(out, e.text(field));
    else
        appendPlain(out, e, field);
}

std::string plainValue(const Equipment& e, int field) {
    std::string out;
    appendPlain(out, e, field);
    return out;
}

void appendRecordName(std::string& out, std::int32_t position, const Equipment& e) {
    out += "record ";
    appendNumber(out, position);
    out += " (N ";
    appendNumber(out, e.EqCode());
    out += ", ";
    appendQuoted(out, e.EqName());
    out += ')';
}

void appendCsvCell(std::string& out, const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        out += cell;
        return;
    }
    out += '"';
    for (char c : cell) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendCsvRow(std::string& out, std::initializer_list<std::string> cells) {
    bool firstCell = true;
    for (const auto& cell : cells) {
        if (!firstCell)
            out += ',';
        firstCell = false;
        appendCsvCell(out, cell);
    }
    out += "\r\n";
}

std::string positionText(std::int32_t position) {
    return position > 0 ? std::to_string(position) : std::string();
}

// Lines are built in a buffer handed on in pieces, so that the tens of
// megabytes two very different pairs give are never held at once.
class ChunkedOutput {
public:
    explicit ChunkedOutput(std::ostream& out) : out_(out) { buffer.reserve(2 * kChunk); }
    ~ChunkedOutput() { flush(); }
    void lineDone() {
        if (buffer.size() >= kChunk)
            flush();
    }
    void flush() {
        out_.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        buffer.clear();
    }
    std::string buffer;

private:
    static constexpr std::size_t kChunk = 1 << 16;
    std::ostream& out_;
};

void renderText(const EquipmentComparison& c, const Equipments& a, const Equipments& b,
                std::ostream& stream) {
    ChunkedOutput chunks(stream);
    std::string& out = chunks.buffer;
    const std::vector<EquipmentRef> ra(a.begin(), a.end()), rb(b.begin(), b.end());
    for (const auto& d : c.differences) {
        chunks.lineDone();
        if (d.kind == DifferenceKind::OnlyInFirst) {
            out += "only in A: ";
            appendRecordName(out, d.first, *ra[d.first - 1]);
            out += '\n';
            continue;
        }
        if (d.kind == DifferenceKind::OnlyInSecond) {
            out += "only in B: ";
            appendRecordName(out, d.second, *rb[d.second - 1]);
            out += '\n';
            continue;
        }
        const Equipment& x = *ra[d.first - 1];
        const Equipment& y = *rb[d.second - 1];
        appendRecordName(out, d.first, x);
        if (d.first != d.second) {
            out += ", record ";
            appendNumber(out, d.second);
            out += " in B";
        }
        const char* separator = ": ";
        for (int f = 0; f < kFieldCount; ++f) {
            if (!(d.fields & fieldBit(f)))
                continue;
            out += separator;
            out += FieldLabel(f);
            out += ' ';
            appendForLine(out, x, f);
            out += " -> ";
            appendForLine(out, y, f);
            separator = ", ";
        }
        out += '\n';
    }
}

void renderCsv(const EquipmentComparison& c, const Equipments& a, const Equipments& b, bool bom,
               std::ostream& stream) {
    ChunkedOutput chunks(stream);
    std::string& out = chunks.buffer;
    if (bom)
        out += "\xEF\xBB\xBF";
    appendCsvRow(out, {"Difference", "Record A", "Record B", "N", "Name", "Field", "A", "B"});
    auto ra = std::vector<EquipmentRef>(a.begin(), a.end());
    auto rb = std::vector<EquipmentRef>(b.begin(), b.end());
    for (const auto& d : c.differences) {
        chunks.lineDone();
        if (d.kind != DifferenceKind::Changed) {
            bool inA = d.kind == DifferenceKind::OnlyInFirst;
            const Equipment& e = inA ? *ra[d.first - 1] : *rb[d.second - 1];
            appendCsvRow(out, {inA ? "only in A" : "only in B", positionText(d.first),
                               positionText(d.second), std::to_string(e.EqCode()),
                               CodePageToUtf8(e.EqName()), "", "", ""});
            continue;
        }
        const Equipment& x = *ra[d.first - 1];
        const Equipment& y = *rb[d.second - 1];
        for (int f = 0; f < kFieldCount; ++f) {
            if (d.fields & fieldBit(f)) {
                appendCsvRow(out, {"changed", positionText(d.first), positionText(d.second),
                                   std::to_string(x.EqCode()), CodePageToUtf8(x.EqName()),
                                   FieldLabel(f), plainValue(x, f), plainValue(y, f)});
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
    auto pair = readPair(path, err);
    if (!pair)
        return false;
    for (const auto& left : LeftoversOfUnfinishedSave(pair->dataPath)) {
        err << "kestrel-eqp: note: " << label << " holds " << left
            << " from an interrupted save; compared the pair as it stands, nothing repaired\n";
    }
    into.setDataPath(pair->dataPath);
    Long failedAt = DecodeEquipmentPair(pair->names, pair->binary, into);
    if (failedAt != 0) {
        err << "kestrel-eqp: " << label << " (" << path << ") does not load: \"" << kReadMessage
            << failedAt << "\"; kestrel-eqp check lists why\n";
        return false;
    }
    return true;
}

}  // namespace

int RunDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    DiffOptions o = parseDiffOptions(args);
    Equipments a, b;
    if (!loadPair(o.paths[0], "A", a, err) || !loadPair(o.paths[1], "B", b, err))
        return kExitUnreadable;

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
