#include "ui/properties/FieldControls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>

#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "model/ValueChange.h"
#include "text/CodePage.h"
#include "text/NumberReaders.h"

namespace kestrel::ui {

namespace {

// The code a combo box showed as a bare number because it has no item for
// it, so that committing it untouched gives the same code back.
const char kShownCode[] = "kestrelShownCode";
// The digits of a country mask that names no country, shown with no item
// selected; committed untouched, the record keeps the mask it was read with.
const char kShownMask[] = "kestrelShownMask";

QLineEdit* boxOf(QWidget* control) {
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->lineEdit();
    return qobject_cast<QLineEdit*>(control);
}

void showMask(QComboBox* combo, const QString& digits) {
    combo->setCurrentIndex(-1);
    combo->setEditText(digits);
    combo->setProperty(kShownCode, QVariant());
    combo->setProperty(kShownMask, digits);
    if (QLineEdit* box = combo->lineEdit())
        box->setModified(false);
}

void showCode(QComboBox* combo, std::int64_t code) {
    combo->setProperty(kShownMask, QVariant());
    if (code >= 0 && code < combo->count()) {
        combo->setCurrentIndex(static_cast<int>(code));
        combo->setProperty(kShownCode, QVariant());
    } else {
        combo->setCurrentIndex(-1);
        combo->setEditText(QString::number(code));
        combo->setProperty(kShownCode, QVariant::fromValue<qlonglong>(code));
    }
    if (QLineEdit* box = combo->lineEdit())
        box->setModified(false);
}

QWidget* controlOf(QWidget* window, int field) {
    const char* name = fieldInfo(field).control;
    if (!*name)
        return nullptr;
    return window->findChild<QWidget*>(QLatin1String(name));
}

class Reader {
public:
    std::optional<FieldRefusal> refusal;
    int field = 0;  // the field being read

    std::int64_t whole(QLineEdit* box) {
        const QLocale locale = QLocale::system();
        NumberSeparators separators{locale.decimalPoint().toStdString(),
                                    locale.groupSeparator().toStdString()};
        auto v = ReadWholeNumber(box->text().toStdString(), separators);
        if (!v)
            refuse(box, box->text());
        return v.value_or(0);
    }
    std::int64_t leading(QLineEdit* box, bool byte) {
        auto v = ReadLeadingNumber(box->text().toStdString());
        if (!v || (byte ? !FitsByte(*v) : !FitsLong(*v))) {
            refuse(box, box->text());
            return 0;
        }
        return *v;
    }
    // True when the combo still shows the record's unknown mask untouched.
    static bool showsKeptMask(QComboBox* combo) {
        const QVariant shown = combo->property(kShownMask);
        return shown.isValid() && combo->currentIndex() < 0 &&
               combo->currentText() == shown.toString();
    }
    std::int64_t selected(QComboBox* combo) {
        const QString text = combo->currentText();
        int index = combo->currentIndex();
        if (index < 0 || combo->itemText(index) != text)
            index = combo->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (index >= 0)
            return index;
        const QVariant shown = combo->property(kShownCode);
        if (shown.isValid() && text == QString::number(shown.toLongLong()))
            return shown.toLongLong();
        refuse(combo, text);
        return 0;
    }
    std::string text(QLineEdit* box) {
        auto bytes = Utf8ToCodePage(box->text().toStdString());
        if (!bytes)
            refuse(box, box->text());
        return bytes.value_or(std::string());
    }

private:
    void refuse(QWidget* control, const QString& value) {
        if (!refusal)
            refusal = FieldRefusal{control, control->accessibleName(), value, field};
    }
};

}  // namespace

void ShowFields(QWidget* window, const Equipment& e, bool keepEdits) {
    for (int f = 0; f < kFieldCount; ++f) {
        QWidget* control = controlOf(window, f);
        if (!control)
            continue;
        QLineEdit* box = boxOf(control);
        if (keepEdits && box && box->isModified())
            continue;
        const FieldInfo& info = fieldInfo(f);
        if (info.reading == FieldReading::Selected) {
            auto* combo = qobject_cast<QComboBox*>(control);
            if (combo && f == static_cast<int>(Field::Country) && e.hasUnknownMask())
                showMask(combo, QString::fromStdString(CountryMaskText(*e.MaskAsRead())));
            else if (combo)
                showCode(combo, e.number(f));
        } else if (box) {
            box->setText(info.kind == FieldKind::Text
                             ? QString::fromStdString(CodePageToUtf8(e.text(f)))
                             : QString::number(e.number(f)));
        }
    }
}

void ForgetEdits(QWidget* window) {
    for (int f = 0; f < kFieldCount; ++f) {
        if (QLineEdit* box = boxOf(controlOf(window, f)))
            box->setModified(false);
    }
}

QString RefusalMessage(const FieldRefusal& refusal) {
    const QString label = QString::fromLatin1(FieldLabel(refusal.field));
    QString takes;
    switch (fieldInfo(refusal.field).reading) {
        case FieldReading::Selected:
            takes = QStringLiteral("%1 takes one of the words in its list.").arg(label);
            break;
        case FieldReading::Text:
            takes =
                QStringLiteral("%1 takes the characters of the Windows-1252 code page.").arg(label);
            break;
        default:
            takes = QString::fromStdString(RangeSentence(refusal.field));
            break;
    }
    return QStringLiteral("%1: \"%2\" is not a value this property can hold. %3")
        .arg(refusal.caption, refusal.value, takes);
}

FieldReadResult ReadFields(QWidget* window, const Equipment& base) {
    FieldReadResult result{base, std::nullopt};
    Reader r;
    for (int f = 0; f < kFieldCount && !r.refusal; ++f) {
        QWidget* control = controlOf(window, f);
        if (!control)
            continue;
        QLineEdit* box = boxOf(control);
        r.field = f;
        switch (fieldInfo(f).reading) {
            case FieldReading::None:
                break;
            case FieldReading::Whole:
                result.values.setNumber(f, r.whole(box));
                break;
            case FieldReading::LeadingByte:
                result.values.setNumber(f, r.leading(box, true));
                break;
            case FieldReading::LeadingLong:
                result.values.setNumber(f, r.leading(box, false));
                break;
            case FieldReading::Selected:
                if (auto* combo = qobject_cast<QComboBox*>(control);
                    combo && !Reader::showsKeptMask(combo))
                    result.values.setNumber(f, r.selected(combo));
                break;
            case FieldReading::Text:
                result.values.setText(f, r.text(box));
                break;
        }
    }
    result.refusal = r.refusal;
    return result;
}

}  // namespace kestrel::ui
