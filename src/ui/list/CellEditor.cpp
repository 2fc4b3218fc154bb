#include "ui/list/CellEditor.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QToolTip>
#include <QUndoStack>
#include <string>

#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "model/ValueChange.h"
#include "text/CodePage.h"
#include "ui/document/Document.h"
#include "ui/document/EditorSession.h"
#include "ui/list/RecordRows.h"
#include "ui/platform/CodePageText.h"
#include "ui/platform/Grid.h"
#include "ui/properties/UpdateCommand.h"

namespace kestrel::ui {

namespace {
bool coded(int field) {
    return fieldInfo(field).words != FieldWords::None;
}
QString label(int field) {
    return QString::fromLatin1(FieldLabel(field));
}
}  // namespace

std::variant<Equipment, QString> CellEditResult(const Equipment& before, int field,
                                                const QString& typed) {
    Equipment after = before;
    const QByteArray utf8 = typed.toUtf8();
    if (!SettableInBulk(field)) {
        // The name and the last part are texts of any length.
        std::optional<std::string> bytes =
            Utf8ToCodePage(std::string_view(utf8.constData(), utf8.size()));
        if (!bytes)
            return QStringLiteral("%1 takes the characters of the Windows-1252 code page.")
                .arg(label(field));
        after.setText(field, *bytes);
        return after;
    }
    std::optional<std::string> bytes =
        Utf8ToCodePage(std::string_view(utf8.constData(), utf8.size()));
    ValueChangeRead read;
    if (bytes)
        read = ReadValueChange(field, *bytes);
    auto refuse = [&] {
        return QStringLiteral("\"%1\" is not a value %2 can hold. %3")
            .arg(typed, label(field), QString::fromStdString(RangeSentence(field)));
    };
    if (!bytes || !read.ok())
        return bytes && fieldKind(field) == FieldKind::Text
                   ? QString::fromStdString(CodePageToUtf8(read.error))
                   : refuse();
    const ValueChange& change = read.change;
    if (change.kind == ValueChange::Kind::SetText) {
        after.setText(field, change.text);
        return after;
    }
    // One cell takes one value; steps over many records are Set value's.
    if (change.kind != ValueChange::Kind::Set)
        return refuse();
    const auto [low, high] = BulkRange(field);
    if (change.number < low || change.number > high)
        return refuse();
    after.setNumber(field, change.number);
    return after;
}

std::optional<QString> CommitCell(EditorSession& session, std::int32_t position, int field,
                                  const QString& typed) {
    if (position < 1 || position > session.equipments().Count())
        return std::nullopt;
    // As the properties window refuses it.
    if (position == 1)
        return QStringLiteral("Can't update equipment number 0");
    const Equipment before = *session.equipments().Item(position);
    std::variant<Equipment, QString> result = CellEditResult(before, field, typed);
    if (const QString* why = std::get_if<QString>(&result))
        return *why;
    const Equipment& after = std::get<Equipment>(result);
    if (after == before)
        return std::nullopt;
    Document& document = session.document();
    document.undoStack()->push(
        new UpdateCommand(document, position, before, after,
                          QStringLiteral("Set %1 of record %2").arg(label(field)).arg(position)));
    return std::nullopt;
}

CellEditor::CellEditor(Grid& grid, EditorSession& session)
    : QObject(&grid), mGrid(grid), mSession(session) {
    setObjectName(QStringLiteral("CellEditor"));
    connect(&grid, &Grid::EditKey, this, &CellEditor::begin);
    // Rows that go or move take the edited cell with them.
    QAbstractItemModel* model = grid.model();
    connect(model, &QAbstractItemModel::modelReset, this, &CellEditor::cancel);
    connect(model, &QAbstractItemModel::layoutChanged, this, &CellEditor::cancel);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &CellEditor::cancel);
}

void CellEditor::begin(int row, int col, const QString& typed) {
    if (editing() && !commit())
        return;
    const std::int32_t position = mdlGeneral::PositionOfRow(row);
    if (position < 1 || col < mGrid.FixedCols() || col >= kFieldCount || mGrid.isColumnHidden(col))
        return;
    mPosition = position;
    mField = col;
    mRefusal.clear();
    mGrid.scrollToCell(row, col);
    QWidget* viewport = mGrid.view()->viewport();
    const Equipment& e = *mSession.equipments().Item(position);
    if (coded(col)) {
        auto* combo = new QComboBox(viewport);
        std::size_t count = 0;
        const std::string* words = WordsOf(fieldInfo(col).words, &count);
        for (std::size_t i = 0; i < count; ++i)
            combo->addItem(FromCodePage(words[i]), static_cast<qlonglong>(i));
        const std::int64_t code = e.number(col);
        int index = combo->findData(static_cast<qlonglong>(code));
        if (index < 0) {
            // A code without a word stays choosable as it is.
            combo->addItem(QString::number(code), static_cast<qlonglong>(code));
            index = combo->count() - 1;
        }
        combo->setCurrentIndex(index);
        if (!typed.isEmpty()) {
            const int match = combo->findText(typed, Qt::MatchStartsWith);
            if (match >= 0)
                combo->setCurrentIndex(match);
        }
        mEditor = combo;
    } else {
        auto* box = new QLineEdit(viewport);
        box->setFrame(false);
        box->setText(typed.isEmpty() ? FromCodePage(FieldValueText(e, col)) : typed);
        if (typed.isEmpty())
            box->selectAll();
        mEditor = box;
    }
    mEditor->setObjectName(QStringLiteral("CellEdit"));
    mEditor->setAccessibleName(QString::fromLatin1(fieldInfo(col).heading));
    QRect cell = mGrid.cellRect(row, col);
    // A narrow column still takes a few digits or the longest word in sight.
    const int least = coded(col)
                          ? mEditor->sizeHint().width()
                          : mEditor->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 8;
    cell.setWidth(std::max(cell.width(), least));
    mEditor->setGeometry(cell);
    mEditor->installEventFilter(this);
    mEditor->show();
    mEditor->setFocus(Qt::OtherFocusReason);
}

QString CellEditor::typedText() const {
    if (auto* combo = qobject_cast<QComboBox*>(mEditor.data()))
        return QString::number(combo->currentData().toLongLong());
    if (auto* box = qobject_cast<QLineEdit*>(mEditor.data()))
        return box->text();
    return {};
}

bool CellEditor::commit() {
    if (!editing())
        return true;
    const QString typed = typedText();
    const std::int32_t position = mPosition;
    const int field = mField;
    // The command's signals would cancel the editor while it is read.
    close();
    if (std::optional<QString> why = CommitCell(mSession, position, field, typed)) {
        mRefusal = *why;
        emit refused(mRefusal);
        // Open again on what was typed, so that it can be put right.
        const int row = mdlGeneral::RowOfPosition(position);
        if (row >= 1 && position != 1) {
            begin(row, field, typed);
            mRefusal = *why;
            if (mEditor)
                QToolTip::showText(mEditor->mapToGlobal(QPoint(0, mEditor->height())), *why,
                                   mEditor);
        }
        return false;
    }
    mRefusal.clear();
    return true;
}

void CellEditor::cancel() {
    if (editing())
        close();
}

void CellEditor::close() {
    if (!mEditor || mClosing)
        return;
    mClosing = true;
    QWidget* editor = mEditor;
    mEditor = nullptr;
    editor->removeEventFilter(this);
    editor->hide();
    editor->deleteLater();
    mGrid.setFocus(Qt::OtherFocusReason);
    mClosing = false;
}

void CellEditor::moveOn(int step) {
    const std::int32_t position = mPosition;
    const int field = mField;
    if (!commit())
        return;
    const int next = mGrid.shownColumnNext(field, step);
    const int row = mdlGeneral::RowOfPosition(position);
    if (next < mGrid.FixedCols() || row < 1)
        return;
    mGrid.setCurrentColumn(next);
    begin(row, next, QString());
}

bool CellEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched != mEditor)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                commit();
                return true;
            case Qt::Key_Escape:
                cancel();
                return true;
            case Qt::Key_Tab:
                moveOn(+1);
                return true;
            case Qt::Key_Backtab:
                moveOn(-1);
                return true;
            default:
                return false;
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // The list's keys (Delete, Ctrl+C, Ctrl+Z) belong to the editor while it is open.
        event->accept();
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        auto* focus = static_cast<QFocusEvent*>(event);
        // A drop-down's own list takes the focus while it is open.
        if (focus->reason() != Qt::PopupFocusReason && !mClosing) {
            const std::int32_t position = mPosition;
            const int field = mField;
            const QString typed = typedText();
            close();
            if (std::optional<QString> why = CommitCell(mSession, position, field, typed)) {
                mRefusal = *why;
                emit refused(mRefusal);
            }
        }
    }
    return false;
}

}  // namespace kestrel::ui
