#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QUndoStack>
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/FieldText.h"
#include "ui/platform/Grid.h"

#include "model/RecordFormat.h"
#include "storage/ClipboardText.h"
#include "storage/TableText.h"
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
    // The plain text is the editor's own; beside it the same records as a
    // table, which a spreadsheet pastes as rows and columns.
    auto* mime = new QMimeData;
    mime->setText(kestrel::ui::FromCodePage(kestrel::EncodeClipboardText(records)));
    const std::string html = kestrel::EncodeHtmlTable(records);
    // As bytes: the mime data converts them only when a reader asks.
    mime->setData(QStringLiteral("text/html"),
                  QByteArray(html.data(), static_cast<qsizetype>(html.size())));
    const std::string table = kestrel::EncodeTabTable(records);
    mime->setData(QStringLiteral("text/tab-separated-values"),
                  QByteArray(table.data(), static_cast<qsizetype>(table.size())));
    QGuiApplication::clipboard()->setMimeData(mime);
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

namespace {
bool startsWithHeader(const QString& text) {
    return text.startsWith(QLatin1String(kestrel::kClipboardHeader));
}

// The clipboard's text as UTF-8, a piece at a time: converted whole, the
// text would need room for three bytes a character, a buffer so large that
// each paste meets its pages fresh. A piece never ends between the two
// halves of a character.
std::string utf8Of(const QString& text) {
    constexpr qsizetype kPiece = 1 << 14;
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size() + text.size() / 8));
    for (qsizetype at = 0; at < text.size();) {
        qsizetype size = std::min(kPiece, text.size() - at);
        if (at + size < text.size() && text.at(at + size - 1).isHighSurrogate())
            ++size;
        const QByteArray piece = QStringView(text).mid(at, size).toUtf8();
        out.append(piece.constData(), static_cast<std::size_t>(piece.size()));
        at += size;
    }
    return out;
}

// A spreadsheet's table: the tab-separated type beside a text that is not
// the editor's own, or a plain text whose first line reads as headings.
// The plain text is made UTF-8 in plainUtf8 only when it is read.
std::optional<QByteArray> tableText(const QMimeData& mime, const QString& text,
                                    std::string& plainUtf8) {
    const QString tsv = QStringLiteral("text/tab-separated-values");
    if (mime.hasFormat(tsv))
        return mime.data(tsv);
    plainUtf8 = utf8Of(text);
    // The plain text itself, not copied: it outlives the paste's reading.
    const QByteArray plain =
        QByteArray::fromRawData(plainUtf8.data(), static_cast<qsizetype>(plainUtf8.size()));
    const qsizetype lineEnd = plain.indexOf('\n');
    const QByteArray first = plain.left(lineEnd < 0 ? plain.size() : lineEnd).trimmed();
    if (first.contains('\t') ||
        kestrel::FieldsNamed(std::string_view(first.constData(), first.size())).size() == 1)
        return plain;
    return std::nullopt;
}
}  // namespace

std::optional<QString> Paste(EditorSession& session) {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard->mimeData();
    if (!mime || !mime->hasText())
        return std::nullopt;
    const QString plain = mime->text();
    // The editor's own text goes to the code page straight; only a table is
    // read as UTF-8.
    std::string utf8;
    std::optional<QByteArray> table;
    if (!startsWithHeader(plain))
        table = tableText(*mime, plain, utf8);
    kestrel::ui::Document& doc = session.document();
    std::vector<kestrel::Equipment> records;
    if (table) {
        const std::string_view text(table->constData(), static_cast<std::size_t>(table->size()));
        // One more than fits, so that a table too large is refused by the
        // document's own words.
        const std::int64_t room = kestrel::kMaxRecords - doc.equipments().Count() + 1;
        kestrel::TableDecodeResult decoded = kestrel::DecodeTabTable(
            text, static_cast<std::size_t>(std::max<std::int64_t>(0, room)));
        if (!decoded.ok()) {
            QString where;
            if (decoded.row > 0 && decoded.column > 0)
                where = QStringLiteral("row %1, column %2: ").arg(decoded.row).arg(decoded.column);
            else if (decoded.row > 0)
                where = QStringLiteral("row %1: ").arg(decoded.row);
            return QStringLiteral("Paste refused, nothing was added: ") + where +
                   QString::fromStdString(decoded.error);
        }
        records = std::move(decoded.records);
    } else {
        std::optional<std::string> bytes = kestrel::ui::ToCodePage(plain);
        kestrel::ClipboardDecodeResult decoded;
        if (bytes)
            decoded = kestrel::DecodeClipboardText(*bytes);
        if (!bytes || !decoded.ok())
            return QStringLiteral("Invalid clipboard data");
        records = std::move(decoded.records);
    }
    if (records.empty())
        return std::nullopt;
    if (auto refusal = doc.refusalToAdd(static_cast<std::int64_t>(records.size()), "paste"))
        return refusal;
    const QString text =
        QStringLiteral("Paste of ") + RecordCount(static_cast<std::int64_t>(records.size()));
    doc.undoStack()->push(new InsertRecordsCommand(doc, text, doc.equipments().Count() + 1,
                                                   std::move(records),
                                                   InsertRecordsCommand::Selection::Inserted));
    return std::nullopt;
}

// The text of the cell under the grid's cell cursor, as the grid shows it.
void CopyValue(EditorSession& session) {
    const std::int32_t position = session.currentPosition();
    if (position < 1)
        return;
    const int field = mdlGeneral::UnitList().currentColumn();
    const std::string text = kestrel::FieldValueText(*session.equipments().Item(position), field);
    QGuiApplication::clipboard()->setText(kestrel::ui::FromCodePage(text));
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
