#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::ui {

// The grid's rows as compact byte strings: each row keeps its cells joined
// by tabs plus the offset where each cell ends, so a cell is found in
// constant time. Grid row 0 is the heading row and feeds the horizontal
// header; model row r is grid row r + 1.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    int gridRows() const { return static_cast<int>(mRows.size()); }
    int cols() const { return mCols; }
    void setCols(int n);
    void setGridRows(int n);
    void addItem(const std::string& text, int index);
    void removeItem(int index);
    std::string cell(int row, int col) const;
    QString displayCell(int row, int col) const;
    void setColAlignment(int col, int alignment);
    int colAlignment(int col) const;

    // While notifications are suspended the model changes without telling
    // the views; resuming resets them once.
    void setNotify(bool on);
    bool notify() const { return mNotify; }

private:
    struct Row {
        std::string text;
        std::vector<std::uint32_t> ends;  // one per column present
    };
    static Row makeRow(const std::string& text, int cols);
    std::string_view cellView(int row, int col) const;

    std::vector<Row> mRows;
    std::vector<int> mAlignment;
    int mCols = 0;
    bool mNotify = true;
};

}  // namespace kestrel::ui
