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
#include "ui/list/RecordRows.h"
#include "ui/list/RemoveRecordsCommand.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/CodePageText.h"
#include "ui/platform/Grid.h"
#include "ui/platform/MessageBox.h"

namespace mdlGeneral {

// The selected records are the shown ones alone, taken in list order;
// records a filter hides between them are not touched.
void CopySelectedEquipment() {
    const std::vector<std::int32_t> positions = SelectedPositions();
    if (positions.empty())
        return;
    kestrel::ui::BusyGuard busy;
    kestrel::Equipments& equipments = gEquipments();
    std::vector<kestrel::EquipmentRef> records;
    records.reserve(positions.size());
    for (std::int32_t p : positions)
        records.push_back(equipments.Item(p));
    const QString text = kestrel::ui::FromCodePage(kestrel::EncodeClipboardText(records));
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

void RemoveSelectedEquipment() {
    std::vector<std::int32_t> positions = SelectedPositions();
    if (positions.empty())
        return;
    kestrel::ui::Document& doc = document();
    const auto count = static_cast<std::int32_t>(positions.size());
    if (positions.back() - positions.front() + 1 == count) {
        doc.undoStack()->push(new kestrel::ui::CutCommand(doc, positions.front(), count));
        return;
    }
    doc.undoStack()->push(new kestrel::ui::RemoveRecordsCommand(
        doc, QStringLiteral("Cut of ") + kestrel::ui::RecordCount(count), std::move(positions)));
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
