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
#include "ui/document/EditorSession.h"
#include "ui/document/InsertRecordsCommand.h"
#include "ui/document/RecordCount.h"
#include "ui/document/RemoveRecordsCommand.h"
#include "ui/list/ListCommands.h"
#include "ui/list/RecordRows.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/BusyPointer.h"
#include "ui/platform/CodePageText.h"
#include "ui/platform/MessageBox.h"

namespace kestrel::ui {

// The selected records are the shown ones alone, taken in list order;
// records a filter hides between them are not touched.
void Copy(EditorSession& session) {
    const std::vector<std::int32_t> positions = session.selectedPositions();
    if (positions.empty())
        return;
    kestrel::ui::BusyGuard busy;
    kestrel::Equipments& equipments = session.equipments();
    std::vector<kestrel::EquipmentRef> records;
    records.reserve(positions.size());
    for (std::int32_t p : positions)
        records.push_back(equipments.Item(p));
    const QString text = kestrel::ui::FromCodePage(kestrel::EncodeClipboardText(records));
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

namespace {
void removeSelected(EditorSession& session) {
    std::vector<std::int32_t> positions = session.selectedPositions();
    if (positions.empty())
        return;
    kestrel::ui::Document& doc = session.document();
    const auto count = static_cast<std::int32_t>(positions.size());
    doc.undoStack()->push(new RemoveRecordsCommand(
        doc, QStringLiteral("Cut of ") + RecordCount(count), std::move(positions)));
}
}  // namespace

void Cut(EditorSession& session) {
    Copy(session);
    removeSelected(session);
}

std::optional<QString> Paste(EditorSession& session) {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard->mimeData();
    if (!mime || !mime->hasText())
        return std::nullopt;
    const QByteArray utf8 = clipboard->text().toUtf8();
    std::optional<std::string> bytes =
        kestrel::Utf8ToCodePage(std::string_view(utf8.constData(), utf8.size()));
    kestrel::ClipboardDecodeResult decoded;
    if (bytes)
        decoded = kestrel::DecodeClipboardText(*bytes);
    if (!bytes || !decoded.ok())
        return QStringLiteral("Invalid clipboard data");
    if (decoded.records.empty())
        return std::nullopt;
    kestrel::ui::Document& doc = session.document();
    if (auto refusal = doc.refusalToAdd(static_cast<std::int64_t>(decoded.records.size()), "paste"))
        return refusal;
    const QString text = QStringLiteral("Paste of ") +
                         RecordCount(static_cast<std::int64_t>(decoded.records.size()));
    doc.undoStack()->push(new InsertRecordsCommand(doc, text, doc.equipments().Count() + 1,
                                                   std::move(decoded.records),
                                                   InsertRecordsCommand::Selection::Inserted));
    return std::nullopt;
}

void cmdCopy_Click() {
    Copy(mdlGeneral::session());
}

void cmdCut_Click() {
    Cut(mdlGeneral::session());
}

void cmdPaste_Click() {
    if (std::optional<QString> refusal = Paste(mdlGeneral::session()))
        MsgBox(*refusal);
}

}  // namespace kestrel::ui

namespace mdlGeneral {

void CopySelectedEquipment() {
    kestrel::ui::Copy(session());
}

void RemoveSelectedEquipment() {
    kestrel::ui::removeSelected(session());
}

void PasteEquipment() {
    kestrel::ui::cmdPaste_Click();
}

}  // namespace mdlGeneral
