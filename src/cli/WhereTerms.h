#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "model/Equipments.h"
#include "model/RecordFilter.h"

namespace kestrel::cli {

// The filter --where TERMS gives, read as the editor's filter bar reads its
// text (the terms in UTF-8, as the shell hands them over). Says on err why
// when the terms cannot be read.
std::optional<RecordFilter> ReadWhere(const std::string& terms, std::ostream& err);

// The positions (1-based) of the records filter keeps, in list order.
std::vector<Long> PositionsKept(const Equipments& list, const RecordFilter& filter);

}  // namespace kestrel::cli
