#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <optional>

#include "support/FakePrompts.h"
#include "ui/document/Document.h"
#include "ui/list/HelpWindow.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/FileDialog.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/WindowPlaces.h"
#include "ui/properties/frmEquipment.h"
#include "vocabulary/LookupTables.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

struct Places : ::testing::Test {
    std::optional<frmEqs> window;
    void SetUp() override {
        InitLookupTables();
        mdlGeneral::ResetEquipments();
        window.emplace();
    }
    void TearDown() override {
        delete mdlGeneral::propertiesWindow();
        window.reset();
        mdlGeneral::ResetEquipments();
    }
};

TEST_F(Places, FirstSizeIsRoomyAndWindowPlacesAreRememberedBetweenStarts) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Roomy, on the screen, and leaving room for the properties window.
    EXPECT_GE(window->width(), screen.width() / 2);
    EXPECT_GE(window->height(), screen.height() * 3 / 4);
    EXPECT_TRUE(screen.contains(window->geometry()));
    // Every button of the strip is inside the window.
    for (QToolButton* button : window->findChildren<QToolButton*>()) {
        if (screen.width() >= 720) {
            EXPECT_LE(button->mapTo(window.operator->(), QPoint(button->width(), 0)).x(),
                      window->width())
                << button->objectName().toStdString();
        }
    }

    window->show();
    // Room beside it on a screen wide enough; on a narrow one the spot that
    // covers the grid least.
    // No narrower than the window allows: its strip of buttons stays whole.
    const QSize mainSize(std::max(window->minimumSizeHint().width(), screen.width() - 700),
                         screen.height() / 2);
    window->setGeometry(QRect(screen.topLeft() + QPoint(10, 40), mainSize));
    mdlGeneral::document().insertRecords(1, {Equipment(), Equipment()});
    window->UnitList().setRow(2);
    mdlGeneral::ShowEquipmentDetails();
    frmEquipment* properties = mdlGeneral::propertiesWindow();
    ASSERT_NE(properties, nullptr);
    const QRect grid(window->UnitList().mapToGlobal(QPoint(0, 0)), window->UnitList().size());
    // Within the frame's few pixels, which the window system adds on showing.
    const QPoint spot =
        BesideSpot(window->frameGeometry(), properties->frameGeometry().size(), screen, grid)
            .topLeft();
    EXPECT_LE((properties->pos() - spot).manhattanLength(), 16);
    if (screen.width() >= window->frameGeometry().width() + properties->width() + 40) {
        EXPECT_FALSE(properties->frameGeometry().intersects(grid));
    }
    // Somewhere else that the window fits in whole.
    properties->move(
        screen.topLeft() +
        QPoint(30, std::max(0, screen.height() - properties->frameGeometry().height()) / 2));
    const QPoint propertiesAt = properties->pos();
    properties->close();
    window->close();

    window.reset();
    window.emplace();
    EXPECT_EQ(window->size(), mainSize);
    window->show();
    window->UnitList().setRow(1);
    mdlGeneral::ShowEquipmentDetails();
    ASSERT_NE(mdlGeneral::propertiesWindow(), nullptr);
    EXPECT_EQ(mdlGeneral::propertiesWindow()->pos(), propertiesAt);

    // A place remembered partly below the screen's edge opens wholly on it.
    mdlGeneral::propertiesWindow()->move(screen.left() + 30, screen.bottom() - 60);
    mdlGeneral::propertiesWindow()->close();
    window->UnitList().setRow(2);
    mdlGeneral::ShowEquipmentDetails();
    ASSERT_NE(mdlGeneral::propertiesWindow(), nullptr);
    EXPECT_TRUE(screen.contains(mdlGeneral::propertiesWindow()->frameGeometry()));
}

// A second list window, of this copy of the editor or another, opens one
// title bar lower and to the right while the first holds its place; the
// place is free again once that window is gone.
TEST_F(Places, ASecondListWindowOpensOffsetFromTheFirst) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint first = window->pos();
    QPoint step;
    {
        frmEqs second;
        step = second.pos() - first;
        EXPECT_GT(step.x(), 0);
        EXPECT_EQ(step.x(), step.y());
        EXPECT_TRUE(screen.contains(second.frameGeometry()));
        frmEqs third;
        EXPECT_EQ(third.pos() - first, 2 * step);
    }
    frmEqs again;
    EXPECT_EQ(again.pos() - first, step);
}

TEST_F(Places, BesideSpotClearsTheGridOrCoversItLeast) {
    const QRect screen(0, 0, 1600, 1000);
    const QSize size(560, 600);
    struct Case {
        QRect main;
        QPoint expected;
    };
    const Case cases[] = {
        {QRect(0, 50, 1000, 800), QPoint(1008, 50)},  // right of the main window
        {QRect(600, 50, 1000, 800), QPoint(32, 50)},  // left, no room on the right
        {QRect(0, 700, 1600, 100), QPoint(0, 100)},   // the top, clear of it
        {QRect(0, 0, 1600, 1000), QPoint(1040, 0)},   // no room anywhere: the right edge
    };
    for (const Case& c : cases) {
        QRect grid = c.main.adjusted(0, 40, 0, 0);
        QRect spot = BesideSpot(c.main, size, screen, grid);
        EXPECT_TRUE(screen.contains(spot)) << c.main.x();
        if (c.expected != QPoint(0, 100))
            EXPECT_EQ(spot.topLeft(), c.expected) << c.main.x();
        else
            EXPECT_FALSE(spot.intersects(grid));
    }
}

TEST_F(Places, TheLastFolderOfTheFileDialogIsRemembered) {
    QTemporaryDir dir;
    kestrel_test::FakePrompts fake;
    fake.onFileName = [&](bool, const QString&) -> std::optional<QString> {
        return dir.filePath(QStringLiteral("missing.EQP"));
    };
    window->cmdLoad_Click();
    window.reset();
    window.emplace();
    EXPECT_EQ(window->cd1().InitDir, dir.path());
}

TEST_F(Places, TheGridReachesTheStatusBarAndTheStatusBarTheBottom) {
    window->show();
    for (QSize size : {QSize(900, 600), QSize(500, 300), QSize(1400, 900)}) {
        window->resize(size);
        QStatusBar* bar = window->statusBar();
        EXPECT_EQ(bar->geometry().bottom(), window->height() - 1);
        // In the window's coordinates: the menu bar stands above the grid's area.
        const QRect grid(window->UnitList().mapTo(&*window, QPoint(0, 0)),
                         window->UnitList().size());
        EXPECT_EQ(grid.bottom() + 1, bar->geometry().top());
        EXPECT_EQ(grid.right(), window->width() - 1);
    }
}

// A message box: its whole title readable and its buttons with Alt keys.
TEST_F(Places, MessageBoxesKeepTheirTitleAndHaveAltKeys) {
    std::optional<QStringList> buttons;
    int width = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        buttons.emplace();
        for (QAbstractButton* b : box->buttons())
            buttons->push_back(b->text());
        width = box->width();
        box->reject();
    });
    // The real box, not the fake every other test answers with.
    DialogPrompts dialogs;
    EXPECT_EQ(dialogs.saveChanges(window.operator->(), QStringLiteral("Save changes?"),
                                  SaveChangesAnswer::Save),
              SaveChangesAnswer::Cancel);
    ASSERT_TRUE(buttons.has_value());
    EXPECT_TRUE(buttons->contains(QStringLiteral("&Save")));
    EXPECT_TRUE(buttons->contains(QStringLiteral("&Discard")));
    EXPECT_GE(width, QFontMetrics(QApplication::font()).horizontalAdvance(kAppTitle) + 160);
}

TEST_F(Places, F1AndTheLastStripButtonOpenHelpAndHelpReachesAbout) {
    window->show();
    QApplication::setActiveWindow(window.operator->());
    auto* help = window->findChild<QToolButton*>(QStringLiteral("cmdHelp"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(window->findChild<QToolButton*>(QStringLiteral("cmdRedo"))->nextInFocusChain(), help);
    EXPECT_EQ(help->text(), QStringLiteral("?"));
    QTest::keyClick(window.operator->(), Qt::Key_F1);
    auto* helpWindow = window->findChild<HelpWindow*>();
    ASSERT_NE(helpWindow, nullptr);
    EXPECT_TRUE(helpWindow->isVisible());
    helpWindow->close();
    help->click();
    EXPECT_TRUE(helpWindow->isVisible());
    EXPECT_NE(helpWindow->findChild<QPushButton*>(QStringLiteral("cmdAbout")), nullptr);
    EXPECT_TRUE(AboutText().contains(QStringLiteral(KESTREL_TEST_VERSION)));
    EXPECT_TRUE(AboutText().contains(QStringLiteral("MIT")));
}

}  // namespace
