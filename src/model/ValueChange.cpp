#include "model/ValueChange.h"

#include <charconv>
#include <optional>

#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "model/RecordFilter.h"
#include "model/RecordFormat.h"

namespace kestrel {

bool SettableInBulk(int field) {
    return field >= 0 && field < kFieldCount && field != static_cast<int>(Field::EqName) &&
           field != static_cast<int>(Field::LastPart);
}

std::pair<std::int64_t, std::int64_t> BulkRange(int field) {
    std::size_t words = 0;
    if (WordsOf(fieldInfo(field).words, &words) && field != static_cast<int>(Field::Country))
        return {0, static_cast<std::int64_t>(words) - 1};
    switch (static_cast<Field>(field)) {
        case Field::Country:
            return {0, kMaxCountry};
        case Field::PrestigeCost:
            // The highest cost whose twelfths still round into a byte.
            return {0, kMaxCostByte * kCostStep + kCostStep / 2 - 1};
        case Field::EqCode:
        case Field::UnitSpecial:
        case Field::AttackSound:
        case Field::MoveSound:
        case Field::DeathSound:
            return {0, kMaxTwoByte};
        default:
            return {0, 255};
    }
}

namespace {

std::string trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return std::string(text);
}

std::optional<std::int64_t> whole(std::string_view text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// A factor such as 1.1 or 0,5 as an exact fraction; at most six decimals.
bool readFactor(std::string_view text, ValueChange& change) {
    std::int64_t numerator = 0, denominator = 1;
    bool point = false, digits = false;
    for (char c : text) {
        if ((c == '.' || c == ',') && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            digits = true;
            if (numerator > 1'000'000'000'000 || (point && denominator >= 1'000'000))
                return false;
            numerator = numerator * 10 + (c - '0');
            if (point)
                denominator *= 10;
        } else {
            return false;
        }
    }
    change.numerator = numerator;
    change.denominator = denominator;
    return digits;
}

// value * numerator / denominator, halves to the even neighbour.
std::int64_t scaled(std::int64_t value, std::int64_t numerator, std::int64_t denominator) {
    const __int128 product = static_cast<__int128>(value) * numerator;
    __int128 quotient = product / denominator;
    __int128 remainder = product % denominator;
    if (remainder < 0) {
        remainder += denominator;
        quotient -= 1;
    }
    if (2 * remainder > denominator || (2 * remainder == denominator && quotient % 2 != 0))
        quotient += 1;
    return static_cast<std::int64_t>(quotient);
}

std::string rangeText(int field) {
    auto [low, high] = BulkRange(field);
    return std::to_string(low) + " to " + std::to_string(high);
}

}  // namespace

std::string RangeSentence(int field) {
    const std::string label = FieldLabel(field);
    if (fieldKind(field) == FieldKind::Text)
        return label + " takes up to " + std::to_string(kIconSize) + " characters.";
    if (fieldInfo(field).words != FieldWords::None)
        return label + " takes " + rangeText(field) + ", or one of its words.";
    return label + " takes " + rangeText(field) + ".";
}

ValueChangeRead ReadValueChange(int field, std::string_view typed, BitMode bits) {
    ValueChangeRead read;
    ValueChange& change = read.change;
    change.field = field;
    const std::string text = trimmed(typed);
    if (!SettableInBulk(field)) {
        read.error = std::string(fieldName(field)) + " cannot be set on many records at once.";
        return read;
    }
    if (fieldKind(field) == FieldKind::Text) {
        if (text.size() > kIconSize) {
            read.error = "\"" + text + "\" is longer than the " + std::to_string(kIconSize) +
                         " characters " + fieldName(field) + " can hold.";
        }
        change.kind = ValueChange::Kind::SetText;
        change.text = text;
        return read;
    }
    if (text.empty()) {
        read.error =
            "Type a value for " + std::string(fieldName(field)) + ". " + RangeSentence(field);
        return read;
    }
    if (bits != BitMode::None) {
        std::optional<std::int64_t> bit = whole(text);
        if (field != static_cast<int>(Field::UnitSpecial) || !bit || *bit < 1 || *bit > 16) {
            read.error = "\"" + text + "\" is not a bit number from 1 to 16.";
            return read;
        }
        change.kind =
            bits == BitMode::Set ? ValueChange::Kind::SetBit : ValueChange::Kind::ClearBit;
        change.number = std::int64_t{1} << (*bit - 1);
        return read;
    }
    const char sign = text.front();
    if (sign == '+' || sign == '-') {
        std::optional<std::int64_t> step = whole(std::string_view(text).substr(1));
        if (!step) {
            read.error = "\"" + text + "\" is not a change by a whole number, such as +5. " +
                         RangeSentence(field);
            return read;
        }
        change.kind = ValueChange::Kind::Add;
        change.number = sign == '-' ? -*step : *step;
        return read;
    }
    if (sign == '*') {
        if (!readFactor(std::string_view(text).substr(1), change)) {
            read.error = "\"" + text + "\" is not a factor, such as *1.1. " + RangeSentence(field);
            return read;
        }
        change.kind = ValueChange::Kind::Scale;
        return read;
    }
    std::optional<std::int64_t> value = whole(text);
    if (!value) {
        std::size_t count = 0;
        const std::string* words = WordsOf(fieldInfo(field).words, &count);
        const std::string folded = Folded(text);
        for (std::size_t code = 0; code < count && !value; ++code) {
            if (!words[code].empty() && Folded(words[code]) == folded)
                value = static_cast<std::int64_t>(code);
        }
    }
    if (!value) {
        read.error = "\"" + text + "\" is not " +
                     (fieldInfo(field).words != FieldWords::None ? "a word or code of "
                                                                 : "a whole number for ") +
                     fieldName(field) + ". " + RangeSentence(field);
        return read;
    }
    auto [low, high] = BulkRange(field);
    if (*value < low || *value > high) {
        read.error = std::to_string(*value) + " is outside what " + fieldName(field) +
                     " can hold. " + RangeSentence(field);
        return read;
    }
    change.number = *value;
    return read;
}

BulkResult ApplyValueChange(const ValueChange& change, const Equipments& list,
                            const std::vector<std::int32_t>& positions) {
    BulkResult result;
    const auto [low, high] = BulkRange(change.field);
    for (std::int32_t position : positions) {
        if (position <= 1 || position > list.Count())
            continue;
        // Not Item, which hands out a counted reference per record.
        const Equipment& e = **(list.begin() + (position - 1));
        if (change.kind == ValueChange::Kind::SetText) {
            result.texts.emplace_back(position, change.text);
            continue;
        }
        const std::int64_t old = e.number(change.field);
        std::int64_t now = old;
        switch (change.kind) {
            case ValueChange::Kind::Set:
                now = change.number;
                break;
            case ValueChange::Kind::Add:
                now = old + change.number;
                break;
            case ValueChange::Kind::Scale:
                now = scaled(old, change.numerator, change.denominator);
                break;
            case ValueChange::Kind::SetBit:
                now = old | change.number;
                break;
            case ValueChange::Kind::ClearBit:
                now = old & ~change.number;
                break;
            case ValueChange::Kind::SetText:
                break;
        }
        if (now < low || now > high) {
            result.values.clear();
            result.error = std::string(fieldName(change.field)) + " would be " +
                           std::to_string(now) + " on record " + std::to_string(position) + " \"" +
                           e.EqName() + "\". Nothing was changed. " + RangeSentence(change.field);
            return result;
        }
        result.values.emplace_back(position, now);
    }
    return result;
}

}  // namespace kestrel
