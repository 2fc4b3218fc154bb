#include "ui/document/UndoKeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QUndoStack>
#include <QWidget>

namespace kestrel::ui {

namespace {

bool isUndoKey(const QKeyEvent* key) {
    return key->matches(QKeySequence::Undo);
}

bool isRedoKey(const QKeyEvent* key) {
    const QKeyCombination combination = key->keyCombination();
    return key->matches(QKeySequence::Redo) ||
           combination == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z) ||
           combination == QKeyCombination(Qt::CTRL, Qt::Key_Y);
}

// A box claims the undo keys for itself whether or not it has anything to
// undo; this lets them through to the window's shortcuts when it has not.
class BoxUndoFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        auto* box = qobject_cast<QLineEdit*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (!box || box->isReadOnly())
            return false;
        if ((isUndoKey(key) && !box->isUndoAvailable()) ||
            (isRedoKey(key) && !box->isRedoAvailable())) {
            event->ignore();
            return true;
        }
        return false;
    }
};

}  // namespace

void AddUndoKeys(QWidget* window, QUndoStack* stack, bool withKeys) {
    auto add = [&](const QKeySequence& keys, void (QUndoStack::*action)()) {
        auto* shortcut = new QShortcut(keys, window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, stack, action);
    };
    if (withKeys) {
        add(QKeySequence(Qt::CTRL | Qt::Key_Z), &QUndoStack::undo);
        add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &QUndoStack::redo);
        add(QKeySequence(Qt::CTRL | Qt::Key_Y), &QUndoStack::redo);
    }
    auto* filter = new BoxUndoFilter(window);
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
        box->installEventFilter(filter);
}

}  // namespace kestrel::ui
