#include <QCloseEvent>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include "ui/document/Document.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/MessageBox.h"
#include "ui/properties/FieldControls.h"
#include "ui/properties/frmEquipment.h"

namespace kestrel::ui {

bool frmEquipment::hasEdits() const {
    const std::int32_t position = recordPosition();
    if (position < 1 && mLostAt < 1)
        return false;
    const Equipment& record = position >= 1 ? *mdlGeneral::gEquipments().Item(position) : mShown;
    const FieldReadResult read = ReadFields(const_cast<frmEquipment*>(this), record);
    return read.refusal || read.values != record;
}

void frmEquipment::updateEditMark() {
    if (mShowing)
        return;
    const bool edited = hasEdits();
    if (edited == isWindowModified() && !edited == cmdUpdate->styleSheet().isEmpty())
        return;
    setWindowModified(edited);
    // The border stands out without changing the button's size or picture.
    cmdUpdate->setStyleSheet(
        edited ? QStringLiteral("QToolButton { border: 2px solid palette(highlight); "
                                "border-radius: 3px; background: palette(light); }")
               : QString());
    cmdUpdate->setToolTip(edited ? QStringLiteral("Update equipment (changes not yet committed)")
                                 : QStringLiteral("Update equipment"));
}

bool frmEquipment::confirmEdits() {
    if (!hasEdits())
        return true;
    switch (AskUpdateEdits(this)) {
        case UpdateEditsAnswer::Update:
            commit();
            return !hasEdits();
        case UpdateEditsAnswer::Discard:
            mLostAt = 0;
            ForgetEdits(this);
            showRecord();
            updateEditMark();
            return true;
        case UpdateEditsAnswer::Cancel:
            break;
    }
    return false;
}

void frmEquipment::askAboutLostRecord() {
    // A question in the middle of a command (cut, undo) would run the event
    // loop while the list is half changed; it waits until the command is done.
    QTimer::singleShot(0, this, [this] {
        if (mLostAt < 1 || recordPosition() >= 1)
            return;
        if (confirmEdits()) {
            if (recordPosition() < 1)
                close();
        }
    });
}

}  // namespace kestrel::ui

namespace mdlGeneral {

bool ConfirmPropertiesEdits() {
    kestrel::ui::frmEquipment* window = propertiesWindow();
    return !window || window->confirmEdits();
}

}  // namespace mdlGeneral
