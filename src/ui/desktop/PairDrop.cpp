#include "ui/desktop/PairDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "ui/desktop/PairPath.h"
#include "ui/document/EditorSession.h"

namespace kestrel::ui {

namespace {

class DropFilter : public QObject {
public:
    DropFilter(QWidget& window, EditorSession& session)
        : QObject(&window), mWindow(window), mSession(session) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &mWindow)
            return false;
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                if (DroppedPair(drag->mimeData()).isEmpty())
                    return false;
                drag->acceptProposedAction();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const QString pair = DroppedPair(drop->mimeData());
                if (pair.isEmpty())
                    return false;
                drop->acceptProposedAction();
                // The question about unsaved changes must not run inside the
                // drop: the program the file came from waits until it ends.
                EditorSession* session = &mSession;
                QTimer::singleShot(0, &mWindow, [session, pair] { session->loadPair(pair); });
                return true;
            }
            default:
                return false;
        }
    }

private:
    QWidget& mWindow;
    EditorSession& mSession;
};

}  // namespace

QString DroppedPair(const QMimeData* mime) {
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile() && LooksLikePair(url.toLocalFile()))
            return PairFileFor(url.toLocalFile());
    }
    return {};
}

void InstallPairDrop(QWidget& window, EditorSession& session) {
    window.setAcceptDrops(true);
    window.installEventFilter(new DropFilter(window, session));
}

}  // namespace kestrel::ui
