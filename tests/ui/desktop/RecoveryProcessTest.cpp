#include <gtest/gtest.h>

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "model/Equipments.h"
#include "storage/ClipboardText.h"
#include "text/CodePage.h"
#include "ui/desktop/DesktopFixture.h"
#include "ui/desktop/RecoverySession.h"
#include "ui/mdlGeneral.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

using RecoveryProcess = DesktopFixture;

QStringList recoveryFiles(const QString& root) {
    QStringList files;
    QDirIterator it(root, {QStringLiteral("*.recovery")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

// A real editor opens a pair given on its command line, pastes records
// (unsaved changes), and is killed once its recovery file is written; the
// next start restores the list byte for byte.
TEST_F(RecoveryProcess, KilledEditorsWorkIsRestoredAtTheNextStart) {
    const auto start = records(5, "Mine");
    const auto pasted = records(3, "Pasted");
    const QString pair = writePair("Ironfront2", start);
    std::vector<EquipmentRef> refs;
    for (const Equipment& e : pasted)
        refs.push_back(std::make_shared<Equipment>(e));
    const std::string clip = folder / "paste.txt";
    WriteBytes(clip, CodePageToUtf8(EncodeClipboardText(refs)));

    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    QProcess editor;
    editor.setProcessEnvironment(env);
    editor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    editor.start(QStringLiteral(KESTREL_EDITOR_PATH),
                 {QFileInfo(pair).absolutePath(), QStringLiteral("--test-paste"),
                  QString::fromStdString(clip)});
    ASSERT_TRUE(editor.waitForStarted(10000));
    (void)QTest::qWaitFor(
        [&] {
            return !recoveryFiles(home.path()).isEmpty() || editor.state() == QProcess::NotRunning;
        },
        30000);
    ASSERT_EQ(editor.state(), QProcess::Running);
    const QString folder = QFileInfo(recoveryFiles(home.path()).constFirst()).absolutePath();

    // While it runs, its file is its own.
    {
        RecoverySession other(mdlGeneral::document(), folder);
        EXPECT_TRUE(other.abandonedFiles().empty());
    }
    editor.kill();
    ASSERT_TRUE(editor.waitForFinished(10000));
    ASSERT_EQ(recoveryFiles(home.path()).size(), 1);

    QString question;
    fake.onRecovery = [&question](const QString& q) {
        question = q;
        return RecoveryAnswer::Restore;
    };
    RecoverySession next(mdlGeneral::document(), folder);
    const bool restored = next.offerRestore(window->session(), nullptr);
    fake.onRecovery = nullptr;
    ASSERT_TRUE(restored);
    EXPECT_EQ(question.left(question.indexOf(QLatin1String(" from "))),
              QStringLiteral("Restore unsaved work on EQUIP97.EQP in %1")
                  .arg(QFileInfo(pair).absolutePath()));
    std::vector<Equipment> expected = start;
    expected.insert(expected.end(), pasted.begin(), pasted.end());
    EXPECT_EQ(listBytes(), pairBytes(expected));
    EXPECT_EQ(window->PairPath(), pair);
    EXPECT_EQ(ReadBytes(pair.toStdString()), EncodePair(start).binary) << "the pair is untouched";
}

}  // namespace
