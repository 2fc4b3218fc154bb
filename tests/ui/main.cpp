#include <gtest/gtest.h>

#include <QApplication>

// The UI tests need one QApplication for the whole run; the platform is the
// offscreen one unless the caller chose another.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
