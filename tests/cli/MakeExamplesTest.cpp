// kestrel-make-examples run as the built program.

#include <gtest/gtest.h>

#include "cli/ToolRunner.h"
#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "support/MessageRecorder.h"
#include "support/SamplePairs.h"

namespace kestrel {
namespace {

using testing::RunTool;
using testing::ToolResult;

ToolResult makeExamples(const ScopedTempFolder& tmp, const std::vector<std::string>& args) {
    return RunTool(KESTREL_MAKE_EXAMPLES_PATH, args, tmp.path());
}

TEST(MakeExamples, HelpAndWrongCommandLines) {
    ScopedTempFolder tmp;
    for (const char* help : {"--help", "-h"}) {
        ToolResult r = makeExamples(tmp, {help});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.rfind("Usage: kestrel-make-examples", 0), 0u) << r.out;
    }
    const struct {
        std::vector<std::string> args;
        const char* err;
    } cases[] = {
        {{"--bogus"}, "unknown option --bogus"},
        {{"--records", "10"}, "FOLDER you name"},
        {{"--records", "0", tmp / "x"}, "1 to 32767"},
        {{"--records", "32768", tmp / "x"}, "up to 32767"},
        {{"--records", "-5", tmp / "x"}, "whole number"},
        {{"--records", "12abc", tmp / "x"}, "whole number"},
        {{tmp / "x", "--records"}, "--records needs a value"},
        {{"--seed", "4", tmp / "x"}, "--seed goes with --records"},
        {{"--records", "3", "--seed", "4294967296", tmp / "x"}, "up to 4294967295"},
        {{tmp / "x", tmp / "y"}, "one FOLDER only"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err);
        ToolResult r = makeExamples(tmp, c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Usage:"), std::string::npos);
    }
    EXPECT_EQ(ReadBytes(tmp / "x/EQUIP97.EQP"), "<missing>") << "nothing written when refused";
}

Equipments loaded(const std::string& folder, MessageRecorder& messages) {
    Equipments list;
    list.setDataPath(folder + "/EQUIP97.EQP");
    GetEquipments(list);
    EXPECT_TRUE(messages.messages.empty()) << messages.joined();
    return list;
}

// A generated pair of the largest size loads cleanly, and its seed alone
// decides its bytes.
TEST(MakeExamples, GeneratedPairsOfAnySize) {
    ScopedTempFolder tmp;
    MessageRecorder messages;
    for (int records : {1, 2, 32767}) {
        SCOPED_TRACE(records);
        const std::string n = std::to_string(records);
        ToolResult r = makeExamples(tmp, {"--records", n, "--seed", "7", tmp / ("a" + n)});
        ASSERT_EQ(r.status, 0) << r.err;
        Equipments list = loaded(tmp / ("a" + n), messages);
        ASSERT_EQ(list.Count(), records);
        EXPECT_EQ(list.Item(1)->EqCode(), 0);
        EXPECT_EQ(list.Item(records)->EqCode(), records - 1);
        EXPECT_EQ(RunTool(KESTREL_EQP_PATH, {"check", tmp / ("a" + n)}, tmp.path()).status, 0)
            << "every value is one a save takes and the grid has words for";
    }
    ASSERT_EQ(makeExamples(tmp, {"--seed", "7", "--records", "32767", tmp / "same"}).status, 0);
    ASSERT_EQ(makeExamples(tmp, {"--records", "32767", tmp / "other"}).status, 0);
    const std::string first = ReadBytes(tmp / "a32767/EQUIP97.EQP");
    EXPECT_EQ(ReadBytes(tmp / "same/EQUIP97.EQP"), first);
    EXPECT_EQ(ReadBytes(tmp / "same/EQUIP97.TXT"), ReadBytes(tmp / "a32767/EQUIP97.TXT"));
    EXPECT_NE(ReadBytes(tmp / "other/EQUIP97.EQP"), first);
}

TEST(MakeExamples, TheExamplePairGoesWhereItIsTold) {
    ScopedTempFolder tmp;
    MessageRecorder messages;
    ToolResult r = makeExamples(tmp, {tmp / "new/examples"});
    ASSERT_EQ(r.status, 0) << r.err;
    Equipments list = loaded(tmp / "new/examples", messages);
    ASSERT_EQ(list.Count(), 38);
    EXPECT_EQ(list.Item(1)->EqName(), "Reserved");
}

}  // namespace
}  // namespace kestrel
