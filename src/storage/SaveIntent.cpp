#include "storage/SaveIntent.h"

#include <algorithm>
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

// Runs the steps of a recovery to the end, keeping the first that failed so
// that the user learns what is in the way.
class Steps {
public:
    bool ok() const { return mFailed.empty(); }
    const std::string& failed() const { return mFailed; }
    void take(bool done, const std::string& what) {
        if (!done && mFailed.empty())
            mFailed = what;
    }

private:
    std::string mFailed;
};

// The previous contents go back under the target's name: through the temp
// name, so that the target is never absent.
void restore(FileSystem& fs, const IntentEntry& entry, Steps& steps) {
    if (!entry.hadTarget) {
        steps.take(removeIfThere(fs, entry.target), entry.target + " cannot be removed");
        return;
    }
    if (!removeIfThere(fs, entry.temp)) {
        steps.take(false, entry.temp + " cannot be removed");
        return;
    }
    if (!fs.link(entry.backup, entry.temp) && !fs.copyFile(entry.backup, entry.temp)) {
        steps.take(false, "the backup " + entry.backup + " cannot be copied to " + entry.temp);
        return;
    }
    steps.take(fs.rename(entry.temp, entry.target),
               entry.temp + " cannot be renamed to " + entry.target);
}

// A note may come from the other system through a shared folder: its names
// are cut at either separator.
std::string notedName(const std::string& path) {
    std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Letter case aside, as a save run where names are found whatever their
// case may spell the stem otherwise than this process does.
bool sameName(const std::string& noted, const std::string& ours) {
    const std::string name = ours.substr(FolderPartLength(ours));
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const std::string other = notedName(noted);
    return other.size() == name.size() &&
           std::equal(other.begin(), other.end(), name.begin(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

// The note's names are the saving process's own: relative to its current
// folder where it was given a relative path, so not to be followed from
// here. Recovery acts only on this pair's files as this process finds them,
// which the note must name; it gives their sizes and checksums. A note that
// names other files gets none of them removed or replaced.
std::optional<std::vector<IntentEntry>> entriesOfThisPair(const std::vector<IntentEntry>& noted,
                                                          const EquipmentFilePaths& paths) {
    const IntentEntry ours[] = {
        {paths.nameListTemp, paths.nameListTarget, paths.nameListBackup},
        {paths.binaryTemp, paths.binaryTarget, paths.binaryBackup},
    };
    if (noted.size() != 2)
        return std::nullopt;
    std::vector<IntentEntry> entries;
    for (std::size_t k = 0; k < 2; ++k) {
        const IntentEntry& n = noted[k];
        const IntentEntry& o = ours[k];
        if (!sameName(n.temp, o.temp) || !sameName(n.target, o.target) ||
            !sameName(n.backup, o.backup))
            return std::nullopt;
        IntentEntry e = o;
        e.hadTarget = n.hadTarget;
        e.size = n.size;
        e.hash = n.hash;
        entries.push_back(std::move(e));
    }
    return entries;
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

    auto ownEntries = entriesOfThisPair(*entries, paths);
    if (!ownEntries) {
        recovery.outcome = Recovery::Outcome::Failed;
        recovery.message = "the save note " + paths.intent + " does not name the files of " +
                           paths.nameListTarget + " and " + paths.binaryTarget +
                           "; it and every file it names are left as they are";
        return recovery;
    }
    entries = std::move(ownEntries);

    std::vector<State> states;
    bool whole = true;
    for (const IntentEntry& e : *entries) {
        states.push_back(stateOf(fs, e));
        whole = whole && states.back() != State::Neither;
    }
    Steps steps;
    std::vector<std::string> folders;
    for (const IntentEntry& e : *entries)
        folders.push_back(FolderOf(e.target).empty() ? "." : FolderOf(e.target));
    if (whole) {
        for (std::size_t k = 0; k < entries->size(); ++k) {
            const IntentEntry& e = (*entries)[k];
            if (states[k] == State::TempWhole)
                steps.take(fs.rename(e.temp, e.target),
                           e.temp + " cannot be renamed to " + e.target);
        }
    } else {
        for (std::size_t k = 0; k < entries->size(); ++k) {
            const IntentEntry& e = (*entries)[k];
            if (states[k] == State::New)
                restore(fs, e, steps);
            steps.take(removeIfThere(fs, e.temp), e.temp + " cannot be removed");
        }
    }
    for (const std::string& folder : folders)
        steps.take(fs.syncFolder(folder), "the folder " + folder + " cannot be synced");
    if (steps.ok())
        steps.take(fs.remove(paths.intent), "the save note cannot be removed");
    if (!steps.ok()) {
        recovery.outcome = Recovery::Outcome::Failed;
        recovery.message = "an interrupted save of this pair could not be " +
                           std::string(whole ? "completed" : "undone") + " (" + steps.failed() +
                           "); the save note " + paths.intent + " stays for the next try";
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
