#include "ui/platform/DialogPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <algorithm>

namespace kestrel::ui {

const char kAppTitle[] = "KestrelEditor";

namespace {

// Room the title bar keeps beside the title for its icon and buttons; the
// window system does not say how much, so this is generous.
constexpr int kTitleBarExtras = 160;

void name(QMessageBox& box, QMessageBox::StandardButton which, const QString& text) {
    if (QAbstractButton* button = box.button(which))
        button->setText(text);
}

Prompts*& slot() {
    static Prompts* prompts = nullptr;
    return prompts;
}

}  // namespace

Prompts& CurrentPrompts() {
    static DialogPrompts dialogs;
    return slot() ? *slot() : dialogs;
}

Prompts* setPrompts(Prompts* prompts) {
    Prompts* previous = slot();
    slot() = prompts;
    return previous;
}

void KeepTitleReadable(QMessageBox& box) {
    const int wanted =
        box.fontMetrics().horizontalAdvance(box.windowTitle()) * 3 / 2 + kTitleBarExtras;
    // A message box sizes itself to its text on showing; a spacer across its
    // grid is the width it keeps to.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
}

void DialogPrompts::message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok,
                    parent);
    KeepTitleReadable(box);
    box.exec();
}

SaveChangesAnswer DialogPrompts::saveChanges(QWidget* parent, const QString& question,
                                             SaveChangesAnswer proposed) {
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle), question,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    name(box, QMessageBox::Save, QStringLiteral("&Save"));
    name(box, QMessageBox::Discard, QStringLiteral("&Discard"));
    box.setDefaultButton(proposed == SaveChangesAnswer::Discard  ? QMessageBox::Discard
                         : proposed == SaveChangesAnswer::Cancel ? QMessageBox::Cancel
                                                                 : QMessageBox::Save);
    KeepTitleReadable(box);
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChangesAnswer::Save;
        case QMessageBox::Discard:
            return SaveChangesAnswer::Discard;
        default:
            return SaveChangesAnswer::Cancel;
    }
}

UpdateEditsAnswer DialogPrompts::updateEdits(QWidget* parent) {
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle),
                    QStringLiteral("Update equipment?"),
                    QMessageBox::Apply | QMessageBox::Discard | QMessageBox::Cancel, parent);
    name(box, QMessageBox::Apply, QStringLiteral("&Update"));
    name(box, QMessageBox::Discard, QStringLiteral("&Discard"));
    box.setDefaultButton(QMessageBox::Apply);
    KeepTitleReadable(box);
    switch (box.exec()) {
        case QMessageBox::Apply:
            return UpdateEditsAnswer::Update;
        case QMessageBox::Discard:
            return UpdateEditsAnswer::Discard;
        default:
            return UpdateEditsAnswer::Cancel;
    }
}

bool DialogPrompts::yesNo(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    name(box, QMessageBox::Yes, QStringLiteral("&Yes"));
    name(box, QMessageBox::No, QStringLiteral("&No"));
    box.setDefaultButton(QMessageBox::No);
    KeepTitleReadable(box);
    return box.exec() == QMessageBox::Yes;
}

bool DialogPrompts::saveOverIncomplete(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kAppTitle), text,
                    QMessageBox::Save | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Save;
}

bool DialogPrompts::fitValues(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle), text,
                    QMessageBox::Save | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    // One change a line, unbroken where the screen has room: a box sizes
    // itself to its text on showing, and a spacer across its grid is the
    // width it keeps to.
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, box.fontMetrics().horizontalAdvance(line));
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() * 3 / 4 : widest;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(std::min(widest + box.fontMetrics().height() * 5, room), 0,
                                      QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box.exec() == QMessageBox::Save;
}

RecoveryAnswer DialogPrompts::recovery(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle), question,
                    QMessageBox::NoButton, parent);
    QPushButton* restore = box.addButton(QStringLiteral("&Restore"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("&Discard"), QMessageBox::DestructiveRole);
    QPushButton* later = box.addButton(QStringLiteral("&Not now"), QMessageBox::RejectRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(later);
    box.setInformativeText(
        QStringLiteral("The editor ended without saving this work. Not now keeps it for the "
                       "next start."));
    box.exec();
    if (box.clickedButton() == restore)
        return RecoveryAnswer::Restore;
    if (box.clickedButton() == discard)
        return RecoveryAnswer::Discard;
    return RecoveryAnswer::Later;
}

std::optional<QString> DialogPrompts::fileName(QWidget* parent, bool save, const QString& proposed,
                                               const QString& title) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    dialog.setNameFilters(
        {QStringLiteral("Equipment files (*.EQP *.eqp)"), QStringLiteral("All files (*)")});
    dialog.setDirectory(QFileInfo(proposed).absolutePath());
    dialog.selectFile(QFileInfo(proposed).fileName());
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The caller knows whether the files are the open pair's own and
        // asks about replacing others itself, naming both files.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        return dialog.selectedFiles().constFirst();
    return std::nullopt;
}

std::optional<QString> DialogPrompts::pictureFileName(QWidget* parent, const QString& proposed) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QString png = QStringLiteral("PNG picture (*.png)");
    const QString svg = QStringLiteral("SVG picture (*.svg)");
    dialog.setNameFilters({png, svg});
    const bool proposesSvg = proposed.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
    dialog.selectNameFilter(proposesSvg ? svg : png);
    dialog.setDefaultSuffix(proposesSvg ? QStringLiteral("svg") : QStringLiteral("png"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(filter == svg ? QStringLiteral("svg") : QStringLiteral("png"));
    });
    dialog.setDirectory(QFileInfo(proposed).absolutePath());
    dialog.selectFile(QFileInfo(proposed).fileName());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        return dialog.selectedFiles().constFirst();
    return std::nullopt;
}

}  // namespace kestrel::ui
