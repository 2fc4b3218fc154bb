#include "model/SelectionStatistics.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "model/Chart.h"
#include "model/CodedWords.h"
#include "model/FieldTable.h"
#include "model/FieldText.h"

namespace kestrel {

namespace {

// " · " and "…" in the files' code page.
constexpr const char* kBetween = " \xB7 ";
constexpr const char* kAndMore = "\x85";
constexpr std::size_t kWordsNamed = 3;

// To a tenth, grouped, without a tenth of 0: "1,234.5", "40".
std::string tenths(double value) {
    const bool negative = value < 0;
    const auto scaled = static_cast<std::int64_t>(std::llround(std::fabs(value) * 10));
    std::string text = (negative && scaled != 0 ? "-" : "") + GroupedNumber(scaled / 10);
    if (scaled % 10 != 0)
        text += "." + std::to_string(scaled % 10);
    return text;
}

}  // namespace

ColumnStatistics StatisticsOf(const Equipments& list, const std::vector<Long>& selected, int field,
                              const RecordFilter* shown) {
    ColumnStatistics s;
    s.field = field;
    const bool filtered = shown && !shown->empty();
    const bool coded = field >= 0 && fieldInfo(field).words != FieldWords::None;
    s.numbers = field >= 0 && !coded && fieldKind(field) != FieldKind::Text;
    std::optional<CodedWords> words;
    if (coded)
        words.emplace(field);
    for (Long position : selected) {
        const Equipment& e = **(list.begin() + (position - 1));
        if (filtered && !shown->Matches(e))
            continue;
        if (s.numbers) {
            const std::int64_t v = e.number(field);
            s.min = s.count == 0 ? v : std::min(s.min, v);
            s.max = s.count == 0 ? v : std::max(s.max, v);
            s.sum += v;
        } else if (coded) {
            words->idOf(e);
        }
        ++s.count;
    }
    if (s.numbers && s.count > 0)
        s.mean = static_cast<double>(s.sum) / static_cast<double>(s.count);
    if (coded) {
        const CodedWords& w = *words;
        const std::vector<int> rank = w.ranks();
        std::vector<int> ids(w.size());
        for (std::size_t id = 0; id < ids.size(); ++id)
            ids[static_cast<std::size_t>(rank[id])] = static_cast<int>(id);
        std::stable_sort(ids.begin(), ids.end(),
                         [&w](int a, int b) { return w.count(a) > w.count(b); });
        for (int id : ids)
            s.words.emplace_back(w.word(id), w.count(id));
    }
    return s;
}

std::string StatisticsText(const ColumnStatistics& s) {
    if (s.count == 0)
        return std::string();
    std::string text = GroupedNumber(static_cast<std::int64_t>(s.count)) + " selected";
    if (s.field < 0)
        return text;
    if (s.numbers) {
        return text + kBetween + FieldLabel(s.field) + " sum " + GroupedNumber(s.sum) + kBetween +
               "mean " + tenths(s.mean) + kBetween + "min " + GroupedNumber(s.min) + kBetween +
               "max " + GroupedNumber(s.max);
    }
    for (std::size_t i = 0; i < s.words.size() && i < kWordsNamed; ++i) {
        text += kBetween;
        if (i == 0)
            text += std::string(FieldLabel(s.field)) + " ";
        text += s.words[i].first + " " + GroupedNumber(s.words[i].second);
    }
    if (s.words.size() > kWordsNamed)
        text += std::string(kBetween) + kAndMore;
    return text;
}

}  // namespace kestrel
