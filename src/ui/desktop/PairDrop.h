#pragma once

class QMimeData;
class QString;
class QWidget;

namespace kestrel::ui {

class EditorSession;

// The pair a drop would load: the first local file or folder of mime that
// names one, else empty.
QString DroppedPair(const QMimeData* mime);

// An .EQP file, or a folder holding one, dropped on the list window loads
// that pair, asking first about unsaved changes.
void InstallPairDrop(QWidget& window, EditorSession& session);

}  // namespace kestrel::ui
