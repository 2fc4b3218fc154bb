#pragma once

#include <QAbstractTableModel>

namespace kestrel::ui {

class Document;

// The list as a table: row r is the document's record r + 1, one column per
// field. Cells are rendered from the record when asked, so no copy of the
// texts is kept; the document emits the change signals.
class EquipmentTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Cell and heading bytes in the files' code page, as a QByteArray.
    static constexpr int BytesRole = Qt::UserRole + 1;

    explicit EquipmentTableModel(Document& document);

    // Without the base class's two virtual calls for the bounds: the
    // sorted view asks for two indexes per comparison of its sort.
    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    friend class Document;
    Document& mDocument;
};

}  // namespace kestrel::ui
