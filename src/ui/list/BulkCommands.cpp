#include "ui/list/BulkCommands.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QUndoStack>
#include <algorithm>
#include <numeric>
#include <optional>

#include "ui/document/Document.h"
#include "ui/document/EditorSession.h"
#include "ui/document/InsertRecordsCommand.h"
#include "ui/document/RecordCount.h"
#include "ui/document/RemoveRecordsCommand.h"
#include "ui/list/RecordRows.h"
#include "ui/list/SetValueDialog.h"
#include "ui/list/SortCommand.h"
#include "ui/list/frmEqs.h"
#include "ui/mdlGeneral.h"
#include "ui/platform/MessageBox.h"

namespace kestrel::ui {

namespace {

// A one-line question; no value when it is cancelled.
std::optional<QString> askText(const QString& title, const QString& label,
                               const QString& accessibleName, const QString& tip) {
    QDialog dialog(mdlGeneral::listWindow());
    dialog.setWindowTitle(title);
    auto* form = new QFormLayout(&dialog);
    auto* edit = new QLineEdit(&dialog);
    edit->setAccessibleName(accessibleName);
    edit->setToolTip(tip);
    form->addRow(label, edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return edit->text();
}

// The selection without position 1, which these commands never move.
std::vector<std::int32_t> movableSelection(const EditorSession& session) {
    std::vector<std::int32_t> positions = session.selectedPositions();
    if (!positions.empty() && positions.front() == 1)
        positions.erase(positions.begin());
    return positions;
}

}  // namespace

void cmdSetValue_Click() {
    std::vector<std::int32_t> positions = mdlGeneral::SelectedPositions();
    if (positions.empty())
        return;
    SetValueDialog dialog(std::move(positions), mdlGeneral::listWindow());
    dialog.exec();
}

void cmdDelete_Click() {
    DeleteSelected(mdlGeneral::session());
}

void DuplicateSelected() {
    if (std::optional<QString> refusal = DuplicateSelected(mdlGeneral::session()))
        MsgBox(*refusal);
}

bool MoveSelectedTo(std::int32_t target) {
    EditorSession& session = mdlGeneral::session();
    if (session.selectedPositions().empty())
        return false;
    if (std::optional<QString> refusal = MoveSelectedTo(session, target)) {
        MsgBox(*refusal);
        return false;
    }
    return true;
}

void DeleteSelected(EditorSession& session) {
    std::vector<std::int32_t> positions = movableSelection(session);
    if (positions.empty())
        return;
    Document& document = session.document();
    const QString text =
        QStringLiteral("Delete of ") + RecordCount(static_cast<std::int64_t>(positions.size()));
    document.undoStack()->push(new RemoveRecordsCommand(document, text, std::move(positions)));
}

std::optional<QString> DuplicateSelected(EditorSession& session) {
    const std::vector<std::int32_t> positions = session.selectedPositions();
    if (positions.empty())
        return std::nullopt;
    Document& document = session.document();
    if (auto refusal =
            document.refusalToAdd(static_cast<std::int64_t>(positions.size()), "duplicate"))
        return refusal;
    std::vector<Equipment> copies;
    copies.reserve(positions.size());
    for (std::int32_t p : positions)
        copies.push_back(*document.equipments().Item(p));
    const QString text =
        QStringLiteral("Duplicate of ") + RecordCount(static_cast<std::int64_t>(copies.size()));
    document.undoStack()->push(new InsertRecordsCommand(document, text, positions.back() + 1,
                                                        std::move(copies),
                                                        InsertRecordsCommand::Selection::Inserted));
    return std::nullopt;
}

std::optional<QString> MoveSelectedTo(EditorSession& session, std::int32_t target) {
    const std::vector<std::int32_t> selected = session.selectedPositions();
    Document& document = session.document();
    const std::int32_t n = document.equipments().Count();
    const auto k = static_cast<std::int32_t>(selected.size());
    if (k == 0)
        return std::nullopt;
    if (selected.front() == 1) {
        return QStringLiteral(
            "The first record of the list stays where it is; "
            "take it out of the selection to move the others.");
    }
    if (target < 2 || target > n - k + 1) {
        return QStringLiteral("%1 cannot go to position %2: the first of them can go to 2 to %3.")
            .arg(RecordCount(k))
            .arg(target)
            .arg(n - k + 1);
    }
    // The others keep their order; the moved block goes in so that its first
    // record lands at target.
    std::vector<std::int32_t> order;
    order.reserve(static_cast<std::size_t>(n));
    std::size_t s = 0;
    for (std::int32_t p = 1; p <= n; ++p) {
        if (s < selected.size() && selected[s] == p)
            ++s;
        else
            order.push_back(p - 1);
    }
    std::vector<std::int32_t> block;
    for (std::int32_t p : selected)
        block.push_back(p - 1);
    order.insert(order.begin() + (target - 1), block.begin(), block.end());
    bool changed = false;
    for (std::size_t p = 0; p < order.size() && !changed; ++p)
        changed = order[p] != static_cast<std::int32_t>(p);
    if (!changed)
        return std::nullopt;
    auto* command =
        new SortCommand(document, QStringLiteral("Move %1 to %2").arg(RecordCount(k)).arg(target),
                        std::move(order));
    // The moved records stay selected where they land, on redo too.
    command->setSelectionAfter(GridSelection{target, 0, target + k - 1, kFieldCount - 1});
    document.undoStack()->push(command);
    return std::nullopt;
}

void AskMoveSelected() {
    if (mdlGeneral::SelectedPositions().empty())
        return;
    std::optional<QString> text = askText(
        QStringLiteral("Move to"), QStringLiteral("Move the selected records to &position:"),
        QStringLiteral("Position"), QStringLiteral("The position the first of them takes"));
    if (!text)
        return;
    bool ok = false;
    const int target = text->trimmed().toInt(&ok);
    if (!ok) {
        MsgBox(QStringLiteral("\"%1\" is not a position.").arg(*text));
        return;
    }
    MoveSelectedTo(target);
}

std::int32_t GoToTarget(const QString& typed) {
    const QString text = typed.trimmed();
    const Equipments& list = mdlGeneral::document().equipments();
    bool ok = false;
    const int position = text.toInt(&ok);
    if (ok)
        return position >= 1 && position <= list.Count() ? position : 0;
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return 0;
    const QString name = text.left(equals).trimmed();
    if (name.compare(QLatin1String("N"), Qt::CaseInsensitive) != 0 &&
        name.compare(QLatin1String("EqCode"), Qt::CaseInsensitive) != 0)
        return 0;
    const int code = text.mid(equals + 1).trimmed().toInt(&ok);
    if (!ok)
        return 0;
    for (std::int32_t p = 1; p <= list.Count(); ++p) {
        if (list.Item(p)->EqCode() == code)
            return p;
    }
    return 0;
}

void AskGoTo() {
    std::optional<QString> text =
        askText(QStringLiteral("Go to"), QStringLiteral("&Record:"), QStringLiteral("Go to"),
                QStringLiteral("A position (12 is the twelfth record) or N=298 for the first "
                               "record whose code is 298"));
    if (!text || text->trimmed().isEmpty())
        return;
    const std::int32_t position = GoToTarget(*text);
    if (position == 0) {
        MsgBox(QStringLiteral("No record is \"%1\".").arg(text->trimmed()));
        return;
    }
    mdlGeneral::session().revealRecord(position);
}

}  // namespace kestrel::ui
