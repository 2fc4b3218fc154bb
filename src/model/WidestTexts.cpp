#include "model/WidestTexts.h"

#include <algorithm>
#include <limits>
#include <type_traits>

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

    // Texts narrower than this cannot enter and need not be offered.
    std::size_t floor() const {
        if (mKeep == 0)
            return std::numeric_limits<std::size_t>::max();
        return mTexts.size() < mKeep ? 0 : mTexts.back().first + 1;
    }

    void offer(const std::string& text) { offer(text, width(text)); }
    // Once full, a text must be wider than the narrowest kept to enter: of
    // texts alike in width the first stays, and a long run of them (names of
    // one length) costs no compares.
    void offer(const std::string& text, std::size_t w) {
        if (mKeep == 0 || (mTexts.size() == mKeep && w <= mTexts.back().first))
            return;
        if (std::any_of(mTexts.begin(), mTexts.end(),
                        [&](const auto& t) { return t.second == text; }))
            return;
        auto at =
            std::find_if(mTexts.begin(), mTexts.end(), [w](const auto& t) { return t.first < w; });
        mTexts.insert(at, {w, text});
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

// What one number field has shown so far: small values (every byte field,
// every coded field's words) are marked in a table and turned into text
// once each at the end; other numbers compete on their decimal length
// alone, the keep longest of them kept.
struct NumberCandidates {
    std::array<bool, 256> small{};
    std::vector<std::pair<std::size_t, std::int64_t>> large;
    // Once keep are kept, the numbers strictly between these two are no
    // longer than the shortest kept and cannot enter: most numbers are
    // turned away by two compares instead of a count of their digits.
    std::int64_t shortAbove = 0, shortBelow = 0;

    void offer(std::int64_t v, std::size_t keep) {
        if (v >= 0 && v < 256) {
            small[static_cast<std::size_t>(v)] = true;
            return;
        }
        if (v > shortAbove && v < shortBelow)
            return;
        const std::size_t length = decimalLength(v);
        if (large.size() == keep && (keep == 0 || length <= large.back().first))
            return;
        if (std::any_of(large.begin(), large.end(), [v](const auto& l) { return l.second == v; }))
            return;
        auto at = std::find_if(large.begin(), large.end(),
                               [length](const auto& l) { return l.first < length; });
        large.insert(at, {length, v});
        if (large.size() > keep)
            large.pop_back();
        if (large.size() == keep && keep > 0) {
            // Shorter or as long as the shortest kept: a non-negative number
            // of at most that many digits, a negative one of one fewer.
            const std::size_t shortest = large.back().first;
            std::int64_t power = 1;
            for (std::size_t d = 1; d < shortest && power < kPowerLimit; ++d)
                power *= 10;
            shortAbove = -power;
            shortBelow =
                power < kPowerLimit ? power * 10 : std::numeric_limits<std::int64_t>::max();
        }
    }
    static constexpr std::int64_t kPowerLimit = 1000000000000000000;  // 10^18
};

// The texts a number field's candidates stand for, offered to its texts.
void offerNumbers(int field, const NumberCandidates& numbers, Longest& texts) {
    Equipment probe;
    auto offer = [&](std::int64_t v) {
        probe.setNumber(field, v);
        texts.offer(FieldValueText(probe, field));
    };
    for (std::int64_t v = 0; v < 256; ++v) {
        if (numbers.small[static_cast<std::size_t>(v)])
            offer(v);
    }
    for (const auto& l : numbers.large)
        offer(l.second);
}

}  // namespace

std::vector<std::string> LongestFieldTexts(const Equipments& equipments, int field,
                                           std::int32_t first, std::int32_t last, std::size_t keep,
                                           const ByteWidths* widths) {
    first = std::max<std::int32_t>(first, 1);
    last = std::min(last, equipments.Count());
    Longest texts(keep, widths);
    NumberCandidates numbers;
    const bool isText = fieldKind(field) == FieldKind::Text;
    if (first <= last) {
        const auto end = equipments.begin() + last;
        for (auto it = equipments.begin() + (first - 1); it != end; ++it) {
            if (isText) {
                const Text& value = (*it)->text(field);
                const std::size_t w = texts.width(value);
                if (w >= texts.floor())
                    texts.offer(value, w);
            } else {
                numbers.offer((*it)->number(field), keep);
            }
        }
    }
    if (!isText)
        offerNumbers(field, numbers, texts);
    return texts.take();
}

std::vector<std::vector<std::string>> LongestFieldTexts(const Equipments& equipments,
                                                        std::int32_t first, std::int32_t last,
                                                        std::size_t keep,
                                                        const ByteWidths* widths) {
    first = std::max<std::int32_t>(first, 1);
    last = std::min(last, equipments.Count());
    std::vector<Longest> texts(kFieldCount, Longest(keep, widths));
    std::vector<NumberCandidates> numbers(kFieldCount);
    // Walked without Item, which hands out a counted reference per record.
    if (first <= last) {
        const auto end = equipments.begin() + last;
        for (auto it = equipments.begin() + (first - 1); it != end; ++it) {
            (*it)->anyField([&](int field, const auto& value) {
                if constexpr (std::is_same_v<std::decay_t<decltype(value)>, Text>) {
                    Longest& longest = texts[static_cast<std::size_t>(field)];
                    const std::size_t w = longest.width(value);
                    if (w >= longest.floor())
                        longest.offer(value, w);
                } else {
                    numbers[static_cast<std::size_t>(field)].offer(value, keep);
                }
                return false;
            });
        }
    }
    std::vector<std::vector<std::string>> widest(kFieldCount);
    for (int field = 0; field < kFieldCount; ++field) {
        const auto f = static_cast<std::size_t>(field);
        if (fieldKind(field) != FieldKind::Text)
            offerNumbers(field, numbers[f], texts[f]);
        widest[f] = texts[f].take();
    }
    return widest;
}

}  // namespace kestrel
