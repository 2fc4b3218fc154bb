#include <gtest/gtest.h>

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "ui/desktop/DesktopFixture.h"
#include "ui/desktop/PairDrop.h"
#include "ui/desktop/RecentPairs.h"
#include "ui/document/Document.h"
#include "ui/mdlGeneral.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

struct LoadMenu : DesktopFixture {
    void SetUp() override {
        QSettings().remove(QStringLiteral("recentPairs"));
        DesktopFixture::SetUp();
    }
    QMenu* menu() {
        auto* load = window->findChild<QToolButton*>(QStringLiteral("cmdLoad"));
        QMenu* m = load->menu();
        emit m->aboutToShow();
        return m;
    }
    // The recent entries of the menu: (path, enabled).
    std::vector<std::pair<QString, bool>> recent() {
        std::vector<std::pair<QString, bool>> out;
        for (QAction* a : menu()->actions()) {
            if (a->objectName().startsWith(QLatin1String("mnuRecent")))
                out.emplace_back(a->data().toString(), a->isEnabled());
        }
        return out;
    }
};

TEST(RecentPairList, NewestFirstWithoutRepeatsAndAtMostEight) {
    const QString a = QStringLiteral("/p/a/EQUIP97.EQP");
    const QString b = QStringLiteral("/p/b/EQUIP97.EQP");
    struct Case {
        const char* what;
        QStringList before;
        QString added;
        QStringList after;
    };
    QStringList nine, eightNewest;
    for (int i = 0; i < 9; ++i)
        nine << QStringLiteral("/p/%1/EQUIP97.EQP").arg(i);
    eightNewest << a;
    for (int i = 0; i < 7; ++i)
        eightNewest << nine[i];
    const Case cases[] = {
        {"into an empty list", {}, a, {a}},
        {"newest first", {a}, b, {b, a}},
        {"a repeat moves up", {b, a}, a, {a, b}},
        {"a path spelled otherwise is the same",
         {a},
         QStringLiteral("/p/b/../a/./EQUIP97.EQP"),
         {a}},
        {"the oldest drops out", nine.mid(0, 8), a, eightNewest},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithRecentPair(c.before, c.added), c.after) << c.what;
}

TEST_F(LoadMenu, ListsLoadedAndSavedPairsNewestFirstAndGreysMissingOnes) {
    EXPECT_TRUE(recent().empty());
    const QString a = writePair("a", records(3, "A"));
    const QString b = writePair("b", records(4, "B"));
    ASSERT_TRUE(window->LoadPair(a));
    ASSERT_TRUE(window->LoadPair(b));
    const QString c = QString::fromStdString(folder / "c/EQUIP97.EQP");
    QDir().mkpath(QString::fromStdString(folder / "c"));
    ASSERT_TRUE(saveTo(c));
    using Entry = std::pair<QString, bool>;
    EXPECT_EQ(recent(), (std::vector<Entry>{{c, true}, {b, true}, {a, true}}));

    QFile::remove(b);
    EXPECT_EQ(recent(), (std::vector<Entry>{{c, true}, {b, false}, {a, true}}));

    // Choosing an entry loads that pair.
    for (QAction* action : menu()->actions()) {
        if (action->data().toString() == a)
            action->trigger();
    }
    EXPECT_EQ(window->PairPath(), a);
    EXPECT_EQ(mdlGeneral::gEquipments().Count(), 3);
    EXPECT_EQ(recent().front().first, a);
}

TEST_F(LoadMenu, EarlierVersionsOnlyWithAnOpenPairThatHasThem) {
    auto earlier = [this] {
        for (QAction* action : menu()->actions()) {
            if (action->objectName() == QLatin1String("mnuEarlierVersions"))
                return action->isEnabled();
        }
        ADD_FAILURE() << "no Earlier versions entry";
        return false;
    };
    EXPECT_FALSE(earlier());
    const QString a = writePair("a", records(3, "A"));
    ASSERT_TRUE(window->LoadPair(a));
    EXPECT_FALSE(earlier());
    edit();
    ASSERT_TRUE(saveTo(a));
    EXPECT_TRUE(earlier());
}

struct PairDrop : DesktopFixture {
    // Drags urls onto the window; true when the drag was accepted.
    bool drop(const QList<QUrl>& urls) {
        QMimeData mime;
        mime.setUrls(urls);
        const QPoint at(50, 50);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&*window, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&*window, &drop);
        QCoreApplication::processEvents();
        return drop.isAccepted();
    }
};

TEST_F(PairDrop, AFileOrItsFolderLoadsOtherThingsAreRefused) {
    const QString a = writePair("a", records(3, "A"));
    const QString b = writePair("b", records(5, "B"));
    const QString text = QString::fromStdString(folder / "a/EQUIP97.TXT");
    QDir().mkpath(QString::fromStdString(folder / "empty"));

    EXPECT_FALSE(drop({QUrl::fromLocalFile(text)}));
    EXPECT_FALSE(drop({QUrl::fromLocalFile(QString::fromStdString(folder / "empty"))}));
    EXPECT_FALSE(drop({QUrl(QStringLiteral("https://example.org/EQUIP97.EQP"))}));
    EXPECT_TRUE(window->PairPath().isEmpty());

    EXPECT_TRUE(drop({QUrl::fromLocalFile(a)}));
    EXPECT_EQ(window->PairPath(), a);
    EXPECT_EQ(mdlGeneral::gEquipments().Count(), 3);

    EXPECT_TRUE(drop({QUrl::fromLocalFile(QFileInfo(b).absolutePath())}));
    EXPECT_EQ(window->PairPath(), b);
    EXPECT_EQ(mdlGeneral::gEquipments().Count(), 5);
    EXPECT_EQ(prompts, 0);
}

TEST_F(PairDrop, AsksAboutUnsavedChangesFirst) {
    const QString a = writePair("a", records(3, "A"));
    const QString b = writePair("b", records(5, "B"));
    ASSERT_TRUE(window->LoadPair(a));
    edit();
    const std::string edited = listBytes();

    promptAnswer = SaveChangesAnswer::Cancel;
    EXPECT_TRUE(drop({QUrl::fromLocalFile(b)}));
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(window->PairPath(), a);
    EXPECT_EQ(listBytes(), edited);

    promptAnswer = SaveChangesAnswer::Discard;
    EXPECT_TRUE(drop({QUrl::fromLocalFile(b)}));
    EXPECT_EQ(prompts, 2);
    EXPECT_EQ(window->PairPath(), b);
    EXPECT_EQ(listBytes(), pairBytes(records(5, "B")));
}

}  // namespace
