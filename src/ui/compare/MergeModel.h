#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <vector>

#include "model/EquipmentMerge.h"

namespace kestrel::ui {

// The records a merge of mods touches, one row each, for the merge window.
// Cells are rendered from the merge and its result when shown.
//
// Columns: the record (named by its position in the base, an added one by
// its position in the first mod adding it), what the mods did to it, then
// one per field any mod changed in a base record or took part in a conflict
// over. A cell shows the value the merge gives, coloured for the mod it
// comes from; a conflict is marked, and until it is settled shows each
// mod's value.
class MergeModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { RecordColumn, KindColumn, FirstFieldColumn };
    // The source of a cell's value: kFromBase, a mod, or kNoChoice for a
    // conflict nobody settled.
    static constexpr int SourceRole = Qt::UserRole + 1;
    // The conflict a cell shows (an index into the merge's conflicts), or -1.
    static constexpr int ConflictRole = Qt::UserRole + 2;

    // modNames[k] names mod k in the cells and the tooltips.
    explicit MergeModel(QStringList modNames, QObject* parent = nullptr);

    // A new merge (null for none); the rows follow it and the filter.
    void setMerge(const EquipmentMerge* merge);
    // The merge's choices changed: its result is worked out again.
    void choicesChanged();
    // Which rows are listed: those with a conflict, those without.
    void setShown(bool withConflicts, bool withoutConflicts);

    // The merge's records of the entries only (untouched records left out).
    const MergedList& result() const { return mResult; }
    // The entry of the merge a row shows.
    std::size_t entryAt(int row) const { return mRows.at(static_cast<std::size_t>(row)); }
    // The field a column shows, or -1 for the first two.
    int fieldAt(int column) const;
    // The conflict of a cell: the field's in a field column, the removal's in
    // the kind column; -1 for none.
    int conflictAt(int row, int column) const;
    // The conflicts of an entry, any kind.
    const std::vector<std::size_t>& conflictsOf(std::size_t entry) const;
    const QString& modName(int k) const { return mNames[k]; }

    // The colour of the values a mod gave; mods past the palette repeat it.
    static QColor modColour(int k);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void rebuildRows();
    QString cellText(std::size_t entry, int field) const;
    QString kindText(const MergeEntry& e) const;
    QString conflictTip(const MergeConflict& c) const;
    // The value of field as a list holds it, the way the grid shows it.
    QString valueOf(const Equipment* record, int field) const;

    QStringList mNames;
    const EquipmentMerge* mMerge = nullptr;
    MergedList mResult;
    std::vector<int> mFields;  // the columns' fields, in field order
    std::vector<std::size_t> mRows;
    // Per entry, its conflicts; per (entry, field), the field's or -1.
    std::vector<std::vector<std::size_t>> mConflictsOf;
    std::vector<int> mRemovalConflict;
    bool mShowConflicts = true;
    bool mShowOthers = true;
};

}  // namespace kestrel::ui
