#include "ui/platform/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <utility>

namespace kestrel::ui {

const char kAppTitle[] = "KestrelEditor";

namespace {
template <typename Handler>
Handler& slot() {
    static Handler handler;
    return handler;
}

// Room the title bar keeps beside the title for its icon and buttons; the
// window system does not say how much, so this is generous.
constexpr int kTitleBarExtras = 160;

void name(QMessageBox& box, QMessageBox::StandardButton which, const QString& text) {
    if (QAbstractButton* button = box.button(which))
        button->setText(text);
}
}  // namespace

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

void MsgBox(const QString& text) {
    if (slot<MsgBoxHandler>()) {
        slot<MsgBoxHandler>()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    KeepTitleReadable(box);
    box.exec();
}

QString SaveChangesQuestion(const QString& pairPath) {
    if (pairPath.isEmpty())
        return QStringLiteral("Save changes?");
    const QFileInfo file(pairPath);
    const QString folder = file.absoluteDir().dirName();
    return folder.isEmpty()
               ? QStringLiteral("Save changes to %1?").arg(file.fileName())
               : QStringLiteral("Save changes to %1 in %2?").arg(file.fileName(), folder);
}

SaveChangesAnswer AskSaveChanges(QWidget* parent, SaveChangesAnswer proposed,
                                 const QString& pairPath) {
    const QString question = SaveChangesQuestion(pairPath);
    if (slot<SaveChangesHandler>())
        return slot<SaveChangesHandler>()(question);
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

UpdateEditsAnswer AskUpdateEdits(QWidget* parent) {
    if (slot<UpdateEditsHandler>())
        return slot<UpdateEditsHandler>()();
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

bool AskYesNo(QWidget* parent, const QString& text) {
    if (slot<YesNoHandler>())
        return slot<YesNoHandler>()(text);
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    name(box, QMessageBox::Yes, QStringLiteral("&Yes"));
    name(box, QMessageBox::No, QStringLiteral("&No"));
    box.setDefaultButton(QMessageBox::No);
    KeepTitleReadable(box);
    return box.exec() == QMessageBox::Yes;
}

MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler) {
    return std::exchange(slot<MsgBoxHandler>(), std::move(handler));
}
SaveChangesHandler setSaveChangesHandler(SaveChangesHandler handler) {
    return std::exchange(slot<SaveChangesHandler>(), std::move(handler));
}
UpdateEditsHandler setUpdateEditsHandler(UpdateEditsHandler handler) {
    return std::exchange(slot<UpdateEditsHandler>(), std::move(handler));
}
YesNoHandler setYesNoHandler(YesNoHandler handler) {
    return std::exchange(slot<YesNoHandler>(), std::move(handler));
}

}  // namespace kestrel::ui
