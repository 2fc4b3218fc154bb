#include "ui/list/HelpWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/platform/MessageBox.h"

namespace kestrel::ui {

namespace {
const char kHelpName[] = "HelpWindow";

struct KeyLine {
    const char* command;
    const char* keys;
};
// The grid's own keys, beside the commands' keys of the action table.
const KeyLine kGridKeys[] = {
    {"Show a record's properties", "Enter or double-click"},
    {"Move through the list", "Arrows, Page Up / Down, Home / End"},
};
const KeyLine kPropertiesKeys[] = {
    {"Update the record", "Ctrl+Enter"},
    {"New record", "Ctrl+N"},
    {"First / Last record", "Alt+Home / Alt+End"},
    {"Previous / Next record", "Alt+Left / Alt+Right"},
};

QString row(const QString& command, const QString& keys) {
    return QStringLiteral("<tr><td>%1</td><td>&nbsp;&nbsp;<b>%2</b></td></tr>")
        .arg(command.toHtmlEscaped(), keys.toHtmlEscaped());
}

QString table(const QString& title, const HelpWindow::KeyLines& first, const KeyLine* lines,
              std::size_t count) {
    QString html = QStringLiteral("<h3>%1</h3><table cellspacing='2'>").arg(title);
    for (const auto& [command, keys] : first)
        html += row(command, keys);
    for (std::size_t i = 0; i < count; ++i)
        html += row(QString::fromLatin1(lines[i].command), QString::fromLatin1(lines[i].keys));
    return html + QStringLiteral("</table>");
}
}  // namespace

HelpWindow::HelpWindow(const KeyLines& listKeys, QWidget* parent) : QDialog(parent) {
    setObjectName(QLatin1String(kHelpName));
    setWindowTitle(QStringLiteral("KestrelEditor Help"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("HelpText"));
    text->setTextFormat(Qt::RichText);
    text->setText(table(QStringLiteral("List window"), listKeys, kGridKeys, std::size(kGridKeys)) +
                  table(QStringLiteral("Properties window"), {}, kPropertiesKeys,
                        std::size(kPropertiesKeys)));
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* about =
        buttons->addButton(QStringLiteral("&About..."), QDialogButtonBox::HelpRole);
    about->setObjectName(QStringLiteral("cmdAbout"));
    connect(about, &QPushButton::clicked, this, [this] { ShowAbout(this); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AboutText() {
    return QStringLiteral(
               "<b>Kestrel Editor</b> %1<br>An editor for Ironfront II equipment files."
               "<br><br>Released under the MIT licence (see the LICENSE file).")
        .arg(QStringLiteral(KESTREL_VERSION));
}

void ShowAbout(QWidget* parent) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kAppTitle), AboutText(),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("AboutBox"));
    box.setTextFormat(Qt::RichText);
    KeepTitleReadable(box);
    box.exec();
}

void ShowHelp(QWidget* parent, const HelpWindow::KeyLines& listKeys) {
    auto* help = parent->findChild<HelpWindow*>(QLatin1String(kHelpName));
    if (!help)
        help = new HelpWindow(listKeys, parent);
    help->show();
    help->raise();
    help->activateWindow();
}

}  // namespace kestrel::ui
