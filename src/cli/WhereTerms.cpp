#include "cli/WhereTerms.h"

#include "text/CodePage.h"

namespace kestrel::cli {

std::optional<RecordFilter> ReadWhere(const std::string& terms, std::ostream& err) {
    const std::optional<std::string> bytes = Utf8ToCodePage(terms);
    if (!bytes) {
        err << "kestrel-eqp: --where: \"" << terms
            << "\" holds a character the files' code page (Windows-1252) cannot hold\n";
        return std::nullopt;
    }
    FilterParse parse = ParseFilter(*bytes);
    if (!parse.ok()) {
        err << "kestrel-eqp: --where: " << CodePageToUtf8(parse.error) << "\n";
        return std::nullopt;
    }
    return std::move(parse.filter);
}

std::vector<Long> PositionsKept(const Equipments& list, const RecordFilter& filter) {
    std::vector<Long> positions;
    positions.reserve(static_cast<std::size_t>(list.Count()));
    Long position = 0;
    for (const EquipmentRef& e : list) {
        ++position;
        if (filter.Matches(*e))
            positions.push_back(position);
    }
    return positions;
}

}  // namespace kestrel::cli
