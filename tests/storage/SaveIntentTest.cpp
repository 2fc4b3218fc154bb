// The intent file must read back exactly, and a torn or tampered one must
// never pass for a whole one.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/SaveIntent.h"

namespace kestrel {
namespace {

TEST(SaveIntent, ReadsBackAndRefusesEveryTornForm) {
    std::vector<IntentEntry> entries = {
        {"/a b/X.TXX", "/a b/X.TXT", "/a b/X.T", true, 12, ContentHash("names\r\n")},
        {"/c/line\nbreak.TMP", "/c/X.EQP", "/c/X.E", false, 0, ContentHash("")},
    };
    const std::string text = EncodeIntent(entries);
    auto back = DecodeIntent(text);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
        EXPECT_EQ((*back)[k].temp, entries[k].temp);
        EXPECT_EQ((*back)[k].target, entries[k].target);
        EXPECT_EQ((*back)[k].backup, entries[k].backup);
        EXPECT_EQ((*back)[k].hadTarget, entries[k].hadTarget);
        EXPECT_EQ((*back)[k].size, entries[k].size);
        EXPECT_EQ((*back)[k].hash, entries[k].hash);
    }
    // Every prefix is what a crash while writing it would leave.
    for (std::size_t cut = 0; cut < text.size(); ++cut)
        EXPECT_FALSE(DecodeIntent(text.substr(0, cut))) << cut;
    struct Case {
        const char* what;
        std::string text;
    } spoiled[] = {
        {"other header", "KESTREL SAVE 2\n" + text.substr(15)},
        {"bytes after the end", text + "x"},
        {"a length that runs past the end",
         text.substr(0, text.find(':') - 1) + "9" + text.substr(text.find(':'))},
        {"three files", EncodeIntent({entries[0], entries[0], entries[1]})},
    };
    for (const Case& c : spoiled)
        EXPECT_FALSE(DecodeIntent(c.text)) << c.what;
    EXPECT_NE(ContentHash("ab"), ContentHash("ba"));
}

}  // namespace
}  // namespace kestrel
