#include "cli/ImportChecks.h"

#include <algorithm>
#include <cmath>

namespace kestrel::cli {

std::vector<InexactValue> InexactValues(const std::vector<Equipment>& records,
                                        const std::vector<std::pair<std::size_t, int>>& rounded,
                                        const std::function<int(std::size_t, int)>& lineOf) {
    std::vector<InexactValue> found;
    auto add = [&](std::size_t record, Field field, std::string what) {
        int f = static_cast<int>(field);
        found.push_back({lineOf(record, f), std::string(fieldName(f)) + " " + what});
    };
    for (const auto& [record, f] : rounded) {
        found.push_back({lineOf(record, f), std::string(fieldName(f)) +
                                                " is given with a fraction; the file stores " +
                                                std::to_string(records[record].number(f))});
    }
    for (std::size_t r = 0; r < records.size(); ++r) {
        const Equipment& e = records[r];
        if (e.IconName().size() > 6) {
            add(r, Field::IconName,
                "is " + std::to_string(e.IconName().size()) + " bytes; the file keeps the first 6");
        }
        if (e.LastPart().size() > 22) {
            add(r, Field::LastPart,
                "is " + std::to_string(e.LastPart().size()) +
                    " bytes; the file keeps the first 22");
        }
        if (e.PrestigeCost() % 12 != 0) {
            long stored = std::lround(std::nearbyint(e.PrestigeCost() / 12.0)) * 12;
            add(r, Field::PrestigeCost,
                std::to_string(e.PrestigeCost()) + " is not a multiple of 12; the file stores " +
                    std::to_string(stored));
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const InexactValue& a, const InexactValue& b) { return a.line < b.line; });
    return found;
}

}  // namespace kestrel::cli
