#include "cli/ImportText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>

#include "cli/Shown.h"
#include "model/Equipment.h"
#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"
#include "text/NumberReaders.h"

namespace kestrel::cli {

const char kTooLargeText[] = "the text is larger than 32 MB, more than the largest pair gives";

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kCountLine = 3;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::optional<TextRefusal> refuseCount(std::string_view line) {
    const std::string_view digits = trimmed(line);
    if (!IsPlainWholeNumber(digits))
        return TextRefusal{"the count \"" + ShownValue(line) + "\" is not a whole number",
                           kCountLine};
    if (digits[0] == '-')
        return TextRefusal{"the count " + ShownValue(digits) + " is below 0", kCountLine};
    std::uint64_t count = 0;
    auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), count);
    if (parsed.ec != std::errc() || count > static_cast<std::uint64_t>(kMaxRecords)) {
        return TextRefusal{"the count " + ShownValue(digits) + " is more than the " +
                               std::to_string(kMaxRecords) + " records a pair can hold",
                           kCountLine};
    }
    return std::nullopt;
}

}  // namespace

std::optional<TextRefusal> ClipOpening::look(std::string_view soFar, bool complete) {
    if (mSettled)
        return std::nullopt;
    const std::string_view header(kClipboardHeader);
    const std::size_t compared = std::min(soFar.size(), header.size());
    if (soFar.substr(0, compared) != header.substr(0, compared) ||
        (complete && soFar.size() < header.size())) {
        return TextRefusal{"no header", 1};
    }
    // A CR may end one piece and its LF begin the next, so the last byte
    // is looked at again.
    while (mLineEnds < kCountLine) {
        std::size_t end = soFar.find(kLineEnd, mScanned);
        if (end == std::string_view::npos) {
            mScanned = soFar.empty() ? 0 : soFar.size() - 1;
            // What is missing from a whole text the decoder names.
            if (complete)
                mSettled = true;
            return std::nullopt;
        }
        ++mLineEnds;
        if (mLineEnds == kCountLine) {
            mSettled = true;
            return refuseCount(soFar.substr(mLineStart, end - mLineStart));
        }
        mLineStart = end + kLineEnd.size();
        mScanned = mLineStart;
    }
    return std::nullopt;
}

ImportInput ReadImportInput(const std::string& file, bool clip) {
    ImportInput input;
    ClipOpening opening;
    if (file != "-") {
        BoundedRead read = fileSystem().readBounded(file, kMaxImportBytes, kMaxImportBytes);
        if (read.result == BoundedRead::Result::TooLarge) {
            input.refused = TextRefusal{kTooLargeText, 0};
        } else if (read.result != BoundedRead::Result::Ok) {
            input.unreadable = true;
        } else {
            input.text = std::move(read.bytes);
            if (clip)
                input.refused = opening.look(input.text, true);
        }
        return input;
    }
    // Room for the largest text is set aside once, so that growing never
    // holds two copies; only what arrives is ever touched.
    input.text.reserve(kMaxImportBytes + 1);
    char chunk[1 << 16];
    for (;;) {
        const std::size_t room = kMaxImportBytes + 1 - input.text.size();
        const std::size_t n = std::fread(chunk, 1, std::min(sizeof chunk, room), stdin);
        input.text.append(chunk, n);
        if (input.text.size() > kMaxImportBytes) {
            input.refused = TextRefusal{kTooLargeText, 0};
            break;
        }
        const bool complete = n == 0;
        if (complete && std::ferror(stdin)) {
            input.unreadable = true;
            break;
        }
        if (clip) {
            input.refused = opening.look(input.text, complete);
            if (input.refused)
                break;
        }
        if (complete)
            break;
    }
    if (input.refused || input.unreadable)
        input.text = std::string();
    return input;
}

ClipboardDecodeResult DecodeClipForImport(std::string_view text) {
    ClipboardDecodeResult result;
    auto refuse = [&result](std::string why, int line) {
        result.error = std::move(why);
        result.line = line;
        return std::move(result);
    };
    ClipOpening opening;
    if (auto refused = opening.look(text, true))
        return refuse(refused->why, refused->line);

    std::size_t at = 0;
    int lineNumber = 0;
    // The next line ended by CR LF; false when the text has no more.
    auto nextLine = [&](std::string_view& line) {
        std::size_t end = text.find(kLineEnd, at);
        if (end == std::string_view::npos)
            return false;
        line = text.substr(at, end - at);
        at = end + kLineEnd.size();
        ++lineNumber;
        return true;
    };
    std::string_view line;
    for (int l = 0; l < kCountLine; ++l) {
        if (!nextLine(line))
            return refuse("fewer than three lines", lineNumber + 1);
    }
    std::size_t count = 0;
    const std::string_view digits = trimmed(line);
    std::from_chars(digits.data(), digits.data() + digits.size(), count);

    const std::string mismatch = "line count does not match the record count";
    std::vector<Equipment> records(count);
    std::uint64_t nameListBytes = 0;
    for (std::size_t r = 0; r < count; ++r) {
        Equipment& record = records[r];
        const int firstLine = lineNumber + 1;
        for (int f = 0; f < kFieldCount; ++f) {
            if (!nextLine(line))
                return refuse(mismatch, 0);
            const std::string field = fieldName(f);
            const FieldKind kind = fieldKind(f);
            if (kind == FieldKind::Text) {
                if (line.size() > kMaxNameListBytes) {
                    return refuse(field +
                                      ": the value is larger than 16 MB, more than a pair "
                                      "can hold",
                                  lineNumber);
                }
                if (f == static_cast<int>(Field::EqName)) {
                    nameListBytes += line.size() + kLineEnd.size();
                    if (nameListBytes > kMaxNameListBytes) {
                        return refuse(field +
                                          ": the names add up to more than the 16 MB a name "
                                          "list can hold",
                                      lineNumber);
                    }
                }
                record.setText(f, Text(line));
                continue;
            }
            auto value = ReadWholeNumber(line);
            if (!value)
                return refuse(field + ": \"" + ShownValue(line) + "\" is not a whole number",
                              lineNumber);
            if (kind == FieldKind::Byte && !FitsByte(*value)) {
                return refuse(field + ": " + std::to_string(*value) + " is not between 0 and 255",
                              lineNumber);
            }
            if (!ReadLeadingWholeNumber(line))
                result.rounded.emplace_back(r, f);
            record.setNumber(f, *value);
        }
        if (int f = FieldSplitByCopy(record); f >= 0) {
            return refuse(std::string(fieldName(f)) + " would not copy as one line", firstLine + f);
        }
    }
    if (text.find(kLineEnd, at) != std::string_view::npos)
        return refuse(mismatch, 0);
    result.records = std::move(records);
    return result;
}

}  // namespace kestrel::cli
