#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>

#include "ui/desktop/DesktopFixture.h"
#include "ui/desktop/EarlierVersions.h"
#include "ui/desktop/VersionStore.h"
#include "ui/document/Document.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/MessageBox.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

struct Versions : DesktopFixture {
    QString pair;
    void SetUp() override {
        DesktopFixture::SetUp();
        pair = writePair("p", records(2, "Start"));
    }
    static std::string bytesOf(const PairVersion& version) {
        QByteArray names, binary;
        EXPECT_TRUE(VersionStore::read(version, names, binary));
        return names.toStdString() + '\0' + binary.toStdString();
    }
};

TEST_F(Versions, EachSaveKeepsThePairItReplacedTheLastTen) {
    const VersionStore store = VersionStore::standard();
    const auto before = store.versions(pair).size();
    ASSERT_TRUE(window->LoadPair(pair));
    // What each save replaces: the starting pair, then one more record each time.
    std::vector<std::string> replaced{pairBytes(records(2, "Start"))};
    for (int k = 0; k < 12; ++k) {
        edit();
        const std::string now = listBytes();
        ASSERT_TRUE(saveTo(pair)) << k;
        if (k < 11)
            replaced.push_back(now);
    }
    const std::vector<PairVersion> kept = store.versions(pair);
    ASSERT_EQ(kept.size(), std::size_t{VersionStore::kKept});
    ASSERT_EQ(before, 0u);
    for (std::size_t k = 0; k < kept.size(); ++k) {
        EXPECT_EQ(bytesOf(kept[k]), replaced[replaced.size() - 1 - k]) << "newest first, " << k;
        EXPECT_EQ(kept[k].records, 2 + 11 - static_cast<int>(k));
    }

    // A save that changes nothing on disk adds no copy of the newest.
    ASSERT_TRUE(saveTo(pair));
    ASSERT_TRUE(saveTo(pair));
    EXPECT_EQ(store.versions(pair).size(), std::size_t{VersionStore::kKept});
    EXPECT_EQ(bytesOf(store.versions(pair).front()), listBytes());
}

TEST_F(Versions, AFailedSaveKeepsNothingAndAnotherPairHasItsOwn) {
    const VersionStore store = VersionStore::standard();
    const QString other = writePair("q", records(3, "Other"));
    ASSERT_TRUE(window->LoadPair(pair));
    edit();
    // Saving over another pair asks once before replacing its files.
    fake.onYesNo = [](const QString&) { return true; };
    ASSERT_TRUE(saveTo(other));
    fake.onYesNo = nullptr;
    EXPECT_TRUE(store.versions(pair).empty());
    ASSERT_EQ(store.versions(other).size(), 1u);
    EXPECT_EQ(bytesOf(store.versions(other).front()), pairBytes(records(3, "Other")));

    // A name with a line break refuses the save before anything moves.
    Equipment bad = *mdlGeneral::gEquipments().Item(1);
    bad.setEqName("two\r\nlines");
    mdlGeneral::document().replaceRecord(1, bad);
    EXPECT_FALSE(saveTo(other));
    EXPECT_EQ(store.versions(other).size(), 1u);
}

TEST_F(Versions, OpeningOneReplacesTheListAsUnsavedChangesToThePair) {
    ASSERT_TRUE(window->LoadPair(pair));
    edit();
    ASSERT_TRUE(saveTo(pair));
    const std::string saved = listBytes();

    const std::vector<PairVersion> kept = VersionStore::standard().versions(pair);
    ASSERT_EQ(kept.size(), 1u);
    EarlierVersionsDialog dialog(pair, kept);
    EXPECT_EQ(dialog.list()->count(), 1);
    EXPECT_TRUE(dialog.list()->item(0)->text().contains(QStringLiteral("2 records")));
    ASSERT_NE(dialog.version(), nullptr);

    ASSERT_TRUE(OpenVersion(window->session(), *dialog.version()));
    EXPECT_EQ(listBytes(), pairBytes(records(2, "Start")));
    EXPECT_TRUE(mdlGeneral::document().isModified());
    EXPECT_EQ(window->PairPath(), pair);
    EXPECT_EQ(ReadBytes(pair.toStdString()), saved.substr(saved.find('\0') + 1))
        << "the files stay as saved until the next save";
}

TEST(VersionStoreFolder, WritesOnlyUnderItsRootAndListsNothingHalfWritten) {
    QTemporaryDir root;
    VersionStore store(root.filePath(QStringLiteral("v")));
    const QString pair = QStringLiteral("/nowhere/EQUIP97.EQP");
    ASSERT_TRUE(store.keep(pair, "A\r\n", QByteArray("\x01\x00", 2)));
    ASSERT_EQ(store.versions(pair).size(), 1u);
    // A version cut off while being written is not listed.
    const QString pairFolder = QFileInfo(store.versions(pair).front().folder).absolutePath();
    QDir().mkpath(QDir(pairFolder).filePath(QStringLiteral(".part-20260101T000000000")));
    EXPECT_EQ(store.versions(pair).size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/nowhere")));
}

}  // namespace
