#include "storage/SaveIntent.h"

#include <cstdio>
#include <cstring>

#include "storage/FileSystem.h"

namespace kestrel {

namespace {

const char kHeader[] = "KESTREL SAVE 1\n";
const char kEnd[] = "END\n";

void putField(std::string& out, const std::string& text) {
    out += std::to_string(text.size());
    out += ':';
    out += text;
}

// Reads "<length>:<bytes>" at pos.
std::optional<std::string> takeField(std::string_view text, std::size_t& pos) {
    std::size_t colon = text.find(':', pos);
    if (colon == std::string_view::npos || colon == pos || colon - pos > 6)
        return std::nullopt;
    std::size_t length = 0;
    for (std::size_t k = pos; k < colon; ++k) {
        if (text[k] < '0' || text[k] > '9')
            return std::nullopt;
        length = length * 10 + static_cast<std::size_t>(text[k] - '0');
    }
    if (colon + 1 + length > text.size())
        return std::nullopt;
    pos = colon + 1 + length;
    return std::string(text.substr(colon + 1, length));
}

std::optional<std::uint64_t> takeNumber(std::string_view text, std::size_t& pos, int base) {
    std::size_t end = text.find(' ', pos);
    if (end == std::string_view::npos || end == pos || end - pos > 20)
        return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t k = pos; k < end; ++k) {
        char c = text[k];
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : 99;
        if (digit >= base)
            return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    pos = end + 1;
    return value;
}

enum class State { New, TempWhole, Neither };

// Whether entry's new bytes are at its target already, still at its temp,
// or nowhere whole.
State stateOf(FileSystem& fs, const IntentEntry& entry) {
    auto matches = [&](const std::string& path) {
        FileStatus st = fs.status(path, false);
        if (!st.regular() || st.size != entry.size)
            return false;
        auto bytes = fs.readFile(path);
        return bytes && bytes->size() == entry.size && ContentHash(*bytes) == entry.hash;
    };
    if (matches(entry.temp))
        return State::TempWhole;
    if (matches(entry.target))
        return State::New;
    return State::Neither;
}

bool removeIfThere(FileSystem& fs, const std::string& path) {
    return !fs.status(path, false).exists() || fs.remove(path);
}

// The previous contents go back under the target's name: through the temp
// name, so that the target is never absent.
bool restore(FileSystem& fs, const IntentEntry& entry) {
    if (!entry.hadTarget)
        return removeIfThere(fs, entry.target);
    return removeIfThere(fs, entry.temp) &&
           (fs.link(entry.backup, entry.temp) || fs.copyFile(entry.backup, entry.temp)) &&
           fs.rename(entry.temp, entry.target);
}

std::string namesOf(const std::vector<IntentEntry>& entries) {
    std::string names;
    for (const IntentEntry& e : entries)
        names += (names.empty() ? "" : " and ") + e.target;
    return names;
}

}  // namespace

// Eight bytes a step, so that hashing the largest pair costs well under a
// millisecond; it guards against torn and stale files, not against forgery.
std::uint64_t ContentHash(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull ^ bytes.size();
    auto mix = [&hash](std::uint64_t word) {
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
        hash ^= hash >> 29;
    };
    std::size_t k = 0;
    for (; k + 8 <= bytes.size(); k += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + k, 8);
        mix(word);
    }
    std::uint64_t last = 0;
    if (k < bytes.size())
        std::memcpy(&last, bytes.data() + k, bytes.size() - k);
    mix(last);
    return hash;
}

std::string EncodeIntent(const std::vector<IntentEntry>& entries) {
    std::string out = kHeader;
    for (const IntentEntry& e : entries) {
        char numbers[64];
        std::snprintf(numbers, sizeof numbers, "%llu %016llx %d ",
                      static_cast<unsigned long long>(e.size),
                      static_cast<unsigned long long>(e.hash), e.hadTarget ? 1 : 0);
        out += numbers;
        putField(out, e.temp);
        putField(out, e.target);
        putField(out, e.backup);
        out += '\n';
    }
    out += kEnd;
    return out;
}

std::optional<std::vector<IntentEntry>> DecodeIntent(std::string_view text) {
    const std::string_view header = kHeader;
    const std::string_view end = kEnd;
    if (text.substr(0, header.size()) != header)
        return std::nullopt;
    std::size_t pos = header.size();
    std::vector<IntentEntry> entries;
    while (text.substr(pos) != end) {
        IntentEntry e;
        auto size = takeNumber(text, pos, 10);
        auto hash = takeNumber(text, pos, 16);
        auto had = takeNumber(text, pos, 10);
        if (!size || !hash || !had || *had > 1)
            return std::nullopt;
        e.size = *size;
        e.hash = *hash;
        e.hadTarget = *had == 1;
        auto temp = takeField(text, pos);
        auto target = takeField(text, pos);
        auto backup = takeField(text, pos);
        if (!temp || !target || !backup || pos >= text.size() || text[pos] != '\n')
            return std::nullopt;
        ++pos;
        e.temp = *temp;
        e.target = *target;
        e.backup = *backup;
        entries.push_back(std::move(e));
        if (entries.size() > 2)
            return std::nullopt;
    }
    return entries;
}

Recovery RecoverInterruptedSave(const EquipmentFilePaths& paths, bool repair) {
    FileSystem& fs = fileSystem();
    Recovery recovery;
    FileStatus intent = fs.status(paths.intent, false);
    if (!intent.exists())
        return recovery;
    FileHandle lock = fs.openExisting(paths.intent);
    if (lock == kNoHandle) {
        if (!fs.status(paths.intent, false).exists())
            return recovery;
        recovery.outcome = Recovery::Outcome::Failed;
        recovery.message = "the save note " + paths.intent + " cannot be opened";
        return recovery;
    }
    struct Release {
        FileSystem& fs;
        FileHandle file;
        ~Release() { fs.close(file); }
    } release{fs, lock};
    if (!fs.lock(lock, 1000)) {
        recovery.outcome = Recovery::Outcome::InProgress;
        recovery.message = "a save of this pair is in progress";
        return recovery;
    }
    auto text = fs.readFile(paths.intent);
    // Gone while we waited: the save it belonged to has finished.
    if (!text && !fs.status(paths.intent, false).exists())
        return recovery;
    auto entries = text ? DecodeIntent(*text) : std::nullopt;
    if (!repair) {
        recovery.outcome = Recovery::Outcome::Found;
        recovery.message =
            "a save of this pair was interrupted; it is left as it is until the "
            "pair is opened to edit";
        return recovery;
    }
    // Only a whole note is ever renamed into place, so an unreadable one
    // names no file: nothing can have been replaced under it.
    if (!entries) {
        if (!fs.remove(paths.intent)) {
            recovery.outcome = Recovery::Outcome::Failed;
            recovery.message = "the unreadable save note " + paths.intent + " cannot be removed";
            return recovery;
        }
        recovery.outcome = Recovery::Outcome::RolledBack;
        recovery.message = "an unreadable save note was removed; the files are as they were";
        return recovery;
    }

    std::vector<State> states;
    bool whole = true;
    for (const IntentEntry& e : *entries) {
        states.push_back(stateOf(fs, e));
        whole = whole && states.back() != State::Neither;
    }
    bool ok = true;
    std::vector<std::string> folders;
    for (const IntentEntry& e : *entries)
        folders.push_back(FolderOf(e.target).empty() ? "." : FolderOf(e.target));
    if (whole) {
        for (std::size_t k = 0; k < entries->size(); ++k) {
            if (states[k] == State::TempWhole)
                ok = fs.rename((*entries)[k].temp, (*entries)[k].target) && ok;
        }
    } else {
        for (std::size_t k = 0; k < entries->size(); ++k) {
            const IntentEntry& e = (*entries)[k];
            ok = (states[k] != State::New || restore(fs, e)) && ok;
            ok = removeIfThere(fs, e.temp) && ok;
        }
    }
    for (const std::string& folder : folders)
        ok = fs.syncFolder(folder) && ok;
    if (ok)
        ok = fs.remove(paths.intent);
    if (!ok) {
        recovery.outcome = Recovery::Outcome::Failed;
        recovery.message = "an interrupted save of this pair could not be " +
                           std::string(whole ? "completed" : "undone") + "; the save note " +
                           paths.intent + " stays for the next try";
        return recovery;
    }
    if (whole) {
        recovery.outcome = Recovery::Outcome::Completed;
        recovery.message = "an interrupted save of this pair was completed: " + namesOf(*entries) +
                           " hold what was saved";
    } else {
        recovery.outcome = Recovery::Outcome::RolledBack;
        recovery.message = "an interrupted save of this pair was undone: " + namesOf(*entries) +
                           " hold what they held before it";
    }
    return recovery;
}

}  // namespace kestrel
