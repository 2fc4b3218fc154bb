#include <vector>

#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"
#include "storage/Messages.h"
#include "storage/SaveIntent.h"

namespace kestrel {

namespace {

// How long a save waits for another save of the same pair to finish before
// it gives up; long enough for a save of the largest pair on a slow disk.
int gSaveLockWaitMs = 3000;

std::string folderFor(const std::string& path) {
    std::string folder = FolderOf(path);
    return folder.empty() ? std::string(".") : folder;
}

// One file of the pair on its way in.
struct Part {
    std::string bytes;
    IntentEntry entry;
    FileStatus previous;  // the file being replaced, links followed
};

// The steps of one save, each undone on the way out unless the save got
// past the point where the intent file finishes it. Every step runs under
// the pair's lock, so a save only ever removes or renames what it made
// itself, or what a save that died left behind.
class PairSave {
public:
    PairSave(const Equipments& equipments) : mFs(fileSystem()), mEquipments(equipments) {}
    ~PairSave() { cleanUp(); }

    SaveResult run();

private:
    SaveResult fail(Long counter, const std::string& why) {
        cleanUp();
        SaveResult result;
        result.ok = false;
        result.failedAt = counter;
        result.message = kWriteMessage + std::to_string(counter);
        if (!why.empty())
            result.message += "\n" + why;
        return result;
    }
    SaveResult refuse(Long record) {
        SaveResult result = fail(record, "");
        result.refusedRecord = record;
        return result;
    }
    bool takeLock(std::string& why);
    bool clearLeftovers(std::string& why);
    bool writeTemp(Part& part);
    bool copyPrevious(Part& part, std::string& why);
    bool removeStale(const std::string& path) {
        return !mFs.status(path, false).exists() || mFs.remove(path);
    }
    void cleanUp();

    FileSystem& mFs;
    const Equipments& mEquipments;
    EquipmentFilePaths mPaths;
    FileHandle mLock = kNoHandle;
    FileHandle mNote = kNoHandle;
    bool mIntentPlaced = false;
    bool mCommitted = false;
    std::vector<std::string> mMade;
};

void PairSave::cleanUp() {
    if (!mCommitted) {
        for (const std::string& made : mMade)
            mFs.remove(made);
        if (mNote != kNoHandle)
            mFs.remove(mIntentPlaced ? mPaths.intent : mPaths.intentTemp);
    }
    mMade.clear();
    mFs.close(mNote);
    mNote = kNoHandle;
    // The lock file itself stays: see EquipmentFilePaths::lock.
    mFs.close(mLock);
    mLock = kNoHandle;
}

// The pair's lock comes before anything of the save is looked at, so two
// saves never see each other's files half made.
bool PairSave::takeLock(std::string& why) {
    if (std::string problem = NotAFileProblem(mPaths.lock); !problem.empty()) {
        why = problem;
        return false;
    }
    mLock = mFs.openLock(mPaths.lock);
    if (mLock == kNoHandle) {
        why = "the lock file " + mPaths.lock + " cannot be opened";
        return false;
    }
    if (!mFs.lock(mLock, gSaveLockWaitMs)) {
        why = "another save of this pair is under way";
        return false;
    }
    return true;
}

// With the lock held, what a save finds of another is the leftover of one
// that died: its note is finished or undone, its other files removed. An
// earlier copy of the editor, which knows no lock file, holds a lock on its
// note while it saves.
bool PairSave::clearLeftovers(std::string& why) {
    Recovery recovery = RecoverInterruptedSave(mPaths, true, PairLock::Held);
    if (recovery.outcome == Recovery::Outcome::InProgress) {
        why = "another save of this pair is under way";
        return false;
    }
    if (recovery.outcome == Recovery::Outcome::Failed) {
        why = recovery.message;
        return false;
    }
    if (mFs.status(mPaths.intentTemp, false).regular()) {
        FileHandle other = mFs.openExisting(mPaths.intentTemp);
        bool held = other != kNoHandle && !mFs.lock(other, 0);
        mFs.close(other);
        if (held) {
            why = "another save of this pair is under way";
            return false;
        }
    }
    for (const std::string* left : {&mPaths.intentTemp, &mPaths.nameListTemp, &mPaths.binaryTemp,
                                    &mPaths.nameListNextBackup, &mPaths.binaryNextBackup}) {
        if (std::string problem = NotAFileProblem(*left);
            !problem.empty() && mFs.status(*left, false).kind != FileStatus::Kind::Link) {
            why = problem;
            return false;
        }
        // A link planted under a leftover's name goes; its target stays.
        if (!removeStale(*left)) {
            why = "the leftover " + *left + " of an earlier save cannot be removed";
            return false;
        }
    }
    return true;
}

// A temporary file is always created anew, never written through a link.
bool PairSave::writeTemp(Part& part) {
    const std::string& temp = part.entry.temp;
    unsigned mode = part.previous.regular() ? part.previous.mode : kNewFileMode;
    FileHandle file = mFs.createNew(temp, mode);
    if (file == kNoHandle)
        return false;
    mMade.push_back(temp);
    bool ok = mFs.write(file, part.bytes) && mFs.sync(file);
    if (ok && part.previous.regular())
        ok = mFs.setOwner(file, part.previous.owner, part.previous.group);
    mFs.close(file);
    return ok;
}

// The previous file is copied under the next backup's name without the real
// name ever being absent (a hard link where possible, a copy where not), and
// read back: the note records what it holds, so that an undo can prove it
// restores the file the save replaced. The earlier backups stay untouched
// until both copies are made.
bool PairSave::copyPrevious(Part& part, std::string& why) {
    IntentEntry& e = part.entry;
    e.knowsOld = true;
    if (!e.hadTarget)
        return true;
    why = "the backup " + e.nextBackup + " cannot be made; no file was replaced";
    if (!mFs.link(e.target, e.nextBackup) && !mFs.copyFile(e.target, e.nextBackup))
        return false;
    mMade.push_back(e.nextBackup);
    FileStatus made = mFs.status(e.nextBackup, false);
    if (!made.regular() || made.size != part.previous.size)
        return false;
    auto bytes = mFs.readFile(e.nextBackup);
    if (!bytes || bytes->size() != made.size)
        return false;
    e.oldSize = bytes->size();
    e.oldHash = ContentHash(*bytes);
    return true;
}

SaveResult PairSave::run() {
    const Long afterLast = mEquipments.Count() + 1;
    const std::string& dataPath = mEquipments.DataPath();
    if (!IsEquipmentFileName(dataPath)) {
        return fail(1, dataPath + " is not an equipment file: its name must end in .EQP");
    }
    mPaths = PathsFor(dataPath);

    Part names;
    Part binary;
    std::string why;
    // Which values of the record are at fault is the check's to say.
    if (Long failed = EncodeNameList(mEquipments, names.bytes))
        return refuse(failed);
    if (Long failed = EncodeBinaryFile(mEquipments, binary.bytes))
        return refuse(failed);
    names.entry.temp = mPaths.nameListTemp;
    names.entry.target = mPaths.nameListTarget;
    names.entry.backup = mPaths.nameListBackup;
    names.entry.nextBackup = mPaths.nameListNextBackup;
    binary.entry.temp = mPaths.binaryTemp;
    binary.entry.target = mPaths.binaryTarget;
    binary.entry.backup = mPaths.binaryBackup;
    binary.entry.nextBackup = mPaths.binaryNextBackup;
    // A link that leads nowhere would be replaced by a plain file, which is
    // not what its maker meant by it.
    for (const std::string* path : {&mPaths.nameList, &mPaths.binary}) {
        if (std::string problem = LinkProblem(*path); !problem.empty())
            return fail(afterLast, problem);
    }
    for (const Part* part : {&names, &binary}) {
        const std::string folder = folderFor(part->entry.target);
        if (mFs.status(folder, true).kind != FileStatus::Kind::Directory)
            return fail(1, "the folder " + folder + " does not exist");
    }
    if (!takeLock(why) || !clearLeftovers(why))
        return fail(1, why);
    for (Part* part : {&names, &binary}) {
        part->previous = mFs.status(part->entry.target, true);
        part->entry.hadTarget = part->previous.exists();
        part->entry.size = part->bytes.size();
        part->entry.hash = ContentHash(part->bytes);
        if (part->previous.exists() && !part->previous.regular())
            return fail(afterLast, part->entry.target + " is not a regular file");
        // Found now, while nothing is replaced, rather than once the new
        // files are in and the backups cannot follow.
        const std::string& backup = part->entry.backup;
        if (std::string problem = NotAFileProblem(backup);
            !problem.empty() && mFs.status(backup, false).kind != FileStatus::Kind::Link)
            return fail(afterLast, "the backup " + backup + " cannot be made (" + problem +
                                       "); no file was replaced");
    }

    if (!writeTemp(names))
        return fail(1, "the new name list " + names.entry.temp + " cannot be written");
    if (!writeTemp(binary))
        return fail(afterLast,
                    "the new equipment file " + binary.entry.temp + " cannot be written");
    if (!copyPrevious(names, why) || !copyPrevious(binary, why))
        return fail(afterLast, why);

    // From the moment the note is in place a load finishes this save.
    std::vector<std::string> folders = {folderFor(names.entry.target)};
    if (folderFor(binary.entry.target) != folders.front())
        folders.push_back(folderFor(binary.entry.target));
    const std::string nothingReplaced = "no file was replaced";
    mNote = mFs.createNew(mPaths.intentTemp, kNewFileMode);
    // Earlier copies of the editor take a locked note for a save under way.
    if (mNote == kNoHandle || !mFs.lock(mNote, 0))
        return fail(afterLast, "the save note " + mPaths.intentTemp + " cannot be created");
    if (!mFs.write(mNote, EncodeIntent({names.entry, binary.entry})) || !mFs.sync(mNote))
        return fail(afterLast, "the save note cannot be written; " + nothingReplaced);
    for (const std::string& folder : folders) {
        if (!mFs.syncFolder(folder))
            return fail(afterLast,
                        "the folder " + folder + " cannot be synced; " + nothingReplaced);
    }
    if (!mFs.rename(mPaths.intentTemp, mPaths.intent))
        return fail(afterLast, "the save note cannot be put in place; " + nothingReplaced);
    mIntentPlaced = true;
    if (!mFs.syncFolder(folderFor(mPaths.intent)))
        return fail(afterLast, "the folder cannot be synced; " + nothingReplaced);

    if (!mFs.rename(names.entry.temp, names.entry.target))
        return fail(afterLast, "the name list cannot be replaced; " + nothingReplaced);
    mCommitted = true;
    if (!mFs.rename(binary.entry.temp, binary.entry.target)) {
        std::string old = binary.entry.hadTarget ? "the old records" : "nothing";
        return fail(afterLast, names.entry.target + " holds the new names, " + binary.entry.target +
                                   " still " + old + " (the new ones wait in " + binary.entry.temp +
                                   "; the old name list is " + names.entry.nextBackup +
                                   "). The next load of this pair completes "
                                   "the save.");
    }
    // Only now do the copies replace the earlier backups, both together or,
    // after a crash, through the note: a save that fails before here leaves
    // the earlier backups as they were.
    for (const Part* part : {&names, &binary}) {
        const IntentEntry& e = part->entry;
        if (e.hadTarget && !mFs.rename(e.nextBackup, e.backup)) {
            return fail(afterLast, "both files are replaced, but " + e.nextBackup +
                                       " cannot be renamed to " + e.backup +
                                       "; the next load of this pair puts the backups in place");
        }
    }
    bool synced = true;
    for (const std::string& folder : folders)
        synced = mFs.syncFolder(folder) && synced;
    if (!synced) {
        return fail(afterLast,
                    "both files are replaced, but the folder cannot be synced; the "
                    "next load of this pair checks them");
    }
    // A note left here names files that are already in place: the next load
    // only removes it.
    mFs.remove(mPaths.intent);
    cleanUp();
    return SaveResult{};
}

}  // namespace

SaveResult SaveEquipments(const Equipments& equipments) {
    return PairSave(equipments).run();
}

void PutEquipments(const Equipments& equipments) {
    SaveResult result = SaveEquipments(equipments);
    if (!result.ok)
        ReportMessage(result.message);
}

int SetSaveLockWait(int milliseconds) {
    int previous = gSaveLockWaitMs;
    gSaveLockWaitMs = milliseconds;
    return previous;
}

}  // namespace kestrel
