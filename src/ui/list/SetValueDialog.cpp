#include "ui/list/SetValueDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUndoStack>
#include <algorithm>

#include "model/FieldText.h"
#include "model/ValueChange.h"
#include "text/CodePage.h"
#include "ui/document/Document.h"
#include "ui/document/RecordCount.h"
#include "ui/list/FieldTitles.h"
#include "ui/list/SetValueCommand.h"
#include "ui/mdlGeneral.h"

namespace kestrel::ui {

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

    const std::int64_t count = static_cast<std::int64_t>(mPositions.size());
    const bool first = !mPositions.empty() && mPositions.front() == 1;
    QString scope = QStringLiteral("Changes %1.").arg(RecordCount(first ? count - 1 : count));
    if (first)
        scope += QStringLiteral(" The first record of the list is selected; it is never changed.");
    auto* scopeLabel = new QLabel(scope, this);
    scopeLabel->setObjectName(QStringLiteral("lblScope"));
    scopeLabel->setWordWrap(true);
    form->addRow(scopeLabel);

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
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
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
    const int field = mField->currentData().toInt();
    const QByteArray utf8 = mValue->text().toUtf8();
    std::optional<std::string> bytes =
        Utf8ToCodePage(std::string_view(utf8.constData(), utf8.size()));
    if (!bytes) {
        refuse(QStringLiteral("The value holds a character the files cannot hold."));
        return false;
    }
    const BitMode bits = mHow->currentIndex() == 1   ? BitMode::Set
                         : mHow->currentIndex() == 2 ? BitMode::Clear
                                                     : BitMode::None;
    ValueChangeRead read = ReadValueChange(field, *bytes, bits);
    if (!read.ok()) {
        refuse(QString::fromStdString(CodePageToUtf8(read.error)));
        return false;
    }
    Document& document = mdlGeneral::document();
    BulkResult result = ApplyValueChange(read.change, document.equipments(), mPositions);
    if (!result.ok()) {
        refuse(QString::fromStdString(CodePageToUtf8(result.error)));
        return false;
    }
    // Records that already hold the value are left out; nothing to change, no step.
    const Equipments& list = document.equipments();
    auto& values = result.values;
    values.erase(std::remove_if(values.begin(), values.end(),
                                [&](const auto& entry) {
                                    return list.Item(entry.first)->number(field) == entry.second;
                                }),
                 values.end());
    auto& texts = result.texts;
    texts.erase(std::remove_if(texts.begin(), texts.end(),
                               [&](const auto& entry) {
                                   return list.Item(entry.first)->text(field) == entry.second;
                               }),
                texts.end());
    if (!result.values.empty())
        document.undoStack()->push(new SetValueCommand(document, field, std::move(result.values)));
    else if (!result.texts.empty())
        document.undoStack()->push(new SetValueCommand(document, field, std::move(result.texts)));
    return true;
}

}  // namespace kestrel::ui
