#include "ui/list/SetValueDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QUndoStack>
#include <algorithm>
#include <optional>

#include "model/FieldText.h"
#include "model/ValueChange.h"
#include "text/CodePage.h"
#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/list/FieldTitles.h"
#include "ui/list/SetValueCommand.h"
#include "ui/mdlGeneral.h"

namespace kestrel::ui {

namespace {
const char kFieldKey[] = "setValue/field";
const char kHowKey[] = "setValue/change";
const char kValueKey[] = "setValue/value";

// The settings file is written and synced to disk on every write of it,
// which took longer than the paint of the change just applied: the last
// change is kept here and written a moment later, or when the editor quits.
struct LastChange {
    QString field;
    int how = 0;
    QString value;
};
std::optional<LastChange>& unwritten() {
    static std::optional<LastChange> change;
    return change;
}
void writeLastChange() {
    std::optional<LastChange>& change = unwritten();
    if (!change)
        return;
    QSettings settings;
    settings.setValue(QLatin1String(kFieldKey), change->field);
    settings.setValue(QLatin1String(kHowKey), change->how);
    settings.setValue(QLatin1String(kValueKey), change->value);
    change.reset();
}
void rememberLastChange(LastChange change) {
    const bool waiting = unwritten().has_value();
    unwritten() = std::move(change);
    if (waiting || !QCoreApplication::instance())
        return;
    static const bool atQuit = [] {
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, writeLastChange);
        return true;
    }();
    (void)atQuit;
    constexpr int kLaterMs = 1000;
    QTimer::singleShot(kLaterMs, qApp, writeLastChange);
}
LastChange lastChange() {
    if (const std::optional<LastChange>& change = unwritten())
        return *change;
    QSettings settings;
    return {settings.value(QLatin1String(kFieldKey)).toString(),
            settings.value(QLatin1String(kHowKey)).toInt(),
            settings.value(QLatin1String(kValueKey)).toString()};
}
}  // namespace

SetValueDialog::SetValueDialog(std::vector<std::int32_t> positions, QWidget* parent)
    : QDialog(parent), mPositions(std::move(positions)) {
    setObjectName(QStringLiteral("frmSetValue"));
    setWindowTitle(QStringLiteral("Set value"));
    auto* form = new QFormLayout(this);
    // The wrapped notes below grow the dialog instead of being cut.
    form->setSizeConstraint(QLayout::SetMinimumSize);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);

    mField = new QComboBox(this);
    mField->setObjectName(QStringLiteral("cmbField"));
    mField->setAccessibleName(QStringLiteral("Field"));
    for (int f = 0; f < kFieldCount; ++f) {
        if (SettableInBulk(f))
            mField->addItem(
                QStringLiteral("%1 - %2").arg(QString::fromLatin1(FieldLabel(f)), FieldTitle(f)),
                f);
    }
    mHow = new QComboBox(this);
    mHow->setObjectName(QStringLiteral("cmbHow"));
    mHow->setAccessibleName(QStringLiteral("Change"));
    mHow->addItems({QStringLiteral("Set to the value"), QStringLiteral("Set bit"),
                    QStringLiteral("Clear bit")});
    mValue = new QLineEdit(this);
    mValue->setObjectName(QStringLiteral("txtValue"));
    mValue->setAccessibleName(QStringLiteral("Value"));
    mValue->setToolTip(QStringLiteral(
        "A value (a word for coded fields), or a change of each record's own value: +5, -5, "
        "*1.1 (halves to even). For a bit: its number, 1 to 16."));

    form->addRow(QStringLiteral("&Field:"), mField);
    form->addRow(QStringLiteral("&Change:"), mHow);
    form->addRow(QStringLiteral("&Value:"), mValue);

    mScope = new QLabel(this);
    mScope->setObjectName(QStringLiteral("lblScope"));
    mScope->setWordWrap(true);
    form->addRow(mScope);

    mMessage = new QLabel(this);
    mMessage->setObjectName(QStringLiteral("lblRefusal"));
    mMessage->setWordWrap(true);
    mMessage->setStyleSheet(QStringLiteral("color: #b00000;"));
    mMessage->hide();
    form->addRow(mMessage);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    mOk = buttons->button(QDialogButtonBox::Ok);
    mOk->setObjectName(QStringLiteral("cmdOK"));
    mOk->setAccessibleName(QStringLiteral("OK"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (tryApply())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(mField, &QComboBox::currentIndexChanged, this, &SetValueDialog::fieldChanged);
    fieldChanged();

    // The last change applied, offered again with its value selected, so
    // that typing replaces it.
    const LastChange last = lastChange();
    const int field = mField->findText(last.field + QStringLiteral(" - "),
                                       Qt::MatchStartsWith | Qt::MatchCaseSensitive);
    if (field >= 0) {
        mField->setCurrentIndex(field);
        if (mHow->isEnabled())
            mHow->setCurrentIndex(std::clamp(last.how, 0, 2));
        mValue->setText(last.value);
        mValue->selectAll();
    }
    // Another list, or other values in it, make the kept outcome stale.
    const QAbstractItemModel* list = mdlGeneral::document().model();
    auto stale = [this] { mOutcome.reset(); };
    connect(list, &QAbstractItemModel::dataChanged, this, stale);
    connect(list, &QAbstractItemModel::layoutChanged, this, stale);
    connect(list, &QAbstractItemModel::modelReset, this, stale);
    connect(list, &QAbstractItemModel::rowsInserted, this, stale);
    connect(list, &QAbstractItemModel::rowsRemoved, this, stale);
    connect(list, &QAbstractItemModel::rowsMoved, this, stale);
    connect(mField, &QComboBox::currentIndexChanged, this, &SetValueDialog::describe);
    connect(mHow, &QComboBox::currentIndexChanged, this, &SetValueDialog::describe);
    connect(mValue, &QLineEdit::textChanged, this, &SetValueDialog::describe);
    describe();
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
}

struct SetValueDialog::Outcome {
    std::int64_t considered = 0;  // the selected records the change may touch
    QString refusal;              // why the change cannot be made
    BulkResult result;            // only the records whose value changes
};

const SetValueDialog::Outcome& SetValueDialog::outcome() const {
    const int field = mField->currentData().toInt();
    const int how = mHow->currentIndex();
    const QString text = mValue->text();
    if (!mOutcome || field != mOutcomeField || how != mOutcomeHow || text != mOutcomeText) {
        mOutcome = std::make_shared<Outcome>(workOut());
        mOutcomeField = field;
        mOutcomeHow = how;
        mOutcomeText = text;
    }
    return *mOutcome;
}

SetValueDialog::Outcome SetValueDialog::workOut() const {
    Outcome out;
    const Document& document = mdlGeneral::document();
    const Equipments& list = document.equipments();
    for (std::int32_t p : mPositions)
        out.considered += p > 1 && p <= list.Count();
    const int field = mField->currentData().toInt();
    const QByteArray utf8 = mValue->text().toUtf8();
    std::optional<std::string> bytes =
        Utf8ToCodePage(std::string_view(utf8.constData(), utf8.size()));
    if (!bytes) {
        out.refusal = QStringLiteral("The value holds a character the files cannot hold.");
        return out;
    }
    const BitMode bits = mHow->currentIndex() == 1   ? BitMode::Set
                         : mHow->currentIndex() == 2 ? BitMode::Clear
                                                     : BitMode::None;
    ValueChangeRead read = ReadValueChange(field, *bytes, bits);
    if (!read.ok()) {
        out.refusal = QString::fromStdString(CodePageToUtf8(read.error));
        return out;
    }
    out.result = ApplyValueChange(read.change, list, mPositions);
    if (!out.result.ok()) {
        out.refusal = QString::fromStdString(CodePageToUtf8(out.result.error));
        return out;
    }
    // Records that already hold the value are left out: they do not change.
    // Not Item, which hands out a counted reference per record.
    auto record = [&list](std::int32_t position) -> const Equipment& {
        return **(list.begin() + (position - 1));
    };
    auto& values = out.result.values;
    values.erase(std::remove_if(values.begin(), values.end(),
                                [&](const auto& entry) {
                                    return record(entry.first).number(field) == entry.second;
                                }),
                 values.end());
    auto& texts = out.result.texts;
    texts.erase(std::remove_if(texts.begin(), texts.end(),
                               [&](const auto& entry) {
                                   return record(entry.first).text(field) == entry.second;
                               }),
                texts.end());
    return out;
}

void SetValueDialog::describe() {
    // The change box says what the value does to each record's own.
    const int field = mField->currentData().toInt();
    const QString typed = mValue->text().trimmed();
    const QByteArray utf8 = typed.toUtf8();
    const std::optional<std::string> bytes =
        Utf8ToCodePage(std::string_view(utf8.constData(), utf8.size()));
    QString words = QStringLiteral("Set to the value");
    if (bytes) {
        const ValueChangeRead read = ReadValueChange(field, *bytes);
        if (read.ok() && read.change.kind == ValueChange::Kind::Add)
            words = read.change.number < 0
                        ? QStringLiteral("Subtract %1 from each value").arg(-read.change.number)
                        : QStringLiteral("Add %1 to each value").arg(read.change.number);
        else if (read.ok() && read.change.kind == ValueChange::Kind::Scale)
            words = QStringLiteral("Multiply each value by %1").arg(typed.mid(1).trimmed());
    }
    mHow->setItemText(0, words);

    const Outcome& out = outcome();
    const std::int64_t changing =
        static_cast<std::int64_t>(out.result.values.size() + out.result.texts.size());
    const std::int64_t keeping = out.considered - changing;
    QString scope;
    if (out.considered == 0) {
        scope = QStringLiteral("No record changes.");
    } else if (typed.isEmpty() && fieldKind(field) != FieldKind::Text) {
        scope = out.considered == 1
                    ? QStringLiteral("Type a value to see whether the record changes.")
                    : QStringLiteral("Type a value to see how many of the %1 records change.")
                          .arg(out.considered);
    } else if (!out.refusal.isEmpty()) {
        scope = QStringLiteral("No record changes with this value.");
    } else {
        scope = QStringLiteral("%1 of %2 %3")
                    .arg(changing)
                    .arg(out.considered)
                    .arg(changing == 1 ? QStringLiteral("changes") : QStringLiteral("change"));
        if (keeping == 1)
            scope += QStringLiteral("; 1 keeps its value.");
        else if (keeping > 1)
            scope += QStringLiteral("; %1 keep their value.").arg(keeping);
        else
            scope += QLatin1Char('.');
    }
    if (!mPositions.empty() && mPositions.front() == 1)
        scope += QStringLiteral(" The first record of the list is selected; it is never changed.");
    mScope->setText(scope);

    // The reason shows as the value is typed, not only on OK.
    const bool refused = !out.refusal.isEmpty() && !typed.isEmpty();
    if (refused)
        mMessage->setText(out.refusal);
    if (refused != mMessage->isVisible()) {
        mMessage->setVisible(refused);
        adjustSize();
    }
}

void SetValueDialog::remember() const {
    rememberLastChange({QString::fromLatin1(FieldLabel(mField->currentData().toInt())),
                        mHow->currentIndex(), mValue->text()});
}

void SetValueDialog::fieldChanged() {
    const bool flags = mField->currentData().toInt() == static_cast<int>(Field::UnitSpecial);
    if (!flags)
        mHow->setCurrentIndex(0);
    mHow->setEnabled(flags);
}

void SetValueDialog::refuse(const QString& reason) {
    mMessage->setText(reason);
    mMessage->show();
    adjustSize();
    mValue->setFocus();
    mValue->selectAll();
}

bool SetValueDialog::tryApply() {
    outcome();
    // Taken: the values go to the command, and the list they were worked
    // out on changes with it.
    const std::shared_ptr<Outcome> taken = std::move(mOutcome);
    Outcome& out = *taken;
    if (!out.refusal.isEmpty()) {
        mOutcome = taken;
        refuse(out.refusal);
        return false;
    }
    const int field = mField->currentData().toInt();
    Document& document = mdlGeneral::document();
    // Nothing to change, no step.
    if (!out.result.values.empty())
        document.undoStack()->push(
            new SetValueCommand(document, field, std::move(out.result.values)));
    else if (!out.result.texts.empty())
        document.undoStack()->push(
            new SetValueCommand(document, field, std::move(out.result.texts)));
    remember();
    return true;
}

}  // namespace kestrel::ui
