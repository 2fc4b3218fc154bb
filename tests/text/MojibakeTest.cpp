#include <gtest/gtest.h>

#include "text/Mojibake.h"

namespace kestrel {
namespace {

TEST(Mojibake, Utf8ReadAsTheCodePageIsRecognised) {
    const struct {
        const char* bytes;  // code-page bytes
        bool misread;
    } cases[] = {
        {"Char B1 \xC3\xA9", true},  // "é" read as "Ã©"
        {"\xC3\x89"
         "cole \xC3\xA0 l'ouest",
         true},                          // two of them
        {"Tiger \xE2\x80\x94 I", true},  // an em dash as three code-page characters
        {"Tiger I", false},              // nothing above 0x7F
        {"", false},
        {"Char B1 \xE9", false},          // a real é
        {"Sch\xFCtzenpanzer", false},     // a real ü
        {"\xC3", false},                  // a lead byte at the end
        {"\xC3\xA9 \xE9", false},         // one real é among them: a real name
        {"\xC0\xA9", false},              // an overlong form
        {"\xED\xA0\x80", false},          // a surrogate
        {"\xF8\x88\x80\x80\x80", false},  // no such lead byte
        {"\xE2\x80 x", false},            // a sequence cut short
    };
    for (const auto& c : cases)
        EXPECT_EQ(LooksLikeMisreadUtf8(c.bytes), c.misread) << c.bytes;
}

}  // namespace
}  // namespace kestrel
