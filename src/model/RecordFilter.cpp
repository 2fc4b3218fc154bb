#include "model/RecordFilter.h"

#include <array>
#include <charconv>
#include <optional>
#include <type_traits>

#include "model/FieldTable.h"
#include "model/FieldText.h"

namespace kestrel {

char FoldCase(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'A' && b <= 'Z')
        return static_cast<char>(b + 32);
    // Windows-1252: À-Þ fold to à-þ (× excepted), and the four pairs in 0x8A-0x9F.
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7)
        return static_cast<char>(b + 32);
    if (b == 0x8A || b == 0x8C || b == 0x8E)
        return static_cast<char>(b + 16);
    if (b == 0x9F)
        return static_cast<char>(0xFF);
    return c;
}

std::string Folded(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = FoldCase(c);
    return out;
}

namespace {

using Op = RecordFilter::Op;

// needle is already folded.
// FoldCase of every byte, looked up rather than worked out in the loops
// that run over every cell of the list.
const std::array<char, 256>& foldTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[static_cast<std::size_t>(b)] = FoldCase(static_cast<char>(b));
        return t;
    }();
    return table;
}

bool containsFolded(std::string_view hay, std::string_view needle) {
    if (needle.size() > hay.size())
        return false;
    const std::array<char, 256>& fold = foldTable();
    auto folded = [&fold](char c) { return fold[static_cast<unsigned char>(c)]; };
    for (std::size_t i = 0; i + needle.size() <= hay.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && folded(hay[i + k]) == needle[k])
            ++k;
        if (k == needle.size())
            return true;
    }
    return false;
}

bool equalFolded(std::string_view a, std::string_view folded) {
    if (a.size() != folded.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != folded[i])
            return false;
    }
    return true;
}

// The cell's text as the grid shows it contains needle; numbers are written
// into a buffer instead of a string, as this runs for every cell of the list.
bool cellContains(const Equipment& e, int field, std::string_view needle) {
    if (fieldKind(field) == FieldKind::Text)
        return containsFolded(e.text(field), needle);
    const std::int64_t value = e.number(field);
    if (const std::string* word = FieldWord(field, value))
        return containsFolded(*word, needle);
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return containsFolded(std::string_view(buffer, static_cast<std::size_t>(end - buffer)), needle);
}

struct Token {
    std::string text;
    std::size_t opAt = std::string::npos;  // first operator outside quotes
};

bool isOperator(char c) {
    return c == '=' || c == '<' || c == '>' || c == '~' || c == '&' || c == '!';
}

// Splits at blanks outside quotes; quotes group and are dropped.
bool tokenize(std::string_view text, std::vector<Token>& tokens, std::string& error) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        Token token;
        bool quoted = false;
        for (; i < text.size() && (quoted || (text[i] != ' ' && text[i] != '\t')); ++i) {
            if (text[i] == '"') {
                quoted = !quoted;
                continue;
            }
            if (!quoted && token.opAt == std::string::npos && isOperator(text[i]))
                token.opAt = token.text.size();
            token.text += text[i];
        }
        if (quoted) {
            error = "A quote is not closed.";
            return false;
        }
        tokens.push_back(std::move(token));
    }
    return true;
}

std::optional<std::int64_t> wholeNumber(const std::string& text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// The code a coded column's word or number stands for.
std::optional<std::int64_t> codeOf(int field, const std::string& value) {
    if (auto number = wholeNumber(value))
        return number;
    std::size_t count = 0;
    const std::string* words = WordsOf(fieldInfo(field).words, &count);
    const std::string folded = Folded(value);
    for (std::size_t code = 0; code < count; ++code) {
        if (!words[code].empty() && equalFolded(words[code], folded))
            return static_cast<std::int64_t>(code);
    }
    return std::nullopt;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

bool readTerm(const Token& token, RecordFilter::Term& term, std::string& error) {
    const std::string name = token.text.substr(0, token.opAt);
    std::size_t at = token.opAt;
    const char first = token.text[at];
    const char second = at + 1 < token.text.size() ? token.text[at + 1] : '\0';
    std::string symbol(1, first);
    if (first == '<' || first == '>' || first == '!') {
        if (second == '=') {
            symbol += '=';
        } else if (first == '!') {
            error = quoted(token.text) + ": ! must be followed by =.";
            return false;
        }
    }
    at += symbol.size();
    const std::string value = token.text.substr(at);
    if (name.empty()) {
        error = quoted(token.text) + ": a column name must come before " + symbol + ".";
        return false;
    }
    const std::vector<int> fields = FieldsNamed(name);
    if (fields.empty()) {
        error = quoted(name) + " is not a column.";
        return false;
    }
    if (fields.size() > 1) {
        error = quoted(name) + " names " + std::to_string(fields.size()) + " columns; use " +
                fieldName(fields.front()) + " to " + fieldName(fields.back()) + ".";
        return false;
    }
    if (value.empty()) {
        error = quoted(token.text) + ": a value must follow " + symbol + ".";
        return false;
    }
    term.field = fields.front();
    const bool text = fieldKind(term.field) == FieldKind::Text;
    const bool coded = fieldInfo(term.field).words != FieldWords::None;
    if (symbol == "~") {
        term.op = Op::Contains;
        term.text = Folded(value);
        return true;
    }
    if (symbol == "=" || symbol == "!=") {
        term.op = symbol == "=" ? Op::Equal : Op::NotEqual;
        if (text) {
            term.text = Folded(value);
            return true;
        }
    } else if (symbol == "&") {
        term.op = Op::Bits;
    } else {
        term.op = symbol == "<"    ? Op::Less
                  : symbol == "<=" ? Op::LessEqual
                  : symbol == ">"  ? Op::Greater
                                   : Op::GreaterEqual;
    }
    if (text) {
        error =
            quoted(token.text) + ": " + fieldName(term.field) + " holds text; use = or ~ with it.";
        return false;
    }
    std::optional<std::int64_t> number = coded && (term.op == Op::Equal || term.op == Op::NotEqual)
                                             ? codeOf(term.field, value)
                                             : wholeNumber(value);
    if (!number) {
        error =
            quoted(token.text) + ": " + quoted(value) +
            (coded ? " is neither a word of the column nor a code." : " is not a whole number.");
        return false;
    }
    if (term.op == Op::Bits && *number <= 0) {
        error = quoted(token.text) + ": & takes a bit value above 0, such as 4.";
        return false;
    }
    term.number = *number;
    return true;
}

// A word only digits and a minus sign can spell may be in a number's cell.
bool couldBeNumber(std::string_view word) {
    for (char c : word) {
        if ((c < '0' || c > '9') && c != '-')
            return false;
    }
    return true;
}

bool anywhere(const RecordFilter::Term& term, const Equipment& e) {
    return e.anyField([&](int f, const auto& member) {
        if constexpr (std::is_same_v<std::decay_t<decltype(member)>, Text>) {
            return containsFolded(member, term.text);
        } else {
            const std::int64_t value = member;
            const RecordFilter::Words& words = term.words[static_cast<std::size_t>(f)];
            if (words.table && value >= 0 && static_cast<std::size_t>(value) < words.match.size())
                return static_cast<bool>(words.match[static_cast<std::size_t>(value)]);
            return term.digits && cellContains(e, f, term.text);
        }
    });
}

bool holds(const RecordFilter::Term& term, const Equipment& e) {
    if (term.op == Op::Anywhere)
        return anywhere(term, e);
    if (term.op == Op::Contains)
        return cellContains(e, term.field, term.text);
    if (fieldKind(term.field) == FieldKind::Text) {
        const bool same = equalFolded(e.text(term.field), term.text);
        return term.op == Op::Equal ? same : !same;
    }
    const std::int64_t v = e.number(term.field);
    switch (term.op) {
        case Op::Equal:
            return v == term.number;
        case Op::NotEqual:
            return v != term.number;
        case Op::Less:
            return v < term.number;
        case Op::LessEqual:
            return v <= term.number;
        case Op::Greater:
            return v > term.number;
        case Op::GreaterEqual:
            return v >= term.number;
        case Op::Bits:
            return (v & term.number) != 0;
        default:
            return false;
    }
}

// Which codes of each coded field show a word containing the term, worked
// out once instead of for every record.
void prepareAnywhere(RecordFilter::Term& term) {
    term.digits = couldBeNumber(term.text);
    term.words.assign(kFieldCount, {});
    for (int f = 0; f < kFieldCount; ++f) {
        std::size_t count = 0;
        const std::string* table = WordsOf(fieldInfo(f).words, &count);
        if (!table)
            continue;
        RecordFilter::Words& words = term.words[static_cast<std::size_t>(f)];
        words.table = true;
        words.match.resize(count);
        for (std::size_t code = 0; code < count; ++code)
            words.match[code] = containsFolded(table[code], term.text);
    }
}

}  // namespace

bool RecordFilter::Matches(const Equipment& equipment) const {
    for (const Term& term : mTerms) {
        if (!holds(term, equipment))
            return false;
    }
    return true;
}

namespace {

// Every record that narrow holds for, wide holds for. Texts are folded.
bool narrowsTerm(const RecordFilter::Term& narrow, const RecordFilter::Term& wide) {
    if (narrow.op != wide.op || narrow.field != wide.field)
        return false;
    switch (narrow.op) {
        case Op::Anywhere:
        case Op::Contains:
            // A cell's text, word or number that holds the longer text holds
            // the shorter; a longer text made only of digits has a shorter
            // one made only of digits too, so numbers are searched by both.
            return narrow.text.find(wide.text) != std::string::npos;
        case Op::Greater:
        case Op::GreaterEqual:
            return narrow.text == wide.text && narrow.number >= wide.number;
        case Op::Less:
        case Op::LessEqual:
            return narrow.text == wide.text && narrow.number <= wide.number;
        default:
            return narrow.text == wide.text && narrow.number == wide.number;
    }
}

}  // namespace

bool RecordFilter::Narrows(const RecordFilter& wider) const {
    if (wider.mTerms.size() > mTerms.size())
        return false;
    for (std::size_t i = 0; i < wider.mTerms.size(); ++i) {
        if (!narrowsTerm(mTerms[i], wider.mTerms[i]))
            return false;
    }
    return true;
}

FilterParse ParseFilter(std::string_view text) {
    FilterParse result;
    std::vector<Token> tokens;
    if (!tokenize(text, tokens, result.error))
        return result;
    for (const Token& token : tokens) {
        RecordFilter::Term term;
        if (token.opAt == std::string::npos) {
            if (token.text.empty())
                continue;  // ""
            term.text = Folded(token.text);
            prepareAnywhere(term);
        } else if (!readTerm(token, term, result.error)) {
            result.filter = RecordFilter();
            return result;
        }
        result.filter.mTerms.push_back(std::move(term));
    }
    return result;
}

}  // namespace kestrel
