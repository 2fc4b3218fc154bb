#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QUndoStack>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "storage/ClipboardText.h"
#include "text/CodePage.h"
#include "ui/document/Document.h"
#include "ui/list/CutCommand.h"
#include "ui/list/ListCommands.h"
#include "ui/list/PasteCommand.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/CodePageText.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MessageBox.h"

namespace {

using kestrel::ui::Grid;

// The record rows of the selection, in list order whichever way it was made;
// nothing when the grid has no record row in it.
struct RowRange {
    int first = 0;
    int last = -1;
    int count() const { return last - first + 1; }
};

RowRange selectedRecords(const Grid& grid) {
    RowRange range;
    range.first = std::max(1, std::min(grid.Row(), grid.RowSel()));
    range.last = std::min(grid.Rows() - 1, std::max(grid.Row(), grid.RowSel()));
    return range;
}

}  // namespace

namespace mdlGeneral {

void CopySelectedEquipment() {
    RowRange range = selectedRecords(UnitList());
    if (range.count() <= 0)
        return;
    kestrel::ui::BusyGuard busy;
    kestrel::Equipments& equipments = gEquipments();
    std::vector<kestrel::EquipmentRef> records;
    records.reserve(static_cast<std::size_t>(range.count()));
    for (int i = range.first; i <= range.last; ++i)
        records.push_back(equipments.Item(i));
    const QString text = kestrel::ui::FromCodePage(kestrel::EncodeClipboardText(records));
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

void RemoveSelectedEquipment() {
    RowRange range = selectedRecords(UnitList());
    if (range.count() <= 0)
        return;
    kestrel::ui::Document& doc = document();
    doc.undoStack()->push(new kestrel::ui::CutCommand(doc, range.first, range.count()));
}

void PasteEquipment() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard->mimeData();
    if (!mime || !mime->hasText())
        return;
    const QByteArray utf8 = clipboard->text().toUtf8();
    std::optional<std::string> bytes =
        kestrel::Utf8ToCodePage(std::string_view(utf8.constData(), utf8.size()));
    kestrel::ClipboardDecodeResult decoded;
    if (bytes)
        decoded = kestrel::DecodeClipboardText(*bytes);
    if (!bytes || !decoded.ok()) {
        kestrel::ui::MsgBox(QStringLiteral("Invalid clipboard data"));
        return;
    }
    if (decoded.records.empty())
        return;
    kestrel::ui::Document& doc = document();
    if (!doc.roomFor(static_cast<std::int64_t>(decoded.records.size()), "paste"))
        return;
    doc.undoStack()->push(new kestrel::ui::PasteCommand(doc, std::move(decoded.records)));
}

}  // namespace mdlGeneral

namespace kestrel::ui {

void cmdCopy_Click() {
    mdlGeneral::CopySelectedEquipment();
}

void cmdCut_Click() {
    mdlGeneral::CopySelectedEquipment();
    mdlGeneral::RemoveSelectedEquipment();
}

void cmdPaste_Click() {
    mdlGeneral::PasteEquipment();
}

}  // namespace kestrel::ui
