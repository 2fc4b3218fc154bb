#include "storage/SaveIntent.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "storage/FileSystem.h"

namespace kestrel {

namespace {

const char kFirstHeader[] = "KESTREL SAVE 1\n";
const char kHeader[] = "KESTREL SAVE 2\n";
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

// Whether path holds a regular file of exactly size bytes whose checksum is
// hash: the only proof recovery takes that a file is the one the note means.
bool holds(FileSystem& fs, const std::string& path, std::uint64_t size, std::uint64_t hash) {
    if (path.empty())
        return false;
    FileStatus st = fs.status(path, false);
    if (!st.regular() || st.size != size)
        return false;
    auto bytes = fs.readFile(path);
    return bytes && bytes->size() == size && ContentHash(*bytes) == hash;
}

bool holdsNew(FileSystem& fs, const std::string& path, const IntentEntry& e) {
    return holds(fs, path, e.size, e.hash);
}

bool holdsOld(FileSystem& fs, const std::string& path, const IntentEntry& e) {
    return e.knowsOld && e.hadTarget && holds(fs, path, e.oldSize, e.oldHash);
}

bool removeIfThere(FileSystem& fs, const std::string& path) {
    return path.empty() || !fs.status(path, false).exists() || fs.remove(path);
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

// The previous contents go back under the target's name from a copy proven
// to hold them: through the temp name, so that the target is never absent.
void restore(FileSystem& fs, const IntentEntry& entry, const std::string& from, Steps& steps) {
    if (!removeIfThere(fs, entry.temp)) {
        steps.take(false, entry.temp + " cannot be removed");
        return;
    }
    if (!fs.link(from, entry.temp) && !fs.copyFile(from, entry.temp)) {
        steps.take(false, "the backup " + from + " cannot be copied to " + entry.temp);
        return;
    }
    steps.take(fs.rename(entry.temp, entry.target),
               entry.temp + " cannot be renamed to " + entry.target);
}

std::string fileName(const std::string& path) {
    return path.substr(FolderPartLength(path));
}

// What one name of a save holds, for a message that lets the user sort the
// files out by hand.
std::string describe(FileSystem& fs, const std::string& path, const IntentEntry& e) {
    if (path.empty())
        return std::string();
    FileStatus st = fs.status(path, false);
    std::string what;
    if (!st.exists())
        return std::string();
    if (holdsNew(fs, path, e))
        what = "the saved file";
    else if (holdsOld(fs, path, e))
        what = "the file before the save";
    else if (!st.regular())
        what = "no regular file";
    else
        what = "other contents";
    return fileName(path) + ": " + what;
}

std::string foundFiles(FileSystem& fs, const std::vector<IntentEntry>& entries) {
    std::string text;
    for (const IntentEntry& e : entries) {
        for (const std::string* path : {&e.target, &e.temp, &e.nextBackup, &e.backup}) {
            std::string d = describe(fs, *path, e);
            if (!d.empty())
                text += (text.empty() ? "" : "; ") + d;
        }
    }
    return text.empty() ? "none of its files" : text;
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
    IntentEntry ours[2];
    ours[0].temp = paths.nameListTemp;
    ours[0].target = paths.nameListTarget;
    ours[0].backup = paths.nameListBackup;
    ours[0].nextBackup = paths.nameListNextBackup;
    ours[1].temp = paths.binaryTemp;
    ours[1].target = paths.binaryTarget;
    ours[1].backup = paths.binaryBackup;
    ours[1].nextBackup = paths.binaryNextBackup;
    if (noted.size() != 2)
        return std::nullopt;
    std::vector<IntentEntry> entries;
    for (std::size_t k = 0; k < 2; ++k) {
        const IntentEntry& n = noted[k];
        const IntentEntry& o = ours[k];
        if (!sameName(n.temp, o.temp) || !sameName(n.target, o.target) ||
            !sameName(n.backup, o.backup) || (n.knowsOld && !sameName(n.nextBackup, o.nextBackup)))
            return std::nullopt;
        IntentEntry e = o;
        e.hadTarget = n.hadTarget;
        e.size = n.size;
        e.hash = n.hash;
        e.knowsOld = n.knowsOld;
        e.oldSize = n.oldSize;
        e.oldHash = n.oldHash;
        if (!e.knowsOld)
            e.nextBackup.clear();
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
        char numbers[128];
        std::snprintf(numbers, sizeof numbers, "%llu %016llx %d %llu %016llx ",
                      static_cast<unsigned long long>(e.size),
                      static_cast<unsigned long long>(e.hash), e.hadTarget ? 1 : 0,
                      static_cast<unsigned long long>(e.oldSize),
                      static_cast<unsigned long long>(e.oldHash));
        out += numbers;
        putField(out, e.temp);
        putField(out, e.target);
        putField(out, e.backup);
        putField(out, e.nextBackup);
        out += '\n';
    }
    out += kEnd;
    return out;
}

std::optional<std::vector<IntentEntry>> DecodeIntent(std::string_view text) {
    const std::string_view end = kEnd;
    // The first version, written by earlier copies of the editor, knows
    // nothing of the previous files.
    bool second = text.substr(0, std::strlen(kHeader)) == kHeader;
    if (!second && text.substr(0, std::strlen(kFirstHeader)) != kFirstHeader)
        return std::nullopt;
    std::size_t pos = std::strlen(second ? kHeader : kFirstHeader);
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
        if (second) {
            auto oldSize = takeNumber(text, pos, 10);
            auto oldHash = takeNumber(text, pos, 16);
            if (!oldSize || !oldHash)
                return std::nullopt;
            e.knowsOld = true;
            e.oldSize = *oldSize;
            e.oldHash = *oldHash;
        }
        auto temp = takeField(text, pos);
        auto target = takeField(text, pos);
        auto backup = takeField(text, pos);
        auto nextBackup = second ? takeField(text, pos) : std::optional<std::string>("");
        if (!temp || !target || !backup || !nextBackup || pos >= text.size() || text[pos] != '\n')
            return std::nullopt;
        ++pos;
        e.temp = *temp;
        e.target = *target;
        e.backup = *backup;
        e.nextBackup = *nextBackup;
        entries.push_back(std::move(e));
        if (entries.size() > 2)
            return std::nullopt;
    }
    return entries;
}

Recovery RecoverInterruptedSave(const EquipmentFilePaths& paths, bool repair, PairLock pairLock) {
    FileSystem& fs = fileSystem();
    Recovery recovery;
    auto say = [&recovery](Recovery::Outcome outcome, std::string message) {
        recovery.outcome = outcome;
        recovery.message = std::move(message);
        return recovery;
    };
    FileStatus intent = fs.status(paths.intent, false);
    if (!intent.exists())
        return recovery;
    if (std::string why = NotAFileProblem(paths.intent); !why.empty())
        return say(Recovery::Outcome::Failed, why);

    struct Release {
        FileSystem& fs;
        std::vector<FileHandle> files;
        ~Release() {
            for (FileHandle file : files)
                fs.close(file);
        }
    } release{fs, {}};
    // A repair writes, so it takes the pair's lock like a save; a look only
    // asks whether a save holds it, and never makes the lock file.
    if (pairLock == PairLock::Take && (repair || fs.status(paths.lock, false).exists())) {
        if (std::string why = NotAFileProblem(paths.lock); !why.empty())
            return say(Recovery::Outcome::Failed, why);
        FileHandle lock = repair ? fs.openLock(paths.lock) : fs.openExisting(paths.lock);
        if (lock == kNoHandle)
            return say(Recovery::Outcome::Failed,
                       "the lock file " + paths.lock + " cannot be opened");
        release.files.push_back(lock);
        if (!fs.lock(lock, 1000))
            return say(Recovery::Outcome::InProgress, "a save of this pair is in progress");
    }
    // Earlier copies of the editor lock the note itself while they save.
    FileHandle noteLock = fs.openExisting(paths.intent);
    if (noteLock == kNoHandle) {
        if (!fs.status(paths.intent, false).exists())
            return recovery;
        return say(Recovery::Outcome::Failed,
                   "the save note " + paths.intent + " cannot be opened");
    }
    release.files.push_back(noteLock);
    if (!fs.lock(noteLock, 1000))
        return say(Recovery::Outcome::InProgress, "a save of this pair is in progress");
    auto text = fs.readFile(paths.intent);
    // Gone while we waited: the save it belonged to has finished.
    if (!text && !fs.status(paths.intent, false).exists())
        return recovery;
    auto entries = text ? DecodeIntent(*text) : std::nullopt;
    if (!repair) {
        return say(Recovery::Outcome::Found,
                   "a save of this pair was interrupted; it is left as it is until the "
                   "pair is opened to edit");
    }
    // Only a whole note is ever renamed into place, so an unreadable one
    // names no file: nothing can have been replaced under it.
    if (!entries) {
        if (!fs.remove(paths.intent))
            return say(Recovery::Outcome::Failed,
                       "the unreadable save note " + paths.intent + " cannot be removed");
        return say(Recovery::Outcome::RolledBack,
                   "an unreadable save note was removed; the files are as they were");
    }

    auto ownEntries = entriesOfThisPair(*entries, paths);
    if (!ownEntries) {
        return say(Recovery::Outcome::Failed,
                   "the save note " + paths.intent + " does not name the files of " +
                       paths.nameListTarget + " and " + paths.binaryTarget +
                       "; it and every file it names are left as they are");
    }
    entries = std::move(ownEntries);

    bool whole = true;
    for (const IntentEntry& e : *entries)
        whole = whole && (holdsNew(fs, e.temp, e) || holdsNew(fs, e.target, e));

    // An undo replaces a saved file only with a copy proven to hold what the
    // save replaced; where one is missing, nothing at all is touched.
    std::vector<std::string> sources(entries->size());
    if (!whole) {
        for (std::size_t k = 0; k < entries->size(); ++k) {
            const IntentEntry& e = (*entries)[k];
            // A file saved unchanged holds the old bytes as well as the new.
            if (!e.hadTarget || !holdsNew(fs, e.target, e) || holdsOld(fs, e.target, e))
                continue;
            if (holdsOld(fs, e.nextBackup, e))
                sources[k] = e.nextBackup;
            else if (holdsOld(fs, e.backup, e))
                sources[k] = e.backup;
            else
                return say(Recovery::Outcome::Failed,
                           "an interrupted save of this pair can be neither completed nor "
                           "undone: no copy holds what " +
                               e.target + " held before it. Found: " + foundFiles(fs, *entries) +
                               ". Nothing was changed; the save note " + paths.intent + " stays");
        }
    }

    Steps steps;
    std::vector<std::string> folders;
    for (const IntentEntry& e : *entries)
        folders.push_back(FolderOf(e.target).empty() ? "." : FolderOf(e.target));
    for (std::size_t k = 0; steps.ok() && k < entries->size(); ++k) {
        const IntentEntry& e = (*entries)[k];
        if (whole) {
            if (holdsNew(fs, e.temp, e))
                steps.take(fs.rename(e.temp, e.target),
                           e.temp + " cannot be renamed to " + e.target);
            continue;
        }
        if (holdsNew(fs, e.target, e) && !holdsOld(fs, e.target, e)) {
            if (e.hadTarget)
                restore(fs, e, sources[k], steps);
            else
                steps.take(fs.remove(e.target), e.target + " cannot be removed");
        }
        steps.take(removeIfThere(fs, e.temp), e.temp + " cannot be removed");
    }
    // The backups change only as a pair: the copies of the previous files
    // replace them together once the save is complete (or once one of them
    // has), and are dropped where the save is undone before that.
    bool backupsMoving = whole;
    for (const IntentEntry& e : *entries) {
        if (e.hadTarget && !e.nextBackup.empty() && !fs.status(e.nextBackup, false).exists() &&
            holdsOld(fs, e.backup, e))
            backupsMoving = true;
    }
    for (const IntentEntry& e : *entries) {
        if (!steps.ok() || e.nextBackup.empty() || !fs.status(e.nextBackup, false).exists())
            continue;
        if (backupsMoving && holdsOld(fs, e.nextBackup, e))
            steps.take(fs.rename(e.nextBackup, e.backup),
                       e.nextBackup + " cannot be renamed to " + e.backup);
        else
            steps.take(fs.remove(e.nextBackup), e.nextBackup + " cannot be removed");
    }
    for (const std::string& folder : folders)
        steps.take(fs.syncFolder(folder), "the folder " + folder + " cannot be synced");
    if (steps.ok())
        steps.take(fs.remove(paths.intent), "the save note cannot be removed");
    if (!steps.ok()) {
        return say(Recovery::Outcome::Failed, "an interrupted save of this pair could not be " +
                                                  std::string(whole ? "completed" : "undone") +
                                                  " (" + steps.failed() + "); the save note " +
                                                  paths.intent + " stays for the next try");
    }
    if (whole)
        return say(Recovery::Outcome::Completed,
                   "an interrupted save of this pair was completed: " + namesOf(*entries) +
                       " hold what was saved");
    return say(Recovery::Outcome::RolledBack,
               "an interrupted save of this pair was undone: " + namesOf(*entries) +
                   " hold what they held before it");
}

}  // namespace kestrel
