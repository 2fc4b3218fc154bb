#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ui/document/ListCommand.h"

namespace kestrel::ui {

// One field set on many records ("Set SA on 312 records"): the old and new
// value of each, so that undo and redo only write the field.
class SetValueCommand : public ListCommand {
public:
    using Numbers = std::vector<std::pair<std::int32_t, std::int64_t>>;
    using Texts = std::vector<std::pair<std::int32_t, std::string>>;

    // A numeric field: news holds (position, new value) pairs.
    SetValueCommand(Document& document, int field, Numbers news);
    // A text field.
    SetValueCommand(Document& document, int field, Texts news);

protected:
    void apply() override;
    void revert() override;
    std::int64_t size() const override {
        return static_cast<std::int64_t>(mNewNumbers.size() + mNewTexts.size());
    }

private:
    void setTexts(const Texts& texts);

    int mField;
    Numbers mOldNumbers, mNewNumbers;
    Texts mOldTexts, mNewTexts;
};

}  // namespace kestrel::ui
