#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

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
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
