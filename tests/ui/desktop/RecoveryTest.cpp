#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "ui/desktop/DesktopFixture.h"
#include "ui/desktop/RecoveryFile.h"
#include "ui/desktop/RecoverySession.h"
#include "ui/document/Document.h"
#include "ui/mdlGeneral.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

TEST(RecoveryFileFormat, ReadsBackWhatItWroteAndRefusesAnythingElse) {
    RecoveredWork work{QStringLiteral("/home/me/Ironfront2/EQUIP97.EQP"),
                       QDateTime(QDate(2026, 12, 9), QTime(14, 2, 31, 250)),
                       QByteArray("A\r\nB\xe9\r\n"), QByteArray("\x02\x00\xff\x00", 4)};
    const QByteArray bytes = EncodeRecovery(work);
    const auto back = DecodeRecovery(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->pairPath, work.pairPath);
    EXPECT_EQ(back->writtenAt, work.writtenAt);
    EXPECT_EQ(back->names, work.names);
    EXPECT_EQ(back->binary, work.binary);

    QByteArray flipped = bytes;
    flipped[10] = static_cast<char>(flipped[10] ^ 1);
    for (const QByteArray& bad :
         {QByteArray(), bytes.left(bytes.size() - 1), flipped, QByteArray(40, 'x'), bytes + 'x'}) {
        EXPECT_FALSE(DecodeRecovery(bad)) << bad.size();
    }
}

TEST(RecoveryFileFormat, QuestionNamesPairFolderAndTime) {
    const QDate today(2026, 12, 9);
    RecoveredWork work{
        QStringLiteral("/home/me/Ironfront2/EQUIP97.EQP"), QDateTime(today, QTime(14, 2)), {}, {}};
    EXPECT_EQ(RecoveryQuestion(work, today),
              QStringLiteral("Restore unsaved work on EQUIP97.EQP in /home/me/Ironfront2 from "
                             "14:02?"));
    EXPECT_TRUE(RecoveryQuestion(work, today.addDays(1)).contains(QStringLiteral("14:02")));
    EXPECT_NE(RecoveryQuestion(work, today.addDays(1)), RecoveryQuestion(work, today))
        << "another day's work names its date";
}

struct Recovery : DesktopFixture {
    QTemporaryDir data;
    QString folder() const { return data.filePath(QStringLiteral("recovery")); }
    std::vector<QString> answered;
    RecoveryAnswer answer = RecoveryAnswer::Restore;
    void SetUp() override {
        DesktopFixture::SetUp();
        fake.onRecovery = [this](const QString& question) {
            answered.push_back(question);
            return answer;
        };
    }
};

TEST_F(Recovery, WrittenWhileUnsavedRemovedBySaveUndoAndNormalEnd) {
    const QString pair = writePair("p", records(3, "Mine"));
    ASSERT_TRUE(window->LoadPair(pair));
    auto session = std::make_unique<RecoverySession>(mdlGeneral::document(), folder());
    const QString file = session->filePath();
    EXPECT_TRUE(QFileInfo(file).absolutePath().startsWith(data.path())) << "never beside the pair";

    edit();
    EXPECT_FALSE(QFile::exists(file)) << "written after a pause, not at each change";
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return QFile::exists(file); }, RecoverySession::kPauseMs * 3));
    mdlGeneral::document().undoStack()->undo();
    EXPECT_FALSE(QFile::exists(file)) << "back to the saved list";
    mdlGeneral::document().undoStack()->redo();
    ASSERT_TRUE(session->writeNow());
    EXPECT_TRUE(QFile::exists(file));
    ASSERT_TRUE(saveTo(pair));
    EXPECT_FALSE(QFile::exists(file)) << "a save";
    edit();
    ASSERT_TRUE(session->writeNow());
    session.reset();
    EXPECT_FALSE(QFile::exists(file)) << "a normal end";
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
}

TEST_F(Recovery, ARunningEditorsFileIsNeverOfferedAnAbandonedOneIsRestoredByteForByte) {
    const QString pair = writePair("p", records(3, "Mine"));
    ASSERT_TRUE(window->LoadPair(pair));
    edit();
    const std::string edited = listBytes();
    auto first = std::make_unique<RecoverySession>(mdlGeneral::document(), folder());
    ASSERT_TRUE(first->writeNow());

    RecoverySession second(mdlGeneral::document(), folder());
    EXPECT_TRUE(second.abandonedFiles().empty()) << "the first still runs";
    EXPECT_FALSE(second.offerRestore(window->session(), nullptr));
    EXPECT_TRUE(answered.empty());

    // A crash leaves the file with nobody holding its lock.
    const QString file = first->filePath();
    const QByteArray bytes = [&] {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    first.reset();
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    ASSERT_EQ(second.abandonedFiles(), std::vector<QString>{QFileInfo(file).absoluteFilePath()});

    promptAnswer = SaveChangesAnswer::Discard;
    ASSERT_TRUE(window->LoadPair(writePair("q", records(2, "Other"))));
    ASSERT_NE(listBytes(), edited);
    answer = RecoveryAnswer::Later;
    EXPECT_FALSE(second.offerRestore(window->session(), nullptr));
    EXPECT_TRUE(QFile::exists(file)) << "Not now keeps it";
    answer = RecoveryAnswer::Restore;
    EXPECT_TRUE(second.offerRestore(window->session(), nullptr));
    ASSERT_EQ(answered.size(), 2u);
    EXPECT_TRUE(
        answered.back().startsWith(QStringLiteral("Restore unsaved work on EQUIP97.EQP in ")));
    EXPECT_EQ(listBytes(), edited);
    EXPECT_EQ(window->PairPath(), pair);
    EXPECT_EQ(window->cd1().FileName, pair) << "the save dialog proposes the pair";
    EXPECT_TRUE(mdlGeneral::document().isModified());
    EXPECT_FALSE(QFile::exists(file)) << "taken over by this session's own file";
    EXPECT_TRUE(QFile::exists(second.filePath()));
}

TEST_F(Recovery, DiscardRemovesADamagedFileIsSetAside) {
    QDir().mkpath(folder());
    const QString damaged = QDir(folder()).filePath(QStringLiteral("a.recovery"));
    const QString discarded = QDir(folder()).filePath(QStringLiteral("b.recovery"));
    WriteBytes(damaged.toStdString(), "not a recovery file");
    RecoveredWork work{QStringLiteral("/x/EQUIP97.EQP"), QDateTime::currentDateTime(),
                       QByteArray("A\r\n"), QByteArray("\x01\x00", 2)};
    WriteBytes(discarded.toStdString(), EncodeRecovery(work).toStdString());

    RecoverySession session(mdlGeneral::document(), folder());
    answer = RecoveryAnswer::Discard;
    EXPECT_FALSE(session.offerRestore(window->session(), nullptr));
    EXPECT_EQ(answered.size(), 1u);
    EXPECT_FALSE(QFile::exists(discarded));
    EXPECT_FALSE(QFile::exists(damaged));
    EXPECT_TRUE(QFile::exists(damaged + QStringLiteral(".damaged")));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(session.abandonedFiles().empty());
}

}  // namespace
