// What a release ships beside the programs: the version they print, and the
// man pages and bash completion, which must keep up with what --help lists.

#include <gtest/gtest.h>

#if defined(KESTREL_SOURCE_DIR) && !defined(_WIN32)

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "cli/ToolRunner.h"
#include "model/FieldTable.h"
#include "support/SamplePairs.h"

using namespace kestrel;
using namespace kestrel::testing;

namespace {

const std::string kSource = KESTREL_SOURCE_DIR;

struct Program {
    std::string name;
    std::string path;
};

std::vector<Program> Programs() {
    std::vector<Program> programs{{"kestrel-eqp", KESTREL_EQP_PATH}};
#ifdef KESTREL_EDITOR_PATH
    programs.push_back({"kestrel-editor", KESTREL_EDITOR_PATH});
#endif
    return programs;
}

// Runs a program as from a terminal with no display at all.
ToolResult RunWithoutDisplay(const std::string& program, std::vector<std::string> args) {
    ScopedTempFolder scratch;
    args.insert(args.begin(),
                {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", program});
    return RunTool("/usr/bin/env", args, scratch.path());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Options as help texts and man pages write them: -o, --no-bom, -?.
std::set<std::string> OptionsIn(const std::string& text) {
    static const std::regex option(R"((?:^|[\s\[(|,])(-{1,2}[A-Za-z?][A-Za-z0-9-]*))");
    std::set<std::string> found;
    for (std::sregex_iterator i(text.begin(), text.end(), option), end; i != end; ++i)
        found.insert((*i)[1]);
    return found;
}

// The options a command's help offers: those of its usage lines and those
// its option lines describe, not options of other commands its text names.
std::set<std::string> OfferedOptions(const std::string& help) {
    std::string offered;
    bool usage = false;
    for (const std::string& line : Lines(help)) {
        usage = line.rfind("Usage:", 0) == 0 || (usage && !line.empty());
        if (usage || std::regex_match(line, std::regex(R"(^ +-.*)")))
            offered += line + "\n";
    }
    return OptionsIn(offered);
}

// "--format text|csv" gives {"--format", {"text", "csv"}}.
std::map<std::string, std::set<std::string>> ValuesIn(const std::string& text) {
    static const std::regex valued(R"((--[a-z-]+) ([a-z]+(?:\|[a-z]+)+))");
    std::map<std::string, std::set<std::string>> found;
    for (std::sregex_iterator i(text.begin(), text.end(), valued), end; i != end; ++i) {
        std::string values = (*i)[2];
        std::replace(values.begin(), values.end(), '|', ' ');
        std::istringstream words(values);
        for (std::string w; words >> w;)
            found[(*i)[1]].insert(w);
    }
    return found;
}

bool HasWord(const std::string& text, const std::string& word) {
    auto inWord = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-'; };
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        std::size_t after = at + word.size();
        if ((at == 0 || !inWord(text[at - 1])) && (after == text.size() || !inWord(text[after])))
            return true;
    }
    return false;
}

// A man page's source as its reader sees the words: no escaped hyphens, no
// font changes.
std::string ManText(const std::string& program) {
    std::string text = ReadBytes(kSource + "/man/" + program + ".1.in");
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    return std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
}

// The part of a man page under ".SS <command> ...", up to the next heading.
std::string ManSection(const std::string& man, const std::string& command) {
    std::string section;
    bool in = false;
    for (const std::string& line : Lines(man)) {
        if (line.rfind(".SS", 0) == 0 || line.rfind(".SH", 0) == 0)
            in = line.rfind(".SS \"" + command + " ", 0) == 0;
        else if (in)
            section += line + "\n";
    }
    return section;
}

// The command names of kestrel-eqp's help, from its Commands: list, where a
// line may name several ("  git-textconv, git-merge  what git runs").
std::vector<std::string> HelpCommands(const std::string& help) {
    std::vector<std::string> commands;
    bool in = false;
    static const std::regex entry(R"(^  ([a-z][a-z-]*(?:, [a-z][a-z-]*)*)(?: .*)?$)");
    for (const std::string& line : Lines(help)) {
        std::smatch m;
        if (line == "Commands:") {
            in = true;
        } else if (line.empty()) {
            in = false;
        } else if (in && std::regex_match(line, m, entry)) {
            std::istringstream names(std::regex_replace(m[1].str(), std::regex(","), " "));
            for (std::string name; names >> name;)
                commands.push_back(name);
        }
    }
    return commands;
}

// The words of the completion's `name="..."` assignment whose line begins with
// prefix (after blanks).
std::set<std::string> CompletionWords(const std::string& script, const std::string& prefix,
                                      const std::string& name) {
    std::regex assignment("(^|\\n)[ \\t]*" + prefix + "[^\\n]*\\b" + name + "=\"([^\"]*)\"");
    std::smatch m;
    std::set<std::string> words;
    if (std::regex_search(script, m, assignment)) {
        std::istringstream in(m[2].str());
        for (std::string w; in >> w;)
            words.insert(w);
    }
    return words;
}

std::string Joined(const std::set<std::string>& words) {
    std::string s;
    for (const auto& w : words)
        s += (s.empty() ? "" : " ") + w;
    return s;
}

TEST(Release, BothProgramsPrintTheProjectVersionWithoutADisplay) {
    for (const Program& p : Programs()) {
        SCOPED_TRACE(p.name);
        const ToolResult r = RunWithoutDisplay(p.path, {"--version"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, p.name + " " KESTREL_TEST_VERSION "\n") << r.err;
    }
}

// The changelog and the AppStream release list are written by hand; a version
// bumped in CMake alone would ship notes of the one before.
TEST(Release, ChangelogAndMetainfoNameThisVersionFirst) {
    const std::string changelog = ReadBytes(kSource + "/CHANGELOG.md");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(changelog, m, std::regex(R"(\n## \[([0-9][^\]]*)\] - )")));
    EXPECT_EQ(m[1], KESTREL_TEST_VERSION);
    const std::string metainfo =
        ReadBytes(kSource + "/desktop/org.kestrel.KestrelEditor.metainfo.xml");
    ASSERT_TRUE(std::regex_search(metainfo, m, std::regex(R"(<release version="([^"]*)\")")));
    EXPECT_EQ(m[1], KESTREL_TEST_VERSION);
}

TEST(Release, ManPagesAndCompletionHoldEveryCommandAndOptionOfTheHelp) {
    ScopedTempFolder scratch;
    const std::string toolHelp = RunTool(KESTREL_EQP_PATH, {"--help"}, scratch.path()).out;
    const std::vector<std::string> commands = HelpCommands(toolHelp);
    ASSERT_GE(commands.size(), 4u) << toolHelp;
    const std::string man = ManText("kestrel-eqp");
    const std::string completion = ReadBytes(kSource + "/completion/kestrel-eqp");

    EXPECT_EQ(Joined(CompletionWords(completion, "local", "commands")),
              Joined(std::set<std::string>(commands.begin(), commands.end())));
    // What the first word may be besides a command.
    const std::string firstWords = completion.substr(completion.find("compgen -W \"$commands"));
    for (const std::string& option : OptionsIn(toolHelp)) {
        EXPECT_TRUE(HasWord(man, option)) << option << " is not in kestrel-eqp.1";
        if (option == "--help" || option == "--version") {
            EXPECT_TRUE(HasWord(firstWords.substr(0, firstWords.find('\n')), option))
                << option << " is not completed first";
        }
    }
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const std::string help = RunTool(KESTREL_EQP_PATH, {command, "--help"}, scratch.path()).out;
        const std::string section = ManSection(man, command);
        EXPECT_TRUE(HasWord(man, "kestrel-eqp " + command)) << "not in the synopsis";
        EXPECT_FALSE(section.empty()) << "kestrel-eqp.1 has no section .SS \"" << command;
        const std::set<std::string> completed =
            CompletionWords(completion, command + "\\)", "options");
        for (const std::string& option : OfferedOptions(help)) {
            if (option != "--help") {
                EXPECT_TRUE(HasWord(section, option)) << option << " is not in its man section";
            }
            EXPECT_TRUE(completed.count(option)) << option << " is not completed";
        }
        for (const auto& [option, values] : ValuesIn(help)) {
            const std::string key = "\"" + command + " " + option + "\"";
            const std::size_t at = completion.find(key);
            ASSERT_NE(at, std::string::npos) << key << " has no values in the completion";
            const std::string line = completion.substr(at, completion.find('\n', at) - at);
            for (const std::string& value : values) {
                EXPECT_TRUE(HasWord(line, value)) << option << " " << value << " is not completed";
                EXPECT_TRUE(HasWord(section, value)) << option << " " << value << " not in man";
            }
        }
    }

#ifdef KESTREL_EDITOR_PATH
    const ToolResult editorHelp = RunWithoutDisplay(KESTREL_EDITOR_PATH, {"--help"});
    ASSERT_EQ(editorHelp.status, 0) << editorHelp.err;
    const std::set<std::string> editorOptions = OptionsIn(editorHelp.out);
    EXPECT_GE(editorOptions.size(), 4u) << editorHelp.out;
    const std::string editorMan = ManText("kestrel-editor");
    for (const std::string& option : editorOptions)
        EXPECT_TRUE(HasWord(editorMan, option)) << option << " is not in kestrel-editor.1";
#endif
}

// --fields takes a grid heading or a property name of any field.
TEST(Release, CompletedFieldNamesAreTheFieldsTable) {
    std::set<std::string> names;
    for (int f = 0; f < kFieldCount; ++f) {
        names.insert(fieldName(f));
        names.insert(fieldInfo(f).heading);
    }
    const std::string completion = ReadBytes(kSource + "/completion/kestrel-eqp");
    EXPECT_EQ(Joined(CompletionWords(completion, "local", "fields")), Joined(names));
}

// What bash offers after each command line, in a folder holding two pairs'
// .EQP files (in both letter cases), a text file and two folders.
TEST(Release, BashCompletesCommandsOptionsValuesAndPairs) {
    ScopedTempFolder folder;
    for (const char* file : {"A.EQP", "b.eqp", "notes.txt"})
        WriteBytes(folder / file, "");
    for (const char* sub : {"sub", "my dir"})
        ASSERT_EQ(runCommand("mkdir " + shellQuoted(folder / sub)), 0);
    const std::string pairs = "A.EQP b.eqp my dir sub", files = "A.EQP b.eqp my dir notes.txt sub";
    const struct {
        std::vector<std::string> words;
        std::string offered;  // sorted, one space apart
    } cases[] = {
        {{"ex"}, "export"},
        {{"--v"}, "--version"},
        {{"diff", "--"}, "--by --fields --format --help --no-bom"},
        {{"check", "--format", ""}, "csv text"},
        {{"export", "--format", ""}, "clip csv"},
        {{"diff", "--by", "p"}, "position"},
        {{"diff", "--fields", "SA,Co"}, "SA,Co SA,Country"},
        {{"check", ""}, pairs},
        {{"diff", "A.EQP", "--by", "code", ""}, pairs},
        {{"import", ""}, files},
        {{"import", "in.csv", "--format", "csv", ""}, pairs},
        {{"export", "A.EQP", "-o", ""}, files},
        {{"git-"}, "git-merge git-textconv"},
        {{"diff", "--format", ""}, "changes csv text"},
        {{"apply", ""}, files},
        {{"apply", "x.changes", "--force", ""}, pairs},
        {{"merge", "A.EQP", "sub", "my dir", "--prefer", ""}, "later my dir sub"},
        {{"merge", "A.EQP", "--by", "code", "b.eqp", "-o", ""}, pairs},
        {{"chart", "A.EQP", "--x", "N"}, "N NA NavalAttack NonOrganicTransport"},
        {{"export", "A.EQP", "--where", ""}, ""},
    };
    ScopedTempFolder scratch;
    for (const auto& c : cases) {
        std::string words = "kestrel-eqp";
        for (const auto& w : c.words)
            words += " " + shellQuoted(w);
        SCOPED_TRACE(words);
        const std::string script =
            "source " + shellQuoted(kSource + "/completion/kestrel-eqp") + " && cd " +
            shellQuoted(folder.path()) + " && COMP_WORDS=(" + words +
            ") && COMP_CWORD=" + std::to_string(c.words.size()) +
            " && { _kestrel_eqp; printf '%s\\n' \"${COMPREPLY[@]}\" | LC_ALL=C sort; }";
        const ToolResult r = RunTool("/bin/bash", {"-c", script}, scratch.path());
        EXPECT_EQ(r.status, 0) << r.err;
        std::string offered;
        for (const std::string& line : Lines(r.out))
            offered += (offered.empty() ? "" : " ") + line;
        EXPECT_EQ(offered, c.offered);
        EXPECT_EQ(r.err, "");
    }
}

}  // namespace

#endif
