#pragma once

#include <cstdint>
#include <vector>

#include "model/Equipment.h"
#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// Take from other: some records of this list get values from another
// pair's records, and records found only there are appended. Each changed
// record keeps its values before and after, so that both ways are exact.
class TakeFromOtherCommand : public ListCommand {
public:
    struct Change {
        std::int32_t position;
        Equipment before;
        Equipment after;
    };

    TakeFromOtherCommand(Document& document, std::vector<Change> changes,
                         std::vector<Equipment> appended, const QString& otherName);

protected:
    void apply() override;
    void revert() override;
    std::int64_t size() const override;

private:
    std::vector<Change> mChanges;
    std::int32_t mAppendAt;
    std::int32_t mAppendCount;
    std::vector<Equipment> mAppended;
};

}  // namespace kestrel::ui
