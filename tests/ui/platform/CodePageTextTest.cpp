#include <gtest/gtest.h>

#include <optional>
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

// Every character of the first plane, alone and inside runs of ASCII long
// enough to be taken several at a time, against the way through UTF-8.
TEST(CodePageText, BackToTheCodePageAsTheCoreGivesIt) {
    const QString run = QStringLiteral("0123456789abcdefg");
    for (char32_t ch = 0; ch <= 0xFFFF; ++ch) {
        const QString one(QChar(static_cast<char16_t>(ch)));
        for (const QString& text : {one, run + one, run + one + run, one + run + run}) {
            // A lone surrogate has no UTF-8; the way through it refuses it as well.
            const std::optional<std::string> expected =
                QChar::isSurrogate(ch) ? std::nullopt
                                       : kestrel::Utf8ToCodePage(text.toUtf8().toStdString());
            ASSERT_EQ(kestrel::ui::ToCodePage(text), expected) << static_cast<unsigned>(ch);
        }
    }
    EXPECT_EQ(kestrel::ui::ToCodePage(QStringLiteral("Tiger \U0001F600")), std::nullopt);
    EXPECT_EQ(kestrel::ui::ToCodePage(QString()), std::string());
    EXPECT_EQ(kestrel::ui::ToCodePage(kestrel::ui::FromCodePage(std::string("a\0\x80\xFF", 4))),
              std::string("a\0\x80\xFF", 4));
}
