#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include "support/FakePrompts.h"
#include "ui/platform/MessageBox.h"

namespace {
// Each test starts as the editor's first start: nothing remembered.
class ForgetSettings : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { QSettings().clear(); }
};
}  // namespace

// The UI tests need one QApplication for the whole run; the platform is the
// offscreen one unless the caller chose another. Settings and the data
// folder (recent pairs, earlier versions, recovery files) go to a folder of
// the run's own, never the user's.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        const QString folder = home.filePath(QString::fromLatin1(name));
        QDir().mkpath(folder);
        qputenv(name, QFile::encodeName(folder));
    }
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       home.filePath(QStringLiteral("XDG_CONFIG_HOME")));
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("KestrelTests"));
    QApplication::setApplicationName(QStringLiteral("KestrelEditor"));
    // A question no test expected fails the test instead of waiting for a
    // person; the answer is the one that changes nothing.
    kestrel_test::FakePrompts noPerson;
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetSettings);
    return RUN_ALL_TESTS();
}
