#include "ui/platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

namespace kestrel::ui {

const char kAppTitle[] = "KestrelEditor";

namespace {
MsgBoxHandler& msgBoxSlot() {
    static MsgBoxHandler handler;
    return handler;
}
SaveChangesHandler& saveChangesSlot() {
    static SaveChangesHandler handler;
    return handler;
}
}  // namespace

void MsgBox(const QString& text) {
    if (msgBoxSlot()) {
        msgBoxSlot()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

SaveChangesAnswer AskSaveChanges(QWidget* parent, SaveChangesAnswer proposed) {
    if (saveChangesSlot())
        return saveChangesSlot()();
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle),
                    QStringLiteral("Save changes?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(proposed == SaveChangesAnswer::Discard  ? QMessageBox::Discard
                         : proposed == SaveChangesAnswer::Cancel ? QMessageBox::Cancel
                                                                 : QMessageBox::Save);
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChangesAnswer::Save;
        case QMessageBox::Discard:
            return SaveChangesAnswer::Discard;
        default:
            return SaveChangesAnswer::Cancel;
    }
}

MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler) {
    return std::exchange(msgBoxSlot(), std::move(handler));
}

SaveChangesHandler setSaveChangesHandler(SaveChangesHandler handler) {
    return std::exchange(saveChangesSlot(), std::move(handler));
}

}  // namespace kestrel::ui
