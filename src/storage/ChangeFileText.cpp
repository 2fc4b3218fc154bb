#include "storage/ChangeFileText.h"

#include <array>
#include <charconv>
#include <limits>
#include <optional>
#include <unordered_map>

#include "model/EquipmentMerge.h"
#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "storage/EquipmentFiles.h"
#include "storage/TableText.h"
#include "text/CodePage.h"
#include "text/NumberReaders.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {

namespace {

const char kDigits[] = "0123456789ABCDEF";
const char kArrow[] = " -> ";

bool isCodePageGap(unsigned char byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

std::string hexOf(std::string_view bytes) {
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (char c : bytes) {
        auto u = static_cast<unsigned char>(c);
        hex += kDigits[u >> 4];
        hex += kDigits[u & 0xF];
    }
    return hex;
}

// Words a value may be written as: one word per code, that reads back as
// that code and not as anything else a value can be.
struct WordTable {
    std::unordered_map<std::string, std::int64_t> codeOf;
    bool writable(int field, std::int64_t code, const std::string& word) const {
        (void)field;
        auto it = codeOf.find(word);
        return it != codeOf.end() && it->second == code;
    }
};

bool plainWord(const std::string& word) {
    if (word.empty() || word.front() == ' ' || word.back() == ' ' || word.front() == '"' ||
        word.front() == '-' || (word.front() >= '0' && word.front() <= '9') ||
        word.rfind("mask ", 0) == 0 || word.find(kArrow) != std::string::npos)
        return false;
    for (char c : word) {
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
    }
    return true;
}

// Per field, its words as UTF-8 (built when first needed, after the tables
// are loaded).
const std::array<WordTable, kFieldCount>& wordTables() {
    static const auto tables = [] {
        std::array<WordTable, kFieldCount> t;
        for (int f = 0; f < kFieldCount; ++f) {
            std::size_t count = 0;
            const std::string* words = WordsOf(fieldInfo(f).words, &count);
            std::unordered_map<std::string, int> seen;
            for (std::size_t k = 0; k < count; ++k)
                ++seen[CodePageToUtf8(words[k])];
            for (std::size_t k = 0; k < count; ++k) {
                std::string word = CodePageToUtf8(words[k]);
                if (seen[word] == 1 && plainWord(word))
                    t[static_cast<std::size_t>(f)].codeOf.emplace(word,
                                                                  static_cast<std::int64_t>(k));
            }
        }
        return t;
    }();
    return tables;
}

const std::unordered_map<std::string, int>& labelFields() {
    static const auto labels = [] {
        std::unordered_map<std::string, int> m;
        for (int f = 0; f < kFieldCount; ++f) {
            m.emplace(FieldLabel(f), f);
            m.emplace(fieldName(f), f);
        }
        return m;
    }();
    return labels;
}

void putRecordHeader(std::string& out, const char* kind, const RecordChange& c, bool withCode) {
    out += kind;
    out += " record ";
    out += std::to_string(c.position);
    out += " (N ";
    out += std::to_string(c.code);
    if (withCode && c.occurrence > 1) {
        out += " #";
        out += std::to_string(c.occurrence);
    }
    out += ", ";
    out += QuotedText(c.name);
    out += ")\n";
}

void putOrder(std::string& out, const std::vector<std::int32_t>& order) {
    std::size_t onLine = 0;
    for (std::size_t k = 0; k < order.size();) {
        std::size_t end = k + 1;
        if (order[k] > 0) {
            while (end < order.size() && order[end] == order[end - 1] + 1)
                ++end;
        }
        if (onLine == 0)
            out += "order";
        out += ' ';
        if (order[k] < 0) {
            out += '+';
            out += std::to_string(-order[k]);
        } else {
            out += std::to_string(order[k]);
            if (end - k > 1) {
                out += '-';
                out += std::to_string(order[end - 1]);
            }
        }
        if (++onLine == 16) {
            out += '\n';
            onLine = 0;
        }
        k = end;
    }
    if (onLine > 0)
        out += '\n';
}

// --- reading ---------------------------------------------------------------

struct Failure {
    std::string what;
};

std::int64_t parseInteger(std::string_view text, std::int64_t low, std::int64_t high,
                          const std::string& what) {
    std::int64_t value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (!text.empty() && text.front() == '+')
        ++begin;
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (text.empty() || ptr != end || (ec != std::errc() && ec != std::errc::result_out_of_range))
        throw Failure{"\"" + std::string(text) + "\" is not a number for " + what};
    if (ec == std::errc::result_out_of_range || value < low || value > high) {
        throw Failure{std::string(text) + " does not fit " + what + " (" + std::to_string(low) +
                      " to " + std::to_string(high) + ")"};
    }
    return value;
}

std::string parseHex(std::string_view text, const std::string& what) {
    std::optional<std::string> bytes = HexDigitsToBytes(text);
    if (!bytes)
        throw Failure{what + " needs pairs of hexadecimal digits"};
    return std::move(*bytes);
}

// A quoted text starting at text[at]; at moves past the closing quote.
Text parseQuoted(std::string_view text, std::size_t& at) {
    if (at >= text.size() || text[at] != '"')
        throw Failure{"a text must be in double quotes"};
    ++at;
    std::string bytes;
    std::string utf8;
    auto flush = [&] {
        if (utf8.empty())
            return;
        auto converted = Utf8ToCodePage(utf8);
        if (!converted)
            throw Failure{"the text holds a character the files' code page cannot hold"};
        bytes += *converted;
        utf8.clear();
    };
    while (at < text.size()) {
        char c = text[at++];
        if (c == '"') {
            flush();
            return bytes;
        }
        if (c != '\\') {
            utf8 += c;
            continue;
        }
        flush();
        if (at >= text.size())
            break;
        char e = text[at++];
        switch (e) {
            case '\\':
            case '"':
                bytes += e;
                break;
            case 'r':
                bytes += '\r';
                break;
            case 'n':
                bytes += '\n';
                break;
            case 't':
                bytes += '\t';
                break;
            case 'x':
                if (at + 2 > text.size() || HexDigitValue(text[at]) < 0 ||
                    HexDigitValue(text[at + 1]) < 0)
                    throw Failure{"\\x needs two hexadecimal digits"};
                bytes +=
                    static_cast<char>(HexDigitValue(text[at]) * 16 + HexDigitValue(text[at + 1]));
                at += 2;
                break;
            default:
                throw Failure{std::string("unknown escape \\") + e};
        }
    }
    throw Failure{"a text lacks its closing quote"};
}

// One value of field f from text, which holds nothing else.
void parseValue(std::string_view text, int f, Equipment& into) {
    const std::string label = FieldLabel(f);
    if (f == static_cast<int>(Field::LastPart)) {
        into.setLastPart(text == "\"\"" ? std::string() : parseHex(text, label));
        return;
    }
    if (fieldKind(f) == FieldKind::Text) {
        std::size_t at = 0;
        Text value = parseQuoted(text, at);
        if (at != text.size())
            throw Failure{"more after the closing quote of " + label};
        into.setText(f, value);
        return;
    }
    if (f == static_cast<int>(Field::Country) && text.rfind("mask ", 0) == 0) {
        std::string digits(text.substr(5));
        std::string bytes = parseHex(digits, label + " mask");
        if (bytes.size() != 4)
            throw Failure{"a country mask has eight hexadecimal digits"};
        for (char& c : digits)
            c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
        for (std::size_t k = 0; k < CountryMasks.size(); ++k) {
            if (CountryMasks[k] == digits) {
                into.setCountry(static_cast<Long>(k));
                return;
            }
        }
        into.setCountry(0);
        into.setUnknownMask({static_cast<Byte>(bytes[0]), static_cast<Byte>(bytes[1]),
                             static_cast<Byte>(bytes[2]), static_cast<Byte>(bytes[3])});
        return;
    }
    const WordTable& words = wordTables()[static_cast<std::size_t>(f)];
    if (!words.codeOf.empty() && !text.empty() && !(text.front() >= '0' && text.front() <= '9') &&
        text.front() != '-' && text.front() != '+') {
        auto it = words.codeOf.find(std::string(text));
        if (it == words.codeOf.end())
            throw Failure{"no word \"" + std::string(text) + "\" for " + label};
        into.setNumber(f, it->second);
        return;
    }
    const bool isByte = fieldKind(f) == FieldKind::Byte;
    into.setNumber(f, parseInteger(text, isByte ? 0 : std::numeric_limits<Long>::min(),
                                   isByte ? 255 : std::numeric_limits<Long>::max(), label));
}

// The end of the first value of a field line: past a quoted text, else at
// the arrow.
std::size_t valueEnd(std::string_view text) {
    if (!text.empty() && text.front() == '"') {
        std::size_t at = 0;
        parseQuoted(text, at);
        return at;
    }
    std::size_t arrow = text.find(kArrow);
    return arrow == std::string_view::npos ? text.size() : arrow;
}

// "record 12 (N 298 #2, "Tiger I")" after the block's keyword.
void parseRecordHeader(std::string_view text, RecordChange& c) {
    const std::string_view lead = "record ";
    if (text.rfind(lead, 0) != 0)
        throw Failure{"a block starts with change, remove or add record P (N CODE, \"NAME\")"};
    text.remove_prefix(lead.size());
    std::size_t open = text.find(" (N ");
    if (open == std::string_view::npos || text.empty() || text.back() != ')')
        throw Failure{"a block starts with change, remove or add record P (N CODE, \"NAME\")"};
    c.position = static_cast<std::int32_t>(
        parseInteger(text.substr(0, open), 1, kMaxRecords + 1, "a record position"));
    std::string_view rest = text.substr(open + 4);
    std::size_t comma = rest.find(", ");
    if (comma == std::string_view::npos)
        throw Failure{"a block's record needs its code and name: (N CODE, \"NAME\")"};
    std::string_view code = rest.substr(0, comma);
    std::size_t hash = code.find(" #");
    if (hash != std::string_view::npos) {
        c.occurrence = static_cast<std::int32_t>(
            parseInteger(code.substr(hash + 2), 1, kMaxRecords + 1, "which record of the code"));
        code = code.substr(0, hash);
    }
    c.code = static_cast<Long>(parseInteger(code, std::numeric_limits<Long>::min(),
                                            std::numeric_limits<Long>::max(), "N"));
    std::string_view name = rest.substr(comma + 2);
    name.remove_suffix(1);
    std::size_t at = 0;
    c.name = parseQuoted(name, at);
    if (at != name.size())
        throw Failure{"more after the record's name"};
}

void parseOrder(std::string_view text, std::vector<std::int32_t>& order) {
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && text[at] == ' ')
            ++at;
        std::size_t end = text.find(' ', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view item = text.substr(at, end - at);
        at = end;
        if (item.empty())
            continue;
        if (item.front() == '+') {
            order.push_back(-static_cast<std::int32_t>(
                parseInteger(item.substr(1), 1, kMaxRecords + 1, "an added record's number")));
            continue;
        }
        std::size_t dash = item.find('-');
        auto first = static_cast<std::int32_t>(
            parseInteger(item.substr(0, dash), 1, kMaxRecords + 1, "a record position"));
        auto last = first;
        if (dash != std::string_view::npos) {
            last = static_cast<std::int32_t>(
                parseInteger(item.substr(dash + 1), first, kMaxRecords + 1, "a record position"));
        }
        for (std::int32_t p = first; p <= last; ++p)
            order.push_back(p);
    }
}

const char* kindWord(RecordChange::Kind kind) {
    switch (kind) {
        case RecordChange::Kind::Change:
            return "change";
        case RecordChange::Kind::Remove:
            return "remove";
        case RecordChange::Kind::Add:
            return "add";
    }
    return "";
}

// What the whole text must hold beyond each line being well formed.
void checkWhole(const EquipmentChanges& changes, int& line) {
    std::int32_t added = 0;
    for (const RecordChange& c : changes.records) {
        line = c.line;
        if (c.kind == RecordChange::Kind::Add)
            ++added;
        if (c.kind == RecordChange::Kind::Change && c.fields == 0)
            throw Failure{"the change block lists no field"};
        if (c.kind != RecordChange::Kind::Change && c.fields != kAllFields) {
            for (int f = 0; f < kFieldCount; ++f) {
                if (!(c.fields & fieldBit(f))) {
                    throw Failure{std::string("the ") + kindWord(c.kind) + " block lacks field " +
                                  FieldLabel(f) + "; a removed or added record is given whole"};
                }
            }
        }
        const std::int32_t count =
            c.kind == RecordChange::Kind::Add ? changes.modCount : changes.baseCount;
        if (c.position > count) {
            throw Failure{"record " + std::to_string(c.position) + " is beyond the " +
                          std::to_string(count) + " records the records line gives"};
        }
    }
    if (changes.order.empty())
        return;
    line = changes.orderLine;
    if (changes.order.size() != static_cast<std::size_t>(changes.modCount)) {
        throw Failure{"the order names " + std::to_string(changes.order.size()) +
                      " records; the records line gives " + std::to_string(changes.modCount)};
    }
    std::vector<bool> seenBase(static_cast<std::size_t>(changes.baseCount) + 1, false);
    std::vector<bool> seenAdded(static_cast<std::size_t>(added) + 1, false);
    for (std::int32_t p : changes.order) {
        bool inRange = p > 0 ? p <= changes.baseCount : -p <= added;
        auto& seen = p > 0 ? seenBase : seenAdded;
        const std::string item = p > 0 ? std::to_string(p) : "+" + std::to_string(-p);
        if (!inRange)
            throw Failure{"the order names " + item + ", which is not a record of the changes"};
        if (seen[static_cast<std::size_t>(p > 0 ? p : -p)])
            throw Failure{"the order names " + item + " twice"};
        seen[static_cast<std::size_t>(p > 0 ? p : -p)] = true;
    }
}

}  // namespace

std::string QuotedText(const Text& bytes) {
    std::string out = "\"";
    std::string upper;
    auto flush = [&] {
        if (!upper.empty()) {
            out += CodePageToUtf8(upper);
            upper.clear();
        }
    };
    for (char c : bytes) {
        auto u = static_cast<unsigned char>(c);
        if (u >= 0x80 && !isCodePageGap(u)) {
            upper += c;
            continue;
        }
        flush();
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7F || u >= 0x80) {
            out += "\\x";
            out += kDigits[u >> 4];
            out += kDigits[u & 0xF];
        } else {
            out += c;
        }
    }
    flush();
    return out + "\"";
}

std::string ChangeValueText(const Equipment& e, int f) {
    if (f == static_cast<int>(Field::LastPart))
        return e.LastPart().empty() ? std::string("\"\"") : hexOf(e.LastPart());
    if (fieldKind(f) == FieldKind::Text)
        return QuotedText(e.text(f));
    if (f == static_cast<int>(Field::Country) && e.hasUnknownMask())
        return "mask " + CountryMaskText(*e.MaskAsRead());
    const std::int64_t value = e.number(f);
    if (const std::string* word = FieldWord(f, value)) {
        std::string utf8 = CodePageToUtf8(*word);
        if (wordTables()[static_cast<std::size_t>(f)].writable(f, value, utf8))
            return utf8;
    }
    return std::to_string(value);
}

std::string EncodeChanges(const EquipmentChanges& changes) {
    std::string out;
    out.reserve(256 + changes.records.size() * 200);
    out += kChangeFileHeader;
    out += ' ';
    out += std::to_string(kChangeFileVersion);
    out += changes.by == MatchBy::Code ? "\nby code\n" : "\nby position\n";
    out += "records " + std::to_string(changes.baseCount) + kArrow +
           std::to_string(changes.modCount) + "\n";
    if (changes.trailingAfter) {
        auto bytes = [](const std::string& b) {
            return b.empty() ? std::string("\"\"") : hexOf(b);
        };
        out += "trailing " + bytes(*changes.trailingBefore) + kArrow +
               bytes(*changes.trailingAfter) + "\n";
    }
    const bool byCode = changes.by == MatchBy::Code;
    for (const RecordChange& c : changes.records) {
        out += '\n';
        putRecordHeader(out, kindWord(c.kind), c, byCode);
        for (int f = 0; f < kFieldCount; ++f) {
            if (!(c.fields & fieldBit(f)))
                continue;
            out += "  ";
            out += FieldLabel(f);
            out += ": ";
            if (c.kind == RecordChange::Kind::Change) {
                out += ChangeValueText(c.before, f);
                out += kArrow;
                out += ChangeValueText(c.after, f);
            } else {
                out += ChangeValueText(c.kind == RecordChange::Kind::Add ? c.after : c.before, f);
            }
            out += '\n';
        }
    }
    if (!changes.order.empty()) {
        out += '\n';
        putOrder(out, changes.order);
    }
    return out;
}

ChangesDecodeResult DecodeChanges(std::string_view text) {
    ChangesDecodeResult result;
    EquipmentChanges& changes = result.changes;
    int lineNumber = 0;
    bool sawBy = false, sawRecords = false;
    RecordChange* block = nullptr;
    try {
        if (text.rfind("\xEF\xBB\xBF", 0) == 0)
            text.remove_prefix(3);
        // Room for every block at once: each starts a line with a word, its
        // field lines start with a space.
        std::size_t blocks = 0;
        for (std::size_t nl = text.find('\n'); nl != std::string_view::npos && nl + 1 < text.size();
             nl = text.find('\n', nl + 1))
            blocks += text[nl + 1] >= 'a' && text[nl + 1] <= 'z';
        changes.records.reserve(blocks);
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find('\n', at);
            if (end == std::string_view::npos)
                end = text.size();
            std::string_view line = text.substr(at, end - at);
            at = end + 1;
            ++lineNumber;
            while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
                line.remove_suffix(1);
            if (lineNumber == 1) {
                const std::string_view header = kChangeFileHeader;
                if (line.rfind(header, 0) != 0 || line.size() <= header.size() + 1 ||
                    line[header.size()] != ' ') {
                    throw Failure{std::string("not a change file: it does not start with \"") +
                                  kChangeFileHeader + " " + std::to_string(kChangeFileVersion) +
                                  "\""};
                }
                std::string_view version = line.substr(header.size() + 1);
                if (version != std::to_string(kChangeFileVersion)) {
                    throw Failure{"a change file of version " + std::string(version) +
                                  "; this kestrel-eqp reads version " +
                                  std::to_string(kChangeFileVersion)};
                }
                continue;
            }
            if (line.empty() || line.front() == '#')
                continue;
            if (line.front() == ' ') {
                if (!block)
                    throw Failure{"a field line outside a change, remove or add block"};
                std::size_t first = line.find_first_not_of(' ');
                std::size_t colon = line.find(": ", first);
                if (colon == std::string_view::npos)
                    throw Failure{"a field line reads FIELD: VALUE"};
                std::string label(line.substr(first, colon - first));
                auto it = labelFields().find(label);
                int f = -1;
                if (it != labelFields().end()) {
                    f = it->second;
                } else {
                    auto named = FieldsNamed(label);
                    if (named.size() != 1)
                        throw Failure{"unknown field \"" + label + "\""};
                    f = named[0];
                }
                if (block->fields & fieldBit(f))
                    throw Failure{std::string("field ") + FieldLabel(f) + " given twice"};
                block->fields |= fieldBit(f);
                std::string_view values = line.substr(colon + 2);
                if (block->kind == RecordChange::Kind::Change) {
                    std::size_t split = valueEnd(values);
                    if (values.substr(split, 4) != kArrow)
                        throw Failure{"a changed field reads FIELD: OLD -> NEW"};
                    parseValue(values.substr(0, split), f, block->before);
                    parseValue(values.substr(split + 4), f, block->after);
                } else {
                    parseValue(
                        values, f,
                        block->kind == RecordChange::Kind::Add ? block->after : block->before);
                }
                continue;
            }
            block = nullptr;
            std::size_t space = line.find(' ');
            std::string_view word = line.substr(0, space);
            std::string_view rest =
                space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
            if (word == "by") {
                if (rest != "code" && rest != "position")
                    throw Failure{"by is followed by code or position"};
                changes.by = rest == "code" ? MatchBy::Code : MatchBy::Position;
                sawBy = true;
            } else if (word == "records") {
                std::size_t arrow = rest.find(kArrow);
                if (arrow == std::string_view::npos)
                    throw Failure{"records reads records BASE -> MOD"};
                changes.baseCount = static_cast<std::int32_t>(
                    parseInteger(rest.substr(0, arrow), 0, kMaxRecords, "the base's records"));
                changes.modCount = static_cast<std::int32_t>(
                    parseInteger(rest.substr(arrow + 4), 0, kMaxRecords, "the mod's records"));
                sawRecords = true;
            } else if (word == "trailing") {
                std::size_t arrow = rest.find(kArrow);
                if (arrow == std::string_view::npos)
                    throw Failure{"trailing reads trailing OLD -> NEW (hexadecimal digits)"};
                auto bytes = [](std::string_view hex) {
                    return hex == "\"\"" ? std::string() : parseHex(hex, "trailing");
                };
                changes.trailingBefore = bytes(rest.substr(0, arrow));
                changes.trailingAfter = bytes(rest.substr(arrow + 4));
                changes.trailingLine = lineNumber;
            } else if (word == "order") {
                if (changes.orderLine == 0)
                    changes.orderLine = lineNumber;
                parseOrder(rest, changes.order);
            } else if (word == "change" || word == "remove" || word == "add") {
                RecordChange c;
                c.kind = word == "change"   ? RecordChange::Kind::Change
                         : word == "remove" ? RecordChange::Kind::Remove
                                            : RecordChange::Kind::Add;
                c.line = lineNumber;
                parseRecordHeader(rest, c);
                changes.records.push_back(std::move(c));
                block = &changes.records.back();
            } else {
                std::string shown(line.substr(0, 60));
                for (char& c : shown)
                    c = static_cast<unsigned char>(c) < 0x20 ? '?' : c;
                throw Failure{"a line a change file does not have: \"" + shown + "\""};
            }
        }
        if (lineNumber == 0)
            throw Failure{"the text is empty, not a change file"};
        if (!sawBy || !sawRecords) {
            lineNumber = 0;
            throw Failure{std::string("the change file lacks its ") + (sawBy ? "records" : "by") +
                          " line"};
        }
        checkWhole(changes, lineNumber);
    } catch (const Failure& failure) {
        result.error = failure.what;
        result.line = lineNumber;
        result.changes = EquipmentChanges();
    }
    return result;
}

}  // namespace kestrel
