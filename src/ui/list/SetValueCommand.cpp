#include "ui/list/SetValueCommand.h"

#include "model/FieldText.h"
#include "ui/document/Document.h"

namespace kestrel::ui {

namespace {
QString title(int field, std::size_t count) {
    return QStringLiteral("Set %1 on %2 record%3")
        .arg(QString::fromLatin1(FieldLabel(field)))
        .arg(count)
        .arg(count == 1 ? QString() : QStringLiteral("s"));
}
}  // namespace

SetValueCommand::SetValueCommand(Document& document, int field, Numbers news)
    : ListCommand(document, title(field, news.size())),
      mField(field),
      mNewNumbers(std::move(news)) {
    // Not Item, which hands out a counted reference per record.
    const auto first = document.equipments().begin();
    mOldNumbers.reserve(mNewNumbers.size());
    for (const auto& [position, value] : mNewNumbers)
        mOldNumbers.emplace_back(position, first[position - 1]->number(field));
}

SetValueCommand::SetValueCommand(Document& document, int field, Texts news)
    : ListCommand(document, title(field, news.size())), mField(field), mNewTexts(std::move(news)) {
    const Equipments& list = document.equipments();
    mOldTexts.reserve(mNewTexts.size());
    for (const auto& [position, value] : mNewTexts)
        mOldTexts.emplace_back(position, list.Item(position)->text(field));
}

void SetValueCommand::setTexts(const Texts& texts) {
    for (const auto& [position, value] : texts) {
        Equipment values = *document().equipments().Item(position);
        values.setText(mField, value);
        document().replaceRecord(position, values);
    }
}

void SetValueCommand::apply() {
    if (mNewTexts.empty())
        document().setNumbers(mField, mNewNumbers);
    else
        setTexts(mNewTexts);
}

void SetValueCommand::revert() {
    if (mOldTexts.empty())
        document().setNumbers(mField, mOldNumbers);
    else
        setTexts(mOldTexts);
}

}  // namespace kestrel::ui
