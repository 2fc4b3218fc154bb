#include "storage/LoadReport.h"

#include "storage/EquipmentFiles.h"

namespace kestrel {

std::string LoadReport::message() const {
    std::string text;
    if (failedAt != 0)
        text = kReadMessage + std::to_string(failedAt);
    for (const LoadFinding& finding : findings) {
        if (!text.empty())
            text += '\n';
        text += finding.message;
    }
    return text;
}

}  // namespace kestrel
