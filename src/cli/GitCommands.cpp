#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "cli/Commands.h"
#include "cli/GitCommands.h"
#include "cli/MergeCommand.h"
#include "cli/PairLists.h"
#include "model/EquipmentMerge.h"
#include "model/FieldText.h"
#include "storage/ChangeFileText.h"
#include "storage/FileSystem.h"

#ifdef _WIN32
#define popen _popen
#define pclose _pclose
#endif

extern char** environ;

namespace kestrel::cli {

const char kGitHelp[] =
    "Usage: kestrel-eqp git-textconv FILE\n"
    "       kestrel-eqp git-merge BASE OURS THEIRS PATH\n"
    "\n"
    "What git runs for a pair kept in a repository (the README shows the\n"
    ".gitattributes and git config lines). git-textconv writes an equipment\n"
    "file's records one per line, so that git diff shows which fields changed.\n"
    "git-merge is the merge driver of both files of a pair: it reads the other\n"
    "file's three versions from git, merges the pair as kestrel-eqp merge does\n"
    "(the common ancestor as the base, the two sides as mods) and writes its\n"
    "file's part of the result into OURS, so that the name list follows the\n"
    "records. A conflict is listed and leaves the file for git to mark.\n";

namespace {

std::string shellQuoted(const std::string& s) {
#ifdef _WIN32
    return "\"" + s + "\"";
#else
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
#endif
}

// What a git command writes, when it succeeds.
std::optional<std::string> git(const std::string& arguments) {
    std::FILE* pipe = popen(("git " + arguments + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string output;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    return pclose(pipe) == 0 ? std::optional<std::string>(output) : std::nullopt;
}

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
        s.pop_back();
    return s;
}

// The commit being merged in: git names it in a GITHEAD_ variable while a
// merge runs its drivers, and in MERGE_HEAD afterwards.
std::optional<std::string> theirCommit() {
    for (char** e = environ; e && *e; ++e) {
        const char* entry = *e;
        if (std::strncmp(entry, "GITHEAD_", 8) != 0)
            continue;
        const char* equals = std::strchr(entry, '=');
        if (equals && std::strcmp(equals + 1, "HEAD") != 0)
            return std::string(entry + 8, equals);
    }
    if (auto head = git("rev-parse -q --verify MERGE_HEAD"))
        return trimmed(*head);
    return std::nullopt;
}

bool endsWithIgnoringCase(const std::string& s, const char* tail) {
    std::size_t n = std::strlen(tail);
    if (s.size() < n)
        return false;
    for (std::size_t k = 0; k < n; ++k) {
        char c = s[s.size() - n + k];
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        if (c != tail[k])
            return false;
    }
    return true;
}

// The other file of the pair path belongs to, in the same letter case.
std::string partnerOf(const std::string& path, bool binary) {
    std::string partner = path.substr(0, path.size() - 3);
    const bool lower = path.back() >= 'a' && path.back() <= 'z';
    partner += binary ? (lower ? "txt" : "TXT") : (lower ? "eqp" : "EQP");
    return partner;
}

int gitMerge(const std::vector<std::string>& args, std::ostream& err) {
    if (args.size() != 4)
        throw std::invalid_argument("git-merge takes BASE OURS THEIRS PATH");
    const std::string& path = args[3];
    const bool binary = endsWithIgnoringCase(path, ".EQP");
    if (!binary && !endsWithIgnoringCase(path, ".TXT")) {
        err << "kestrel-eqp: " << path << " is neither an .EQP nor a .TXT file\n";
        return kExitProblems;
    }
    const std::string partner = partnerOf(path, binary);
    auto theirs = theirCommit();
    std::optional<std::string> base;
    if (theirs)
        base = git("merge-base HEAD " + shellQuoted(*theirs));
    if (!theirs || !base) {
        err << "kestrel-eqp: cannot tell which commits git is merging; " << path
            << " is left for you to merge\n";
        return kExitProblems;
    }
    const std::string revisions[3] = {trimmed(*base), "HEAD", *theirs};
    const char* names[3] = {"base", "ours", "theirs"};
    std::vector<Equipments> lists(3);
    for (int v = 0; v < 3; ++v) {
        auto own = fileSystem().readFile(args[static_cast<std::size_t>(v)]);
        auto other = git("cat-file blob " + shellQuoted(revisions[v] + ":" + partner));
        if (!own || !other) {
            err << "kestrel-eqp: cannot read " << names[v] << "'s " << (own ? partner : path)
                << "; " << path << " is left for you to merge\n";
            return kExitProblems;
        }
        const std::string& binaryBytes = binary ? *own : *other;
        const std::string& nameBytes = binary ? *other : *own;
        lists[static_cast<std::size_t>(v)].setDataPath(path);
        if (DecodeEquipmentPair(nameBytes, binaryBytes, lists[static_cast<std::size_t>(v)]) != 0) {
            err << "kestrel-eqp: " << names[v] << "'s pair " << path
                << " does not load; it is left for you to merge\n";
            return kExitProblems;
        }
    }
    EquipmentMerge merge(lists[0], {&lists[1], &lists[2]});
    if (!merge.complete()) {
        const std::vector<std::string> labels = {"base", "ours", "theirs"};
        for (std::size_t c = 0; c < merge.conflicts().size(); ++c)
            err << "kestrel-eqp: " << path << ": "
                << MergeConflictLine(merge, merge.conflicts()[c], labels) << "\n";
        err << "kestrel-eqp: " << path << " is left for you to merge\n";
        return kExitProblems;
    }
    MergedList result = merge.result();
    Equipments merged;
    merged.setDataPath(path);
    merged.AddAll(std::move(result.records));
    merged.setTrailingBytes(path, result.trailingBytes);
    std::string bytes;
    Long refused = binary ? EncodeBinaryFile(merged, bytes) : EncodeNameList(merged, bytes);
    if (refused != 0) {
        err << "kestrel-eqp: " << path << ": the merged record " << refused
            << " cannot be written; the file is left for you to merge\n";
        return kExitProblems;
    }
    if (!fileSystem().writeFile(args[1], bytes, -1)) {
        err << "kestrel-eqp: cannot write " << args[1] << "\n";
        return kExitProblems;
    }
    return kExitOk;
}

int gitTextconv(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1)
        throw std::invalid_argument("git-textconv takes one FILE");
    auto bytes = fileSystem().readFile(args[0]);
    if (!bytes) {
        err << "kestrel-eqp: cannot read " << args[0] << "\n";
        return kExitUnreadable;
    }
    // The names are in the other file; blank ones let the records load alone.
    const std::size_t count = bytes->size() < 2
                                  ? 0
                                  : static_cast<unsigned char>((*bytes)[0]) +
                                        256u * static_cast<unsigned char>((*bytes)[1]);
    std::string names;
    for (std::size_t k = 0; k < count && k <= static_cast<std::size_t>(kMaxRecords); ++k)
        names += "\r\n";
    Equipments list;
    list.setDataPath(args[0]);
    if (DecodeEquipmentPair(names, *bytes, list) != 0) {
        out << "not a whole equipment file: " << bytes->size() << " bytes\n";
        return kExitOk;
    }
    std::int32_t position = 0;
    for (const auto& record : list) {
        out << "record " << ++position << ":";
        for (int f = 0; f < kFieldCount; ++f) {
            if (f == static_cast<int>(Field::EqName))
                continue;
            out << (f == 0 ? " " : ", ") << FieldLabel(f) << " " << ChangeValueText(*record, f);
        }
        out << "\n";
    }
    const std::string& tail = EquipmentMerge::trailingBytesOf(list);
    if (!tail.empty())
        out << "bytes after the last record: " << tail.size() << "\n";
    return kExitOk;
}

}  // namespace

int RunGit(const std::string& command, const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err) {
    return command == "git-merge" ? gitMerge(args, err) : gitTextconv(args, out, err);
}

}  // namespace kestrel::cli
