#include "ui/desktop/LoadMenu.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>

#include "ui/desktop/EarlierVersions.h"
#include "ui/desktop/RecentPairs.h"
#include "ui/desktop/VersionStore.h"
#include "ui/document/EditorSession.h"

namespace kestrel::ui {

namespace {

void fillMenu(QMenu& menu, EditorSession& session, const VersionStore& versions) {
    menu.clear();
    const QStringList recent = RecentPairs();
    int number = 0;
    for (const QString& path : recent) {
        ++number;
        QString text = QDir::toNativeSeparators(path);
        text.replace(QLatin1Char('&'), QLatin1String("&&"));
        if (number < 10)
            text = QStringLiteral("&%1 %2").arg(number).arg(text);
        QAction* action = menu.addAction(text);
        action->setObjectName(QStringLiteral("mnuRecent%1").arg(number));
        action->setData(path);
        action->setEnabled(QFileInfo(path).isFile());
        QObject::connect(action, &QAction::triggered, &session,
                         [&session, path] { session.loadPair(path); });
    }
    if (recent.isEmpty())
        menu.addAction(QStringLiteral("No recent pairs"))->setEnabled(false);
    menu.addSeparator();
    QAction* earlier = menu.addAction(QStringLiteral("&Earlier versions\u2026"));
    earlier->setObjectName(QStringLiteral("mnuEarlierVersions"));
    const QString pair = session.pairPath();
    earlier->setEnabled(!pair.isEmpty() && !versions.versions(pair).empty());
    QObject::connect(earlier, &QAction::triggered, &session,
                     [&session, versions] { ShowEarlierVersions(session, versions); });
}

}  // namespace

QMenu* MakePairsMenu(QWidget& parent, EditorSession& session, const VersionStore& versions) {
    auto* menu = new QMenu(QStringLiteral("&Recent pairs"), &parent);
    menu->setObjectName(QStringLiteral("mnuRecentPairs"));
    QObject::connect(menu, &QMenu::aboutToShow, &session,
                     [menu, &session, versions] { fillMenu(*menu, session, versions); });
    return menu;
}

void InstallLoadMenu(QToolButton& loadButton, QToolButton* save, EditorSession& session,
                     const VersionStore& versions) {
    QToolButton* load = &loadButton;
    auto* menu = new QMenu(load);
    menu->setObjectName(QStringLiteral("mnuLoad"));
    load->setMenu(menu);
    load->setPopupMode(QToolButton::MenuButtonPopup);
    // The arrow needs room of its own beside the picture; Save moves over by
    // as much, into the gap before Cut.
    const int arrow = load->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, load);
    load->resize(load->width() + arrow, load->height());
    if (save)
        save->move(save->x() + arrow, save->y());
    load->setAccessibleDescription(
        QStringLiteral("The arrow, or Alt+Down, lists recent pairs and earlier versions."));
    QObject::connect(menu, &QMenu::aboutToShow, &session,
                     [menu, &session, versions] { fillMenu(*menu, session, versions); });
    auto* key = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Down), load);
    key->setContext(Qt::WidgetShortcut);
    QObject::connect(key, &QShortcut::activated, load, &QToolButton::showMenu);

    auto remember = [](const QString& path) {
        if (QFileInfo(path).isFile())
            RememberRecentPair(path);
    };
    QObject::connect(&session, &EditorSession::pairOpened, load, remember);
    QObject::connect(&session, &EditorSession::pairSaved, load, remember);
}

}  // namespace kestrel::ui
