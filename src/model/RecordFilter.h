#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Equipment.h"

namespace kestrel {

// What the list's filter bar keeps: every term must hold for a record.
//   tiger            any cell, as the grid shows it, contains the word
//   "Tiger I"        the same for a text with blanks
//   Co=Germany       a column equals a value (coded columns: word or code)
//   Co!=Germany      ... differs from it
//   SA>=10 P<300     numeric comparisons (< <= > >=)
//   Name~tiger       a column's shown text contains the value
//   US&4             a number has one of the bits of the value set
// Columns are named by the grid's heading or the field's name, in any
// letter case; texts are compared ignoring case. Terms are code-page bytes.
class RecordFilter {
public:
    enum class Op {
        Anywhere,
        Equal,
        NotEqual,
        Less,
        LessEqual,
        Greater,
        GreaterEqual,
        Contains,
        Bits
    };
    // For a word looked for anywhere: which codes of a coded field show it.
    struct Words {
        bool table = false;
        std::vector<bool> match;
    };
    struct Term {
        Op op = Op::Anywhere;
        int field = -1;            // -1 for Anywhere
        std::string text;          // lower-cased, for text and Contains terms
        std::int64_t number = 0;   // numbers and codes
        bool digits = false;       // Anywhere: the word could be part of a number
        std::vector<Words> words;  // Anywhere: one per field
    };

    // No terms: every record matches.
    bool empty() const { return mTerms.empty(); }
    bool Matches(const Equipment& equipment) const;
    // Whether every record this filter keeps, wider keeps too, as when a
    // word typed on grows by a letter or a term is added. Read from the
    // terms alone: false does not say that some record is kept by this
    // filter and not by wider.
    bool Narrows(const RecordFilter& wider) const;
    const std::vector<Term>& terms() const { return mTerms; }

private:
    friend struct FilterParse ParseFilter(std::string_view text);
    std::vector<Term> mTerms;
};

// The filter, or why the text cannot be read (error not empty).
struct FilterParse {
    RecordFilter filter;
    std::string error;
    bool ok() const { return error.empty(); }
};

FilterParse ParseFilter(std::string_view text);

// Case folding of the code page's letters (ASCII and the accented ones).
char FoldCase(char c);
std::string Folded(std::string_view text);

}  // namespace kestrel
