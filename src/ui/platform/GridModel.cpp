#include "ui/platform/GridModel.h"

#include <algorithm>
#include <string_view>

#include "text/CodePage.h"
#include "text/NumberReaders.h"

namespace kestrel::ui {

namespace {
QString decode(std::string_view bytes) {
    return QString::fromStdString(CodePageToUtf8(bytes));
}
}  // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

int GridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return std::max(0, gridRows() - 1);
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : mCols;
}

GridModel::Row GridModel::makeRow(const std::string& text, int cols) {
    Row row;
    std::size_t start = 0;
    for (int c = 0; c < cols; ++c) {
        std::size_t tab = text.find('\t', start);
        std::size_t end = (tab == std::string::npos) ? text.size() : tab;
        row.ends.push_back(static_cast<std::uint32_t>(end));
        if (tab == std::string::npos)
            break;
        start = tab + 1;
    }
    std::size_t keep = row.ends.empty() ? 0 : row.ends.back();
    row.text.assign(text, 0, keep);
    row.ends.shrink_to_fit();
    return row;
}

std::string_view GridModel::cellView(int row, int col) const {
    if (row < 0 || row >= gridRows() || col < 0 || col >= mCols)
        return {};
    const Row& r = mRows[static_cast<std::size_t>(row)];
    if (static_cast<std::size_t>(col) >= r.ends.size())
        return {};
    std::size_t begin = (col == 0) ? 0 : r.ends[static_cast<std::size_t>(col) - 1] + 1;
    std::size_t end = r.ends[static_cast<std::size_t>(col)];
    return std::string_view(r.text).substr(begin, end - begin);
}

std::string GridModel::cell(int row, int col) const {
    return std::string(cellView(row, col));
}

QString GridModel::displayCell(int row, int col) const {
    return decode(cellView(row, col));
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() + 1 >= gridRows() || index.column() >= mCols) {
        return {};
    }
    int row = index.row() + 1;
    if (role == Qt::DisplayRole)
        return displayCell(row, index.column());
    if (role == Qt::TextAlignmentRole) {
        int alignment = colAlignment(index.column());
        if (alignment == 0)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignTop));
        bool number = IsPlainWholeNumber(cellView(row, index.column()));
        return QVariant::fromValue(
            Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= mCols)
            return {};
        if (role == Qt::DisplayRole)
            return gridRows() > 0 ? displayCell(0, section) : QString();
        if (role == Qt::TextAlignmentRole) {
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        }
        return {};
    }
    if (role == Qt::DisplayRole)
        return section + 1;
    return {};
}

void GridModel::setCols(int n) {
    n = std::max(0, n);
    if (n == mCols)
        return;
    if (mNotify)
        beginResetModel();
    mCols = n;
    for (Row& row : mRows) {
        if (row.ends.size() > static_cast<std::size_t>(n)) {
            row.ends.resize(static_cast<std::size_t>(n));
            row.text.resize(row.ends.empty() ? 0 : row.ends.back());
        }
    }
    mAlignment.resize(static_cast<std::size_t>(n), -1);
    if (mNotify)
        endResetModel();
}

void GridModel::setGridRows(int n) {
    n = std::max(0, n);
    int old = gridRows();
    if (n == old)
        return;
    bool headerChanges = (old == 0) != (n == 0);
    int oldModel = std::max(0, old - 1), newModel = std::max(0, n - 1);
    if (n < old) {
        bool tell = mNotify && newModel < oldModel;
        if (tell)
            beginRemoveRows({}, newModel, oldModel - 1);
        mRows.resize(static_cast<std::size_t>(n));
        if (tell)
            endRemoveRows();
    } else {
        bool tell = mNotify && newModel > oldModel;
        if (tell)
            beginInsertRows({}, oldModel, newModel - 1);
        mRows.resize(static_cast<std::size_t>(n), makeRow(std::string(), mCols));
        if (tell)
            endInsertRows();
    }
    if (headerChanges && mNotify && mCols > 0) {
        emit headerDataChanged(Qt::Horizontal, 0, mCols - 1);
    }
}

void GridModel::addItem(const std::string& text, int index) {
    int rows = gridRows();
    if (index < 0 || index > rows)
        index = rows;
    Row row = makeRow(text, mCols);
    if (index == 0) {
        // A new heading row pushes the old one into the records.
        bool tell = mNotify && rows >= 1;
        if (tell)
            beginInsertRows({}, 0, 0);
        mRows.insert(mRows.begin(), std::move(row));
        if (tell)
            endInsertRows();
        if (mNotify && mCols > 0)
            emit headerDataChanged(Qt::Horizontal, 0, mCols - 1);
        return;
    }
    if (mNotify)
        beginInsertRows({}, index - 1, index - 1);
    mRows.insert(mRows.begin() + index, std::move(row));
    if (mNotify)
        endInsertRows();
}

void GridModel::removeItem(int index) {
    if (index < 0 || index >= gridRows())
        return;
    if (index == 0) {
        bool tell = mNotify && gridRows() >= 2;
        if (tell)
            beginRemoveRows({}, 0, 0);
        mRows.erase(mRows.begin());
        if (tell)
            endRemoveRows();
        if (mNotify && mCols > 0)
            emit headerDataChanged(Qt::Horizontal, 0, mCols - 1);
        return;
    }
    if (mNotify)
        beginRemoveRows({}, index - 1, index - 1);
    mRows.erase(mRows.begin() + index);
    if (mNotify)
        endRemoveRows();
}

void GridModel::setColAlignment(int col, int alignment) {
    if (col < 0 || col >= mCols)
        return;
    mAlignment[static_cast<std::size_t>(col)] = alignment;
    if (mNotify && gridRows() > 1) {
        emit dataChanged(index(0, col), index(gridRows() - 2, col), {Qt::TextAlignmentRole});
    }
}

int GridModel::colAlignment(int col) const {
    if (col < 0 || col >= static_cast<int>(mAlignment.size()))
        return -1;
    return mAlignment[static_cast<std::size_t>(col)];
}

void GridModel::setNotify(bool on) {
    if (on == mNotify)
        return;
    mNotify = on;
    if (on) {
        beginResetModel();
        endResetModel();
        if (mCols > 0)
            emit headerDataChanged(Qt::Horizontal, 0, mCols - 1);
    }
}

}  // namespace kestrel::ui
