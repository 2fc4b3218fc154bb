#include <vector>

#include "check/Validator.h"
#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"
#include "storage/Messages.h"
#include "storage/SaveIntent.h"

namespace kestrel {

namespace {

std::string folderFor(const std::string& path) {
    std::string folder = FolderOf(path);
    return folder.empty() ? std::string(".") : folder;
}

// The counter alone leaves the user to guess which of 40 values is at fault.
std::string refusals(const Equipments& equipments, Long counter) {
    std::string text;
    for (const Problem& problem : SaveRefusals(equipments, counter))
        text += (text.empty() ? "" : "\n") + FormatProblem(problem);
    return text;
}

// One file of the pair on its way in.
struct Part {
    std::string bytes;
    IntentEntry entry;
    FileStatus previous;  // the file being replaced, links followed
};

// The steps of one save, each undone on the way out unless the save got
// past the point where the intent file finishes it.
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
        result.message = kWriteMessage + std::to_string(counter);
        if (!why.empty())
            result.message += "\n" + why;
        return result;
    }
    bool takeLock(std::string& why);
    bool writeTemp(Part& part);
    bool backUp(Part& part, std::string& why);
    bool removeStale(const std::string& path) {
        return !mFs.status(path, false).exists() || mFs.remove(path);
    }
    void cleanUp();

    FileSystem& mFs;
    const Equipments& mEquipments;
    EquipmentFilePaths mPaths;
    FileHandle mLock = kNoHandle;
    bool mIntentPlaced = false;
    bool mCommitted = false;
    std::vector<std::string> mTemps;
};

void PairSave::cleanUp() {
    if (!mCommitted) {
        for (const std::string& temp : mTemps)
            mFs.remove(temp);
        if (mLock != kNoHandle)
            mFs.remove(mIntentPlaced ? mPaths.intent : mPaths.intentTemp);
    }
    mTemps.clear();
    if (mLock != kNoHandle)
        mFs.close(mLock);
    mLock = kNoHandle;
}

// The lock is the intent file's, taken before any temporary file is
// touched, so that a second save or a load waits for this one.
bool PairSave::takeLock(std::string& why) {
    Recovery recovery = RecoverInterruptedSave(mPaths, true);
    if (recovery.outcome == Recovery::Outcome::InProgress ||
        recovery.outcome == Recovery::Outcome::Failed) {
        why = recovery.message;
        return false;
    }
    // A note left by a save that died before it was complete names nothing
    // that was moved; one still held belongs to a running save.
    if (mFs.status(mPaths.intentTemp, false).exists()) {
        FileHandle stale = mFs.openExisting(mPaths.intentTemp);
        bool held = stale != kNoHandle && !mFs.lock(stale, 0);
        mFs.close(stale);
        if (held) {
            why = "a save of this pair is in progress";
            return false;
        }
        if (!mFs.remove(mPaths.intentTemp)) {
            why = "the leftover " + mPaths.intentTemp + " cannot be removed";
            return false;
        }
    }
    mLock = mFs.createNew(mPaths.intentTemp, kNewFileMode);
    if (mLock == kNoHandle || !mFs.lock(mLock, 0)) {
        if (mLock != kNoHandle)
            mFs.remove(mPaths.intentTemp);
        mFs.close(mLock);
        mLock = kNoHandle;
        why = "the save note " + mPaths.intentTemp + " cannot be created";
        return false;
    }
    return true;
}

// A temporary file is always created anew: a leftover or a link under its
// name is removed, never written through.
bool PairSave::writeTemp(Part& part) {
    const std::string& temp = part.entry.temp;
    if (!removeStale(temp))
        return false;
    unsigned mode = part.previous.regular() ? part.previous.mode : kNewFileMode;
    FileHandle file = mFs.createNew(temp, mode);
    if (file == kNoHandle)
        return false;
    mTemps.push_back(temp);
    bool ok = mFs.write(file, part.bytes) && mFs.sync(file);
    if (ok && part.previous.regular())
        ok = mFs.setOwner(file, part.previous.owner, part.previous.group);
    mFs.close(file);
    return ok;
}

// The previous file becomes the backup without the real name ever being
// absent: a hard link where possible, a copy where not.
bool PairSave::backUp(Part& part, std::string& why) {
    const IntentEntry& e = part.entry;
    if (!e.hadTarget)
        return true;
    why = "the backup " + e.backup + " cannot be made; no file was replaced";
    if (!removeStale(e.backup))
        return false;
    if (!mFs.link(e.target, e.backup) && !mFs.copyFile(e.target, e.backup))
        return false;
    FileStatus made = mFs.status(e.backup, false);
    return made.regular() && made.size == part.previous.size;
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
    if (Long failed = EncodeNameList(mEquipments, names.bytes))
        return fail(failed, refusals(mEquipments, failed));
    if (Long failed = EncodeBinaryFile(mEquipments, binary.bytes))
        return fail(failed, refusals(mEquipments, failed));
    names.entry = {mPaths.nameListTemp, mPaths.nameListTarget, mPaths.nameListBackup};
    binary.entry = {mPaths.binaryTemp, mPaths.binaryTarget, mPaths.binaryBackup};
    for (Part* part : {&names, &binary}) {
        part->previous = mFs.status(part->entry.target, true);
        part->entry.hadTarget = part->previous.exists();
        part->entry.size = part->bytes.size();
        part->entry.hash = ContentHash(part->bytes);
        if (part->previous.exists() && !part->previous.regular())
            return fail(afterLast, part->entry.target + " is not a regular file");
    }

    for (const Part* part : {&names, &binary}) {
        const std::string folder = folderFor(part->entry.target);
        if (mFs.status(folder, true).kind != FileStatus::Kind::Directory)
            return fail(1, "the folder " + folder + " does not exist");
    }
    if (!takeLock(why))
        return fail(1, why);
    if (!writeTemp(names))
        return fail(1, "the new name list " + names.entry.temp + " cannot be written");
    if (!writeTemp(binary))
        return fail(afterLast,
                    "the new equipment file " + binary.entry.temp + " cannot be written");
    if (!backUp(names, why) || !backUp(binary, why))
        return fail(afterLast, why);

    // From the moment the note is in place a load finishes this save.
    std::vector<std::string> folders = {folderFor(names.entry.target)};
    if (folderFor(binary.entry.target) != folders.front())
        folders.push_back(folderFor(binary.entry.target));
    const std::string nothingReplaced = "no file was replaced";
    if (!mFs.write(mLock, EncodeIntent({names.entry, binary.entry})) || !mFs.sync(mLock))
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
                                   "; the old name list is " + names.entry.backup +
                                   "). The next load of this pair completes "
                                   "the save.");
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

}  // namespace kestrel
