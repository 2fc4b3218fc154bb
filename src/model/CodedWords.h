#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "model/Equipment.h"

namespace kestrel {

// The words of a coded field met among records, as the grid shows them,
// with how many records show each. A code with no word and a country mask
// that names no country are words of their own, spelled as the grid spells
// them. Ids are handed out in the order words are met; ranks() orders them
// by code.
class CodedWords {
public:
    explicit CodedWords(int field);

    // The id of the record's word, counting the record.
    int idOf(const Equipment& e);

    // Each id's place in code order.
    std::vector<int> ranks() const;

    std::size_t size() const { return mKeys.size(); }
    const std::string& word(int id) const { return mKeys[static_cast<std::size_t>(id)].word; }
    int count(int id) const { return mCounts[static_cast<std::size_t>(id)]; }

private:
    struct Key {
        std::int64_t code;
        bool other;  // not a word of the field's table
        std::string word;
    };

    int add(std::int64_t code, bool other, const std::string& word);

    int mField;
    const std::string* mTable = nullptr;
    std::size_t mTableSize = 0;
    std::vector<int> mIdOfCode;  // the fast way for the table's codes
    std::map<std::pair<std::int64_t, std::string>, int> mOthers;
    std::vector<Key> mKeys;
    std::vector<int> mCounts;
};

}  // namespace kestrel
