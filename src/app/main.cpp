#include <QApplication>
#include <QClipboard>
#include <QCommandLineParser>
#include <QFile>
#include <memory>
#include <string>

#include "ui/desktop/DataFolder.h"
#include "ui/desktop/PairPath.h"
#include "ui/desktop/RecoverySession.h"
#include "ui/list/ListCommands.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/MemoryUse.h"
#include "ui/platform/MessageBox.h"

namespace {

// --help and --version answer in text, so they need no display: the window
// system is not opened for them.
bool OnlyTextAsked(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--")
            break;
        if (a == "--help" || a == "-h" || a == "-?" || a == "--help-all" || a == "--version" ||
            a == "-v")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::unique_ptr<QCoreApplication> textOnly;
    std::unique_ptr<QApplication> windows;
    if (OnlyTextAsked(argc, argv)) {
        textOnly = std::make_unique<QCoreApplication>(argc, argv);
        // What --version prints: the program's name as typed in a shell.
        QCoreApplication::setApplicationName(QStringLiteral("kestrel-editor"));
    } else {
        kestrel::ui::KeepLargeBuffersForReuse();
        windows = std::make_unique<QApplication>(argc, argv);
        // Settings and the data folder go under ~/.config/Kestrel and
        // ~/.local/share/Kestrel rather than under "Unknown Organization".
        QCoreApplication::setOrganizationName(QStringLiteral("Kestrel"));
        QCoreApplication::setApplicationName(QStringLiteral("KestrelEditor"));
    }
    QCoreApplication& app = *QCoreApplication::instance();
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTREL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Edits the equipment file pair EQUIP97.EQP and EQUIP97.TXT."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("PATH"),
        QStringLiteral("The EQUIP97.EQP to open at start, or the folder holding it."),
        QStringLiteral("[PATH]"));
    // Lets the recovery test make unsaved changes through the real Paste.
    QCommandLineOption testPaste(QStringLiteral("test-paste"),
                                 QStringLiteral("Paste the clipboard text in FILE after start."),
                                 QStringLiteral("FILE"));
    testPaste.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(testPaste);
    parser.process(app);
    if (textOnly)  // a --help that was an option's value: show what was meant
        parser.showHelp(2);

    kestrel::ui::frmEqs window;
    window.show();
    kestrel::ui::RecoverySession recovery(mdlGeneral::document(),
                                          kestrel::ui::AppDataFolder(QStringLiteral("recovery")));
    const bool restored = recovery.offerRestore(window.session(), &window);

    const QStringList paths = parser.positionalArguments();
    if (!restored && !paths.isEmpty()) {
        const QString pair = kestrel::ui::PairFileFor(paths.constFirst());
        if (pair.isEmpty()) {
            kestrel::ui::MsgBox(
                QStringLiteral("%1 is not an equipment file, nor a folder holding EQUIP97.EQP.")
                    .arg(paths.constFirst()));
        } else {
            window.LoadPair(pair);
        }
    }
    if (parser.isSet(testPaste)) {
        QFile text(parser.value(testPaste));
        if (text.open(QIODevice::ReadOnly)) {
            QGuiApplication::clipboard()->setText(QString::fromUtf8(text.readAll()));
            kestrel::ui::cmdPaste_Click();
        }
    }
    return app.exec();
}
