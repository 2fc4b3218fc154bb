#include <gtest/gtest.h>

#include <QFile>
#include <QThread>
#include <functional>

#include "support/SamplePairs.h"
#include "ui/desktop/PairSnapshot.h"

using namespace kestrel;
using namespace kestrel::ui;

namespace {

TEST(PairSnapshot, TellsChangedContentsFromATouch) {
    struct Case {
        const char* what;
        bool withChecksum;
        std::function<void(const std::string& path)> change;
        bool differs;
    };
    auto later = [](const std::string& bytes) {
        return [bytes](const std::string& path) {
            QThread::msleep(15);
            WriteBytes(path, bytes);
        };
    };
    const Case cases[] = {
        {"untouched", true, [](const std::string&) {}, false},
        {"same bytes written again", true, later("ABCD"), false},
        {"same size, other bytes", true, later("ABCE"), true},
        {"other size", true, later("ABCDE"), true},
        {"removed", true, [](const std::string& p) { QFile::remove(QString::fromStdString(p)); },
         true},
        {"touched, no checksum to tell", false, later("ABCD"), true},
        {"untouched, no checksum needed", false, [](const std::string&) {}, false},
    };
    for (const Case& c : cases) {
        ScopedTempFolder folder;
        const std::string path = folder / "EQUIP97.EQP";
        WriteBytes(path, "ABCD");
        const QString file = QString::fromStdString(path);
        const FileStamp stamp = StampOf(file, c.withChecksum);
        c.change(path);
        EXPECT_EQ(ContentDiffers(stamp, file), c.differs) << c.what;
    }

    ScopedTempFolder folder;
    const QString file = QString::fromStdString(folder / "EQUIP97.EQP");
    EXPECT_FALSE(ContentDiffers(StampOf(file), file)) << "absent and still absent";
    const FileStamp absent = StampOf(file);
    WriteBytes(file.toStdString(), "new");
    EXPECT_TRUE(ContentDiffers(absent, file)) << "appeared";

    // A checksum completed after a change would hide that change.
    FileStamp stat = StampOf(file, false);
    later("wen")(file.toStdString());
    CompleteStamp(stat, file);
    EXPECT_TRUE(stat.checksum.isEmpty());
    EXPECT_TRUE(ContentDiffers(stat, file));
}

}  // namespace
