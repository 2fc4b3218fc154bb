#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QUndoStack>

#include "ui/desktop/ChangedOnDiskBar.h"
#include "ui/desktop/DesktopFixture.h"
#include "ui/document/Document.h"
#include "ui/mdlGeneral.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

struct ChangedOnDisk : DesktopFixture {
    QString pair;
    void SetUp() override {
        DesktopFixture::SetUp();
        pair = writePair("p", records(4, "Mine"));
        ASSERT_TRUE(window->LoadPair(pair));
    }
    ChangedOnDiskBar& bar() { return *window->findChild<ChangedOnDiskBar*>(); }
    QPushButton* button(const char* name) {
        return bar().findChild<QPushButton*>(QString::fromLatin1(name));
    }
    // Another program saves the pair.
    void otherSaves(const std::vector<Equipment>& list) { WritePair(folder / "p", list); }
    // Gives the watcher's notices time to arrive and settle.
    static void settle() { QTest::qWait(ChangedOnDiskBar::kSettleMs * 3); }
};

TEST_F(ChangedOnDisk, OwnSaveAndATouchShowNothing) {
    edit();
    ASSERT_TRUE(saveTo(pair));
    settle();
    bar().checkNow();
    EXPECT_TRUE(bar().isHidden());

    // Same bytes, a later time.
    const std::string bytes = ReadBytes(pair.toStdString());
    QThread::msleep(20);
    WriteBytes(pair.toStdString(), bytes);
    settle();
    bar().checkNow();
    EXPECT_TRUE(bar().isHidden());
    EXPECT_FALSE(mdlGeneral::document().isModified());
}

TEST_F(ChangedOnDisk, WithoutUnsavedChangesTheListIsReadAgainAndSaysSo) {
    const auto theirs = records(6, "Theirs");
    otherSaves(theirs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bar().isHidden(); }, 5000));
    EXPECT_EQ(listBytes(), pairBytes(theirs));
    EXPECT_FALSE(mdlGeneral::document().isModified());
    EXPECT_TRUE(bar().label()->text().contains(QStringLiteral("read again")));
    EXPECT_TRUE(button("cmdReload")->isHidden());
    button("cmdCloseBar")->click();
    EXPECT_TRUE(bar().isHidden());
}

TEST_F(ChangedOnDisk, WithUnsavedChangesReloadOrKeepMine) {
    const auto theirs = records(6, "Theirs");
    for (const bool reload : {true, false}) {
        SCOPED_TRACE(reload ? "Reload" : "Keep mine");
        ASSERT_TRUE(window->LoadPair(pair));
        edit();
        const std::string mine = listBytes();
        otherSaves(reload ? theirs : records(7, "Again"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !bar().isHidden(); }, 5000));
        EXPECT_EQ(listBytes(), mine) << "nothing is dropped before the user chooses";
        EXPECT_FALSE(button("cmdReload")->isHidden());
        EXPECT_FALSE(button("cmdKeepMine")->isHidden());
        button(reload ? "cmdReload" : "cmdKeepMine")->click();
        EXPECT_TRUE(bar().isHidden());
        if (reload) {
            EXPECT_EQ(listBytes(), pairBytes(theirs));
            EXPECT_FALSE(mdlGeneral::document().isModified());
        } else {
            EXPECT_EQ(listBytes(), mine);
            // Undoing back to what was loaded still differs from the disk.
            mdlGeneral::document().undoStack()->undo();
            EXPECT_TRUE(mdlGeneral::document().isModified());
        }
        settle();
        EXPECT_TRUE(bar().isHidden()) << "the same change is told once";
        promptAnswer = SaveChangesAnswer::Discard;
    }
}

}  // namespace
