#include <gtest/gtest.h>

#include <string>

#include "text/CodePage.h"
#include "ui/platform/CodePageText.h"

TEST(CodePageText, EveryByteGivesTheCoreDecodersCharacter) {
    std::string all;
    for (int b = 255; b >= 0; --b)
        all.push_back(static_cast<char>(b));
    const QString text = kestrel::ui::FromCodePage(all);
    EXPECT_EQ(text, QString::fromStdString(kestrel::CodePageToUtf8(all)));
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(kestrel::ui::FromCodePage("\x80\x81 \xE9"), QStringLiteral("\u20AC\u0081 \u00E9"));
}
