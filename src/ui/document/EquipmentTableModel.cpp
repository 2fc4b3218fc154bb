#include "ui/document/EquipmentTableModel.h"

#include <string>

#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "text/NumberReaders.h"
#include "ui/document/Document.h"
#include "ui/platform/CodePageText.h"

namespace kestrel::ui {

EquipmentTableModel::EquipmentTableModel(Document& document)
    : QAbstractTableModel(&document), mDocument(document) {}

QModelIndex EquipmentTableModel::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || column < 0 || column >= kFieldCount ||
        row >= mDocument.equipments().Count())
        return {};
    return createIndex(row, column);
}

int EquipmentTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : mDocument.equipments().Count();
}

int EquipmentTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFieldCount;
}

QVariant EquipmentTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kFieldCount)
        return {};
    if (role != Qt::DisplayRole && role != BytesRole && role != Qt::TextAlignmentRole)
        return {};
    const int field = index.column();
    if (role == Qt::TextAlignmentRole && field == static_cast<int>(Field::EqName))
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignTop));
    const Equipment& e = *mDocument.equipments().Item(index.row() + 1);
    const std::string text = FieldValueText(e, field);
    if (role == BytesRole)
        return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    if (role == Qt::DisplayRole)
        return FromCodePage(text);
    return QVariant::fromValue(Qt::Alignment(
        (IsPlainWholeNumber(text) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
}

QVariant EquipmentTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= kFieldCount)
        return {};
    const char* heading = fieldInfo(section).heading;
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromLatin1(heading);
        case BytesRole:
            return QByteArray(heading);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return {};
    }
}

}  // namespace kestrel::ui
