#include <gtest/gtest.h>

// A POSIX layout: bin/, share/ and the freedesktop databases.
#if defined(KESTREL_CMAKE) && !defined(_WIN32)

#include <unistd.h>

#include "cli/ToolRunner.h"
#include "support/SamplePairs.h"

using namespace kestrel;
using namespace kestrel::testing;

namespace {

bool executable(const std::string& path) {
    return access(path.c_str(), X_OK) == 0;
}

// make install puts the programs on the path and lets a file manager open
// .EQP files with the editor: the desktop entry names the type the MIME
// package defines, and the MIME database built from it maps .EQP to that type.
TEST(MakeInstall, ProgramsDesktopEntryAndEqpFileType) {
    ScopedTempFolder prefix;
    ScopedTempFolder scratch;
    const ToolResult installed = RunTool(
        KESTREL_CMAKE, {"--install", KESTREL_BUILD_DIR, "--prefix", prefix.path()}, scratch.path());
    ASSERT_EQ(installed.status, 0) << installed.out << installed.err;
    EXPECT_TRUE(executable(prefix / "bin/kestrel-editor"));
    EXPECT_TRUE(executable(prefix / "bin/kestrel-eqp"));
    EXPECT_NE(ReadBytes(prefix / "share/icons/hicolor/scalable/apps/kestrel-editor.svg"),
              "<missing>");

    const std::string entry = ReadBytes(prefix / "share/applications/kestrel-editor.desktop");
    const std::string type = "application/x-kestrel-equipment";
    EXPECT_NE(entry.find("\nExec=kestrel-editor %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nMimeType=" + type + ";\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nIcon=kestrel-editor\n"), std::string::npos) << entry;

    const std::string mime = prefix / "share/mime";
    EXPECT_NE(ReadBytes(mime + "/packages/kestrel-editor-mime.xml").find(type), std::string::npos);
    if (!executable("/usr/bin/update-mime-database"))
        GTEST_SKIP() << "update-mime-database is not installed";
    const ToolResult built = RunTool("/usr/bin/update-mime-database", {mime}, scratch.path());
    ASSERT_EQ(built.status, 0) << built.err;
    // Lower-case globs match any letter case, so EQUIP97.EQP is included.
    EXPECT_NE(ReadBytes(mime + "/globs2").find(type + ":*.eqp"), std::string::npos)
        << ReadBytes(mime + "/globs2");
}

}  // namespace

#endif
