#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "model/EquipmentComparison.h"

namespace kestrel::ui {

class Document;

// The differences between this list and another, one row each, for the
// comparison window. Cells are rendered from the two lists when shown, so
// tens of thousands of rows cost no more than the comparison itself.
//
// Columns: the record (named by its position in the list it is in), what
// kind of difference it is, then one per field that changed anywhere. A
// changed field shows "this → other" and is marked; other cells show the
// record's own value.
class ComparisonModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { RecordColumn, KindColumn, FirstFieldColumn };
    // A listing's headings, the merge's too: rows numbered from 1, then
    // "Record", the kind column's heading, and the label of the field a
    // column shows (-1 for none).
    static QVariant heading(int section, Qt::Orientation orientation, int role,
                            const QString& kindHeading, int field);
    // How a cell that holds a change is marked out.
    static QVariant changeFont();
    // True for a cell whose field differs between the two records.
    static constexpr int ChangedRole = Qt::UserRole + 1;

    // here: the open list, which a load replaces; there: the other pair.
    ComparisonModel(const Document& here, const Equipments& there, QObject* parent = nullptr);

    // A new comparison of the two lists; the rows follow it and the filter.
    void setComparison(EquipmentComparison comparison);
    const EquipmentComparison& comparison() const { return mComparison; }
    // Which kinds of difference are listed.
    void setShown(bool changed, bool onlyHere, bool onlyThere);

    const RecordDifference& differenceAt(int row) const;
    // The field a column shows, or -1 for the first two.
    int fieldAt(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void rebuildRows();
    QString cellText(const RecordDifference& d, int field) const;
    // Whether the records a row names are still in the lists: between a
    // change of the list and the next comparison they may not be.
    bool inLists(const RecordDifference& d) const;
    const Equipments& here() const;

    const Document& mHere;
    const Equipments& mThere;
    EquipmentComparison mComparison;
    std::vector<int> mFields;  // the changed fields, in field order
    std::vector<int> mRows;    // indexes into mComparison.differences
    bool mShowChanged = true;
    bool mShowOnlyHere = true;
    bool mShowOnlyThere = true;
};

// A record as the editor names it: record 12 (N 298, "Tiger I").
QString RecordName(std::int32_t position, const Equipment& equipment);

}  // namespace kestrel::ui
