#include <QApplication>

#include "ui/list/frmEqs.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Where QSettings keeps what the editor remembers.
    QApplication::setOrganizationName(QStringLiteral("Kestrel"));
    QApplication::setApplicationName(QStringLiteral("KestrelEditor"));
    kestrel::ui::frmEqs window;
    window.show();
    return app.exec();
}
