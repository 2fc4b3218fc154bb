#include "model/CodedWords.h"

#include <algorithm>
#include <tuple>

#include "model/FieldTable.h"
#include "model/FieldText.h"

namespace kestrel {

CodedWords::CodedWords(int field) : mField(field) {
    mTable = WordsOf(fieldInfo(field).words, &mTableSize);
    mIdOfCode.assign(mTableSize, -1);
}

int CodedWords::idOf(const Equipment& e) {
    const std::int64_t code = e.number(mField);
    const bool mask = mField == static_cast<int>(Field::Country) && e.hasUnknownMask();
    if (!mask && code >= 0 && static_cast<std::uint64_t>(code) < mTableSize) {
        int& id = mIdOfCode[static_cast<std::size_t>(code)];
        if (id < 0)
            id = add(code, false, mTable[code]);
        ++mCounts[static_cast<std::size_t>(id)];
        return id;
    }
    const std::string text = FieldValueText(e, mField);
    auto [at, fresh] = mOthers.try_emplace(std::make_pair(code, text), 0);
    if (fresh)
        at->second = add(code, true, text);
    ++mCounts[static_cast<std::size_t>(at->second)];
    return at->second;
}

std::vector<int> CodedWords::ranks() const {
    std::vector<int> order(mKeys.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::sort(order.begin(), order.end(), [this](int a, int b) {
        const Key& ka = mKeys[static_cast<std::size_t>(a)];
        const Key& kb = mKeys[static_cast<std::size_t>(b)];
        return std::tie(ka.code, ka.other, ka.word) < std::tie(kb.code, kb.other, kb.word);
    });
    std::vector<int> rank(order.size());
    for (std::size_t r = 0; r < order.size(); ++r)
        rank[static_cast<std::size_t>(order[r])] = static_cast<int>(r);
    return rank;
}

int CodedWords::add(std::int64_t code, bool other, const std::string& word) {
    mKeys.push_back({code, other, word});
    mCounts.push_back(0);
    return static_cast<int>(mKeys.size() - 1);
}

}  // namespace kestrel
