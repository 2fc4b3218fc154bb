#include "ui/document/RecordCount.h"

namespace kestrel::ui {

QString RecordCount(std::int64_t count) {
    return count == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(count);
}

}  // namespace kestrel::ui
