#include "ui/compare/MergeModel.h"

#include <QBrush>

#include "model/FieldText.h"
#include "ui/compare/ComparisonModel.h"
#include "ui/platform/CodePageText.h"

namespace kestrel::ui {

namespace {
const std::vector<std::size_t> kNone;

QColor conflictColour() {
    return QColor(200, 0, 0);
}
}  // namespace

QColor MergeModel::modColour(int k) {
    // Light enough for black text, far enough apart to tell at a glance.
    static const QColor palette[] = {QColor(178, 214, 255), QColor(186, 235, 176),
                                     QColor(255, 214, 160), QColor(232, 196, 250),
                                     QColor(255, 240, 140), QColor(170, 232, 226)};
    constexpr int size = static_cast<int>(sizeof(palette) / sizeof(palette[0]));
    return palette[((k % size) + size) % size];
}

MergeModel::MergeModel(QStringList modNames, QObject* parent)
    : QAbstractTableModel(parent), mNames(std::move(modNames)) {}

void MergeModel::setMerge(const EquipmentMerge* merge) {
    beginResetModel();
    mMerge = merge;
    mFields.clear();
    mConflictsOf.clear();
    mRemovalConflict.clear();
    mResult = merge ? merge->result(true) : MergedList();
    if (merge) {
        const auto& entries = merge->entries();
        mConflictsOf.assign(entries.size(), {});
        mRemovalConflict.assign(entries.size(), -1);
        FieldMask columns = 0;
        for (const MergeEntry& e : entries) {
            // An added record sets every field; only its conflicts make columns.
            columns |= e.added() ? e.conflicts : e.fields;
        }
        const auto& conflicts = merge->conflicts();
        for (std::size_t c = 0; c < conflicts.size(); ++c) {
            if (conflicts[c].kind == MergeConflict::Kind::TrailingBytes)
                continue;
            mConflictsOf[conflicts[c].entry].push_back(c);
            if (conflicts[c].kind == MergeConflict::Kind::RemovedAndChanged)
                mRemovalConflict[conflicts[c].entry] = static_cast<int>(c);
        }
        for (int f = 0; f < kFieldCount; ++f) {
            if (columns & fieldBit(f))
                mFields.push_back(f);
        }
    }
    rebuildRows();
    endResetModel();
}

void MergeModel::choicesChanged() {
    if (!mMerge)
        return;
    mResult = mMerge->result(true);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void MergeModel::setShown(bool withConflicts, bool withoutConflicts) {
    beginResetModel();
    mShowConflicts = withConflicts;
    mShowOthers = withoutConflicts;
    rebuildRows();
    endResetModel();
}

void MergeModel::rebuildRows() {
    mRows.clear();
    if (!mMerge)
        return;
    const std::size_t count = mMerge->entries().size();
    mRows.reserve(count);
    for (std::size_t e = 0; e < count; ++e) {
        const bool conflicting = !mConflictsOf[e].empty();
        if (conflicting ? mShowConflicts : mShowOthers)
            mRows.push_back(e);
    }
}

const std::vector<std::size_t>& MergeModel::conflictsOf(std::size_t entry) const {
    return entry < mConflictsOf.size() ? mConflictsOf[entry] : kNone;
}

int MergeModel::fieldAt(int column) const {
    const int k = column - FirstFieldColumn;
    return k >= 0 && k < static_cast<int>(mFields.size()) ? mFields[static_cast<std::size_t>(k)]
                                                          : -1;
}

int MergeModel::conflictAt(int row, int column) const {
    if (!mMerge || row < 0 || row >= rowCount())
        return -1;
    const std::size_t entry = entryAt(row);
    if (column == KindColumn)
        return mRemovalConflict[entry];
    const int field = fieldAt(column);
    if (field < 0)
        return -1;
    for (std::size_t c : mConflictsOf[entry]) {
        const MergeConflict& conflict = mMerge->conflicts()[c];
        if (conflict.kind == MergeConflict::Kind::Field && conflict.field == field)
            return static_cast<int>(c);
    }
    return -1;
}

int MergeModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(mRows.size());
}

int MergeModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FirstFieldColumn + static_cast<int>(mFields.size());
}

QString MergeModel::valueOf(const Equipment* record, int field) const {
    return record ? FromCodePage(FieldValueText(*record, field)) : QString();
}

QString MergeModel::kindText(const MergeEntry& e) const {
    QStringList removedBy, changedBy, addedBy;
    for (int k = 0; k < mMerge->modCount(); ++k) {
        const auto kk = static_cast<std::size_t>(k);
        if (e.added()) {
            if (e.partners[kk])
                addedBy << mNames[k];
        } else if (e.partners[kk] == 0) {
            removedBy << mNames[k];
        } else if (e.changed[kk]) {
            changedBy << mNames[k];
        }
    }
    const QString comma = QStringLiteral(", ");
    if (e.added())
        return QStringLiteral("added by %1").arg(addedBy.join(comma));
    QStringList parts;
    if (!changedBy.isEmpty())
        parts << QStringLiteral("changed by %1").arg(changedBy.join(comma));
    if (!removedBy.isEmpty())
        parts << QStringLiteral("removed by %1").arg(removedBy.join(comma));
    return parts.join(QStringLiteral("; "));
}

QString MergeModel::conflictTip(const MergeConflict& c) const {
    const MergeEntry& e = mMerge->entries()[c.entry];
    QStringList values;
    if (c.kind == MergeConflict::Kind::RemovedAndChanged) {
        for (int k : c.mods) {
            values << QStringLiteral("%1 %2").arg(mNames[k], mMerge->modRecord(e, k)
                                                                 ? QStringLiteral("changes it")
                                                                 : QStringLiteral("removes it"));
        }
    } else {
        if (!e.added())
            values << QStringLiteral("base %1").arg(valueOf(mMerge->baseRecord(e), c.field));
        for (int k : c.mods)
            values << QStringLiteral("%1 %2").arg(mNames[k],
                                                  valueOf(mMerge->modRecord(e, k), c.field));
    }
    return QStringLiteral("Conflict: %1. Click to choose.").arg(values.join(QStringLiteral(", ")));
}

QString MergeModel::cellText(std::size_t entry, int field) const {
    const std::int32_t r = mResult.recordOfEntry[entry];
    return r < 0 ? QString() : valueOf(&mResult.records[static_cast<std::size_t>(r)], field);
}

QVariant MergeModel::data(const QModelIndex& index, int role) const {
    if (!mMerge || !index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const std::size_t entry = entryAt(index.row());
    const MergeEntry& e = mMerge->entries()[entry];
    const int field = fieldAt(index.column());
    const int conflict = conflictAt(index.row(), index.column());
    const int choice = conflict >= 0 ? mMerge->choice(static_cast<std::size_t>(conflict)) : 0;
    const std::int32_t r = mResult.recordOfEntry[entry];
    int source = kFromBase;
    if (conflict >= 0 && choice == kNoChoice)
        source = kNoChoice;
    else if (field >= 0 && r >= 0)
        source = mResult.from[static_cast<std::size_t>(r)][static_cast<std::size_t>(field)];
    else if (index.column() == KindColumn && conflict >= 0)
        source = choice;
    switch (role) {
        case Qt::DisplayRole:
            if (index.column() == RecordColumn) {
                if (!e.added())
                    return RecordName(e.base, *mMerge->baseRecord(e));
                for (int k = 0; k < mMerge->modCount(); ++k) {
                    // Its position is the adding mod's, which the name says.
                    if (const Equipment* added = mMerge->modRecord(e, k))
                        return RecordName(e.partners[static_cast<std::size_t>(k)], *added) +
                               QStringLiteral(" in %1").arg(mNames[k]);
                }
                return {};
            }
            if (index.column() == KindColumn) {
                const QString kind = kindText(e);
                if (conflict < 0)
                    return r < 0 ? kind + QStringLiteral(": removed") : kind;
                if (choice == kNoChoice)
                    return QStringLiteral("\u26a0 ") + kind;
                return QStringLiteral("\u2713 ") + kind +
                       (r < 0 ? QStringLiteral(": removed") : QStringLiteral(": kept"));
            }
            if (conflict >= 0 && choice == kNoChoice) {
                // Each side's value until one is chosen.
                const MergeConflict& c = mMerge->conflicts()[static_cast<std::size_t>(conflict)];
                QStringList values;
                if (!e.added())
                    values << valueOf(mMerge->baseRecord(e), field);
                for (int k : c.mods)
                    values << valueOf(mMerge->modRecord(e, k), field);
                return QStringLiteral("\u26a0 ") + values.join(QStringLiteral(" | "));
            }
            if (conflict >= 0)
                return QStringLiteral("\u2713 ") + cellText(entry, field);
            return cellText(entry, field);
        case Qt::ToolTipRole:
            if (conflict >= 0) {
                QString tip = conflictTip(mMerge->conflicts()[static_cast<std::size_t>(conflict)]);
                if (choice != kNoChoice)
                    tip += QStringLiteral(" Chosen: %1.")
                               .arg(choice == kFromBase ? QStringLiteral("base") : mNames[choice]);
                return tip;
            }
            if (field >= 0 && source >= 0)
                return QStringLiteral("From %1").arg(mNames[source]);
            return {};
        case SourceRole:
            return source;
        case ConflictRole:
            return conflict;
        case Qt::BackgroundRole:
            if (source == kNoChoice)
                return QBrush(QColor(255, 220, 220));
            if (index.column() >= FirstFieldColumn && source >= 0)
                return QBrush(modColour(source));
            return {};
        case Qt::ForegroundRole:
            if (source == kNoChoice)
                return QBrush(conflictColour());
            return source >= 0 && index.column() >= FirstFieldColumn ? QBrush(QColor(0, 0, 0))
                                                                     : QVariant();
        case Qt::FontRole:
            return conflict < 0 ? QVariant() : ComparisonModel::changeFont();
        default:
            return {};
    }
}

QVariant MergeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return ComparisonModel::heading(section, orientation, role, QStringLiteral("Mods"),
                                    fieldAt(section));
}

}  // namespace kestrel::ui
