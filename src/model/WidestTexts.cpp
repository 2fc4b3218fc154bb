#include "model/WidestTexts.h"

#include <algorithm>

#include "model/FieldTable.h"
#include "model/FieldText.h"

namespace kestrel {

namespace {

// Keeps the keep longest distinct texts offered to it.
class Longest {
public:
    explicit Longest(std::size_t keep) : mKeep(keep) {}

    // The shortest length that can still enter; texts shorter are skipped
    // without being built.
    std::size_t floor() const { return mTexts.size() < mKeep ? 0 : mTexts.back().size(); }

    void offer(std::string text) {
        if (mKeep == 0 || text.size() < floor())
            return;
        if (std::find(mTexts.begin(), mTexts.end(), text) != mTexts.end())
            return;
        auto at = std::find_if(mTexts.begin(), mTexts.end(),
                               [&](const std::string& t) { return t.size() < text.size(); });
        mTexts.insert(at, std::move(text));
        if (mTexts.size() > mKeep)
            mTexts.pop_back();
    }

    std::vector<std::string> take() { return std::move(mTexts); }

private:
    std::size_t mKeep;
    std::vector<std::string> mTexts;
};

std::size_t decimalLength(std::int64_t v) {
    std::size_t n = v < 0 ? 2 : 1;
    std::uint64_t u = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    while (u >= 10) {
        u /= 10;
        ++n;
    }
    return n;
}

}  // namespace

std::vector<std::string> LongestFieldTexts(const Equipments& equipments, int field,
                                           std::int32_t first, std::int32_t last,
                                           std::size_t keep) {
    const FieldSpec& spec = fieldSpec(field);
    first = std::max<std::int32_t>(first, 1);
    last = std::min(last, equipments.Count());
    Longest longest(keep);
    if (first > last)
        return {};
    // Walked without Item, which hands out a counted reference per record.
    const auto begin = equipments.begin() + (first - 1);
    const auto end = equipments.begin() + last;
    if (spec.kind == FieldKind::Text) {
        for (auto it = begin; it != end; ++it) {
            const Equipment& e = **it;
            if (e.text(field).size() >= longest.floor())
                longest.offer(e.text(field));
        }
        return longest.take();
    }
    // Small values (every byte field, every coded field's words) are marked
    // in a table and turned into text once each; other numbers compete on
    // their decimal length alone.
    std::vector<bool> small(256, false);
    // The keep longest of the other values, by decimal length.
    std::vector<std::pair<std::size_t, std::int64_t>> large;
    for (auto it = begin; it != end; ++it) {
        const std::int64_t v = (*it)->number(field);
        if (v >= 0 && v < 256) {
            small[static_cast<std::size_t>(v)] = true;
            continue;
        }
        const std::size_t length = decimalLength(v);
        if (large.size() == keep && (keep == 0 || length <= large.back().first))
            continue;
        if (std::any_of(large.begin(), large.end(), [v](const auto& l) { return l.second == v; }))
            continue;
        auto at = std::find_if(large.begin(), large.end(),
                               [length](const auto& l) { return l.first < length; });
        large.insert(at, {length, v});
        if (large.size() > keep)
            large.pop_back();
    }
    Equipment probe;
    auto offer = [&](std::int64_t v) {
        probe.setNumber(field, v);
        longest.offer(FieldValueText(probe, field));
    };
    for (std::int64_t v = 0; v < 256; ++v) {
        if (small[static_cast<std::size_t>(v)])
            offer(v);
    }
    for (const auto& l : large)
        offer(l.second);
    return longest.take();
}

}  // namespace kestrel
