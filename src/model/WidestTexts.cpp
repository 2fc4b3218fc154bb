#include "model/WidestTexts.h"

#include <algorithm>

#include "model/FieldTable.h"
#include "model/FieldText.h"

namespace kestrel {

namespace {

// Keeps the keep widest distinct texts offered to it.
class Longest {
public:
    Longest(std::size_t keep, const ByteWidths* widths) : mKeep(keep), mWidths(widths) {}

    std::size_t width(const std::string& text) const {
        if (!mWidths)
            return text.size();
        std::size_t sum = 0;
        for (unsigned char c : text)
            sum += (*mWidths)[c];
        return sum;
    }

    // The narrowest width that can still enter; narrower texts are skipped
    // without being built.
    std::size_t floor() const { return mTexts.size() < mKeep ? 0 : mTexts.back().first; }

    void offer(std::string text) { offer(std::move(text), width(text)); }
    void offer(std::string text, std::size_t w) {
        if (mKeep == 0 || w < floor())
            return;
        if (std::any_of(mTexts.begin(), mTexts.end(),
                        [&](const auto& t) { return t.second == text; }))
            return;
        auto at =
            std::find_if(mTexts.begin(), mTexts.end(), [w](const auto& t) { return t.first < w; });
        mTexts.insert(at, {w, std::move(text)});
        if (mTexts.size() > mKeep)
            mTexts.pop_back();
    }

    std::vector<std::string> take() {
        std::vector<std::string> texts;
        for (auto& t : mTexts)
            texts.push_back(std::move(t.second));
        return texts;
    }

private:
    std::size_t mKeep;
    const ByteWidths* mWidths;
    std::vector<std::pair<std::size_t, std::string>> mTexts;
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
                                           std::int32_t first, std::int32_t last, std::size_t keep,
                                           const ByteWidths* widths) {
    const FieldInfo& info = fieldInfo(field);
    first = std::max<std::int32_t>(first, 1);
    last = std::min(last, equipments.Count());
    Longest longest(keep, widths);
    if (first > last)
        return {};
    // Walked without Item, which hands out a counted reference per record.
    const auto begin = equipments.begin() + (first - 1);
    const auto end = equipments.begin() + last;
    if (info.kind == FieldKind::Text) {
        for (auto it = begin; it != end; ++it) {
            const std::string& text = (*it)->text(field);
            const std::size_t w = longest.width(text);
            if (w >= longest.floor())
                longest.offer(text, w);
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
