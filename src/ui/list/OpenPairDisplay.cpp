#include "ui/list/OpenPairDisplay.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/PathText.h"

namespace kestrel::ui {

namespace {
const char kLabelName[] = "OpenPairPath";

QString pathText(const std::string& dataPath) {
    return UiPath(dataPath);
}
}  // namespace

QString PairCaption(const std::string& dataPath) {
    if (dataPath.empty())
        return {};
    const QFileInfo file(pathText(dataPath));
    const QString folder = QFileInfo(file.absolutePath()).fileName();
    // The root folder has no name of its own; its path stands for it.
    return QStringLiteral("%1 in %2")
        .arg(file.fileName(),
             folder.isEmpty() ? QDir::toNativeSeparators(file.absolutePath()) : folder);
}

void ShowOpenPair(frmEqs& window) {
    const std::string& dataPath = mdlGeneral::document().equipments().DataPath();
    const QString caption = PairCaption(dataPath);
    window.setWindowTitle(frmEqs::Caption() +
                          (caption.isEmpty() ? QString() : QStringLiteral(" - ") + caption) +
                          QStringLiteral("[*]"));
    auto* label = window.findChild<QLabel*>(QLatin1String(kLabelName));
    if (!label)
        return;
    const QString full =
        dataPath.empty()
            ? QString()
            : QDir::toNativeSeparators(QFileInfo(pathText(dataPath)).absoluteFilePath());
    label->setText(full);
    label->setToolTip(full);
}

void InstallOpenPairDisplay(frmEqs& window) {
    auto* label = new QLabel(&window);
    label->setObjectName(QLatin1String(kLabelName));
    label->setAccessibleName(QStringLiteral("Open pair"));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    window.statusBar()->addPermanentWidget(label);
    QObject::connect(mdlGeneral::document().model(), &QAbstractItemModel::modelReset, &window,
                     [&window] { ShowOpenPair(window); });
    ShowOpenPair(window);
}

}  // namespace kestrel::ui
