#include "ui/compare/ComparisonModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "check/Problem.h"
#include "model/FieldText.h"
#include "ui/document/Document.h"
#include "ui/platform/CodePageText.h"

namespace kestrel::ui {

namespace {
const QString kArrow = QStringLiteral(" \u2192 ");

QString valueText(const Equipment& e, int field) {
    return FromCodePage(FieldValueText(e, field));
}
}  // namespace

QString RecordName(std::int32_t position, const Equipment& equipment) {
    return QStringLiteral("record %1 (N %2, \"%3\")")
        .arg(position)
        .arg(equipment.EqCode())
        .arg(FromCodePage(SpelledOut(equipment.EqName())));
}

ComparisonModel::ComparisonModel(const Document& here, const Equipments& there, QObject* parent)
    : QAbstractTableModel(parent), mHere(here), mThere(there) {}

void ComparisonModel::setComparison(EquipmentComparison comparison) {
    beginResetModel();
    mComparison = std::move(comparison);
    FieldMask changed = 0;
    for (const auto& d : mComparison.differences)
        changed |= d.fields;
    mFields.clear();
    for (int f = 0; f < kFieldCount; ++f) {
        if (changed & fieldBit(f))
            mFields.push_back(f);
    }
    rebuildRows();
    endResetModel();
}

void ComparisonModel::setShown(bool changed, bool onlyHere, bool onlyThere) {
    beginResetModel();
    mShowChanged = changed;
    mShowOnlyHere = onlyHere;
    mShowOnlyThere = onlyThere;
    rebuildRows();
    endResetModel();
}

void ComparisonModel::rebuildRows() {
    mRows.clear();
    const auto& all = mComparison.differences;
    mRows.reserve(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        const DifferenceKind kind = all[i].kind;
        if ((kind == DifferenceKind::Changed && mShowChanged) ||
            (kind == DifferenceKind::OnlyInFirst && mShowOnlyHere) ||
            (kind == DifferenceKind::OnlyInSecond && mShowOnlyThere))
            mRows.push_back(static_cast<int>(i));
    }
}

const RecordDifference& ComparisonModel::differenceAt(int row) const {
    return mComparison.differences.at(
        static_cast<std::size_t>(mRows.at(static_cast<std::size_t>(row))));
}

int ComparisonModel::fieldAt(int column) const {
    const int k = column - FirstFieldColumn;
    return k >= 0 && k < static_cast<int>(mFields.size()) ? mFields[static_cast<std::size_t>(k)]
                                                          : -1;
}

int ComparisonModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(mRows.size());
}

int ComparisonModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FirstFieldColumn + static_cast<int>(mFields.size());
}

const Equipments& ComparisonModel::here() const {
    return mHere.equipments();
}

bool ComparisonModel::inLists(const RecordDifference& d) const {
    return d.first <= here().Count() && d.second <= mThere.Count();
}

QString ComparisonModel::cellText(const RecordDifference& d, int field) const {
    switch (d.kind) {
        case DifferenceKind::OnlyInFirst:
            return valueText(*here().Item(d.first), field);
        case DifferenceKind::OnlyInSecond:
            return valueText(*mThere.Item(d.second), field);
        case DifferenceKind::Changed:
            break;
    }
    const Equipment& mine = *here().Item(d.first);
    if (!(d.fields & fieldBit(field)))
        return valueText(mine, field);
    return valueText(mine, field) + kArrow + valueText(*mThere.Item(d.second), field);
}

QVariant ComparisonModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const RecordDifference& d = differenceAt(index.row());
    if (!inLists(d))
        return {};
    const int field = fieldAt(index.column());
    const bool changedCell = field >= 0 && (d.fields & fieldBit(field));
    switch (role) {
        case Qt::DisplayRole:
            if (index.column() == RecordColumn) {
                return d.kind == DifferenceKind::OnlyInSecond
                           ? RecordName(d.second, *mThere.Item(d.second))
                           : RecordName(d.first, *here().Item(d.first));
            }
            if (index.column() == KindColumn) {
                if (d.kind == DifferenceKind::Changed)
                    return QStringLiteral("changed");
                return d.kind == DifferenceKind::OnlyInFirst ? QStringLiteral("only here")
                                                             : QStringLiteral("only there");
            }
            return cellText(d, field);
        case Qt::ToolTipRole:
            if (index.column() == RecordColumn && d.kind == DifferenceKind::Changed &&
                d.first != d.second)
                return QStringLiteral("There it is record %1").arg(d.second);
            if (index.column() == RecordColumn && d.kind == DifferenceKind::OnlyInSecond)
                return QStringLiteral("Its position in the other list");
            return {};
        case ChangedRole:
            return changedCell;
        case Qt::BackgroundRole:
            return changedCell ? QBrush(QColor(255, 236, 160)) : QVariant();
        case Qt::ForegroundRole:
            return changedCell ? QBrush(QColor(0, 0, 0)) : QVariant();
        case Qt::FontRole:
            return changedCell ? changeFont() : QVariant();
        default:
            return {};
    }
}

QVariant ComparisonModel::heading(int section, Qt::Orientation orientation, int role,
                                  const QString& kindHeading, int field) {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section == RecordColumn)
        return QStringLiteral("Record");
    if (section == KindColumn)
        return kindHeading;
    return field >= 0 ? QVariant(QString::fromLatin1(FieldLabel(field))) : QVariant();
}

QVariant ComparisonModel::changeFont() {
    QFont bold;
    bold.setBold(true);
    return bold;
}

QVariant ComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return heading(section, orientation, role, QStringLiteral("Difference"), fieldAt(section));
}

}  // namespace kestrel::ui
