// The platform's file layer on its own: names beyond ASCII, read-only files,
// letter case and path separators, through the seam the storage code uses.

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "storage/FileSystem.h"
#include "support/MessageRecorder.h"
#include "support/SamplePairs.h"
#include "vocabulary/LookupTables.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// Names as the system holds them, in UTF-8, whatever the platform's own
// narrow encoding.
std::vector<std::string> onDisk(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::u8path(folder))) {
        auto name = entry.path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool namesIgnoreCase(const std::string& folder) {
    FileSystem& files = fileSystem();
    files.writeFile(folder + "/probe", "", -1);
    bool ignored = files.fileSize(folder + "/PROBE").has_value();
    files.remove(folder + "/probe");
    return ignored;
}

TEST(FileSystem, NamesBeyondAsciiAndWithSpaces) {
    ScopedTempFolder root;
    FileSystem& files = fileSystem();
    const std::string folder = root / "Ironfront II \xC3\xBC\xC3\x9F \xE2\x82\xAC";
    fs::create_directory(fs::u8path(folder));
    const std::string file = folder + "/Neue \xC3\x84nderung.TMP";
    const std::string target = folder + "/\xD0\x96 EQUIP97.EQP";

    ASSERT_TRUE(files.writeFile(file, "abc\r\n", -1));
    EXPECT_EQ(files.readFile(file), "abc\r\n");
    EXPECT_EQ(files.fileSize(file), 5u);
    ASSERT_TRUE(files.rename(file, target));
    ASSERT_TRUE(files.link(target, folder + "/\xC3\xA9.E"));
    ASSERT_TRUE(files.syncFolder(folder));
    EXPECT_EQ(onDisk(folder), (std::vector<std::string>{"\xC3\xA9.E", "\xD0\x96 EQUIP97.EQP"}));
    auto listed = files.listFolder(folder);
    ASSERT_TRUE(listed);
    EXPECT_NE(std::find(listed->begin(), listed->end(), "\xD0\x96 EQUIP97.EQP"), listed->end());
    EXPECT_TRUE(files.remove(target));
    EXPECT_FALSE(files.fileSize(target));
}

// As POSIX lets a rename or unlink go ahead in a writable folder whatever
// the file's mode, and the replacing file carries the mode it was given.
TEST(FileSystem, ReadOnlyFilesAreReplacedAndKeepTheirMode) {
    ScopedTempFolder folder;
    FileSystem& files = fileSystem();
    const std::string real = folder / "EQUIP97.EQP";
    const std::string temp = folder / "EQUIP97.TMP";
    ASSERT_TRUE(files.writeFile(real, "old", 0444));
    ASSERT_EQ(files.fileMode(real).value_or(0) & 0222, 0u);

    ASSERT_TRUE(files.writeFile(temp, "new", static_cast<int>(*files.fileMode(real))));
    ASSERT_TRUE(files.rename(temp, real));
    EXPECT_EQ(files.readFile(real), "new");
    EXPECT_EQ(files.fileMode(real).value_or(0) & 0222, 0u);

    ASSERT_TRUE(files.copyFile(real, folder / "EQUIP97.E"));
    EXPECT_EQ(files.fileMode(folder / "EQUIP97.E").value_or(0) & 0222, 0u);
    EXPECT_TRUE(files.remove(folder / "EQUIP97.E"));
    EXPECT_TRUE(files.remove(real));
    EXPECT_EQ(onDisk(folder.path()), std::vector<std::string>{});
}

TEST(FileSystem, FailuresAreReportedNotThrown) {
    ScopedTempFolder folder;
    FileSystem& files = fileSystem();
    const std::string missing = folder / "missing";
    EXPECT_FALSE(files.readFile(missing));
    EXPECT_FALSE(files.fileSize(missing));
    EXPECT_FALSE(files.fileSize(folder.path()));
    EXPECT_FALSE(files.fileMode(missing));
    EXPECT_FALSE(files.rename(missing, folder / "b"));
    EXPECT_FALSE(files.remove(missing));
    EXPECT_FALSE(files.link(missing, folder / "b"));
    EXPECT_FALSE(files.copyFile(missing, folder / "b"));
    EXPECT_FALSE(files.listFolder(missing));
    EXPECT_FALSE(files.syncFolder(missing));
    EXPECT_FALSE(files.writeFile(folder / "missing/deeper", "x", -1));
    EXPECT_EQ(onDisk(folder.path()), std::vector<std::string>{});
}

#ifdef _WIN32
// Windows hands narrow paths over in its ANSI code page (so does Qt's
// QFile::encodeName); such bytes are not UTF-8 and still name the file.
TEST(FileSystem, AnsiCodePagePaths) {
    char ansi[8] = {};
    BOOL lossy = FALSE;
    int n = ::WideCharToMultiByte(CP_ACP, 0, L"\u00e9", 1, ansi, sizeof ansi, nullptr, &lossy);
    if (n != 1 || lossy || static_cast<unsigned char>(ansi[0]) < 0x80)
        GTEST_SKIP() << "the ANSI code page has no single byte for e acute";
    ScopedTempFolder folder;
    const std::string path = folder / (std::string("caf") + ansi[0] + ".txt");
    ASSERT_TRUE(fileSystem().writeFile(path, "x", -1));
    EXPECT_EQ(onDisk(folder.path()), std::vector<std::string>{"caf\xC3\xA9.txt"});
    EXPECT_EQ(fileSystem().readFile(path), "x");
}
#endif

// Where the system finds names whatever their case, a replaced file keeps
// the spelling it had, and no second file appears beside it.
TEST(FileSystem, ReplacedFilesKeepTheirLetterCase) {
    ScopedTempFolder folder;
    if (!namesIgnoreCase(folder.path()))
        GTEST_SKIP() << "names here are case-sensitive";
    FileSystem& files = fileSystem();
    ASSERT_TRUE(files.writeFile(folder / "equip97.txt", "old", -1));
    ASSERT_TRUE(files.writeFile(folder / "EQUIP97.TXX", "new", -1));
    ASSERT_TRUE(files.rename(folder / "EQUIP97.TXX", folder / "EQUIP97.TXT"));
    EXPECT_EQ(onDisk(folder.path()), std::vector<std::string>{"equip97.txt"});
    EXPECT_EQ(files.readFile(folder / "Equip97.Txt"), "new");
}

TEST(FileSystem, FolderPartOfPaths) {
    struct Case {
        const char* path;
        std::size_t posix;
        std::size_t windows;
    } cases[] = {
        {"/x/y/EQUIP97.EQP", 5, 5},
        {"EQUIP97.EQP", 0, 0},
        {"/EQUIP97.EQP", 1, 1},
        {"x/", 2, 2},
        {"C:\\Ironfront2\\EQUIP97.EQP", 0, 14},
        {"a\\b/c\\EQUIP97.EQP", 4, 6},
    };
#ifdef _WIN32
    const bool windows = true;
#else
    const bool windows = false;
#endif
    for (const Case& c : cases)
        EXPECT_EQ(FolderPartLength(c.path), windows ? c.windows : c.posix) << c.path;

    // A link's target is taken from its own folder unless it is absolute.
    struct Absolute {
        const char* path;
        bool posix;
        bool windows;
    } absolutes[] = {
        {"/x/EQUIP97.EQP", true, true},
        {"EQUIP97.EQP", false, false},
        {"../x", false, false},
        {"C:\\x", false, true},
        {"c:x", false, true},
        {"\\\\server\\share", false, true},
        {"", false, false},
    };
    for (const Absolute& a : absolutes)
        EXPECT_EQ(IsAbsolutePath(a.path), windows ? a.windows : a.posix) << a.path;
}

// The pair a user names with the system's own separators is the pair saved,
// and the folder's name may be anything a user gives it.
TEST(FileSystem, PairSavedThroughNativePathsBeyondAscii) {
    InitLookupTables();
    MessageRecorder messages;
    ScopedTempFolder root;
    const std::string folder = root / "Mods \xC3\xA4 \xE2\x80\x93 Test";
    fs::create_directory(fs::u8path(folder));
#ifdef _WIN32
    std::string native = folder + "/EQUIP97.EQP";
    std::replace(native.begin(), native.end(), '/', '\\');
#else
    const std::string native = folder + "/EQUIP97.EQP";
#endif
    std::mt19937 random(31);
    SamplePair pair = RandomPair(random, 4);
    Equipments e;
    ASSERT_EQ(DecodeEquipmentPair(pair.names, pair.binary, e), 0);
    e.setDataPath(native);
    PutEquipments(e);
    EXPECT_EQ(messages.joined(), "");
    EXPECT_EQ(onDisk(folder),
              (std::vector<std::string>{"EQUIP97.EQP", "EQUIP97.LCK", "EQUIP97.TXT"}));
    EXPECT_EQ(onDisk(root.path()), std::vector<std::string>{"Mods \xC3\xA4 \xE2\x80\x93 Test"});

    Equipments loaded;
    loaded.setDataPath(native);
    GetEquipments(loaded);
    EXPECT_EQ(messages.joined(), "");
    EXPECT_EQ(fileSystem().readFile(folder + "/EQUIP97.EQP"), pair.binary);
    EXPECT_EQ(fileSystem().readFile(folder + "/EQUIP97.TXT"), pair.names);
}

}  // namespace
}  // namespace kestrel
