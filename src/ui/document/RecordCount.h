#pragma once

#include <QString>
#include <cstdint>

namespace kestrel::ui {

// "3 records", "1 record": how commands and counts name a number of records.
QString RecordCount(std::int64_t count);

}  // namespace kestrel::ui
