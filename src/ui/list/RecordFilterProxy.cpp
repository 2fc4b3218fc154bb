#include "ui/list/RecordFilterProxy.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <utility>

#include "model/Equipments.h"
#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/list/FieldTitles.h"

namespace kestrel::ui {

RecordFilterProxy::RecordFilterProxy(Document& document, QObject* parent)
    : QAbstractProxyModel(parent), mDocument(document) {
    QAbstractProxyModel::setSourceModel(document.model());
    watchSource();
}

void RecordFilterProxy::watchSource() {
    QAbstractItemModel* source = sourceModel();
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(source, &QAbstractItemModel::modelReset, this, [this] {
        rebuild();
        endResetModel();
    });
    connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this](const QModelIndex&, int first, int last) {
                if (direct())
                    beginInsertRows({}, first, last);
            });
    connect(source, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                if (direct())
                    endInsertRows();
                else
                    sourceRowsInserted(first, last);
            });
    connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                if (direct())
                    beginRemoveRows({}, first, last);
                else
                    sourceRowsAboutToBeRemoved(first, last);
            });
    connect(source, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                if (direct())
                    endRemoveRows();
                else
                    sourceRowsRemoved(first, last);
            });
    connect(source, &QAbstractItemModel::rowsAboutToBeMoved, this,
            [this](const QModelIndex&, int first, int last, const QModelIndex&, int to) {
                if (direct())
                    beginMoveRows({}, first, last, {}, to);
                else
                    beginRelayout();
            });
    connect(source, &QAbstractItemModel::rowsMoved, this, [this] {
        if (direct()) {
            endMoveRows();
            return;
        }
        // Ties among sorted rows keep list order, which the move changed.
        rebuild();
        endRelayout();
    });
    connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] { beginRelayout(); });
    connect(source, &QAbstractItemModel::layoutChanged, this, [this] {
        rebuild();
        endRelayout();
    });
    connect(source, &QAbstractItemModel::dataChanged, this, &RecordFilterProxy::sourceDataChanged);
    connect(source, &QAbstractItemModel::headerDataChanged, this,
            [this](Qt::Orientation orientation, int first, int last) {
                if (orientation == Qt::Horizontal)
                    emit headerDataChanged(orientation, first, last);
                else if (rowCount() > 0)
                    emit headerDataChanged(orientation, 0, rowCount() - 1);
            });
}

void RecordFilterProxy::setFilter(RecordFilter filter) {
    const bool was = filtering();
    if (!was && filter.empty())
        return;
    // The views start over once: row by row signals for each run of rows
    // the filter takes or gives back cost the views time in proportion to
    // the whole list each, and a change of layout lays them out at once and
    // again when they paint. Whoever keeps a selection puts it back by
    // record.
    // A filter typed on keeps fewer of the rows it showed: only those are
    // tried again, and they keep their order, sorted or not.
    const bool narrower = !direct() && filter.Narrows(mFilter);
    beginResetModel();
    mFilter = std::move(filter);
    if (narrower) {
        mRows.erase(
            std::remove_if(mRows.begin(), mRows.end(), [this](int row) { return !accepts(row); }),
            mRows.end());
        mapBack();
    } else {
        rebuild();
    }
    endResetModel();
}

void RecordFilterProxy::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kFieldCount)
        column = -1;
    if (column == mSortColumn && (column < 0 || order == mSortOrder))
        return;
    beginRelayout();
    mSortColumn = column;
    mSortOrder = order;
    rebuild();
    endRelayout();
}

QModelIndex RecordFilterProxy::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || column < 0 || column >= kFieldCount || row >= rowCount())
        return {};
    return createIndex(row, column);
}

// The list is flat: no row has a parent.
QModelIndex RecordFilterProxy::parent(const QModelIndex&) const {
    return {};
}

int RecordFilterProxy::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return direct() ? mDocument.equipments().Count() : static_cast<int>(mRows.size());
}

int RecordFilterProxy::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFieldCount;
}

bool RecordFilterProxy::hasChildren(const QModelIndex& parent) const {
    return !parent.isValid() && rowCount() > 0;
}

QModelIndex RecordFilterProxy::mapToSource(const QModelIndex& proxyIndex) const {
    if (!proxyIndex.isValid() || proxyIndex.model() != this)
        return {};
    int row = proxyIndex.row();
    if (!direct()) {
        if (row >= static_cast<int>(mRows.size()))
            return {};
        row = mRows[static_cast<std::size_t>(row)];
    }
    return sourceModel()->index(row, proxyIndex.column());
}

QModelIndex RecordFilterProxy::mapFromSource(const QModelIndex& sourceIndex) const {
    if (!sourceIndex.isValid() || sourceIndex.model() != sourceModel())
        return {};
    int row = sourceIndex.row();
    if (!direct()) {
        if (row >= static_cast<int>(mShownAt.size()))
            return {};
        row = mShownAt[static_cast<std::size_t>(row)];
    }
    return index(row, sourceIndex.column());
}

QVariant RecordFilterProxy::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical)
        return QAbstractProxyModel::headerData(section, orientation, role);
    // The columns are the list's: the headings stand while no row is shown.
    if (role == Qt::ToolTipRole && section >= 0 && section < kFieldCount)
        return FieldTitle(section);
    return sourceModel()->headerData(section, orientation, role);
}

bool RecordFilterProxy::accepts(int sourceRow) const {
    // Not Item, which hands out a counted reference per record.
    return mFilter.empty() || mFilter.Matches(**(mDocument.equipments().begin() + sourceRow));
}

void RecordFilterProxy::rebuild() {
    if (direct()) {
        std::vector<int>().swap(mRows);
        std::vector<int>().swap(mShownAt);
        return;
    }
    const int n = mDocument.equipments().Count();
    mRows.clear();
    mRows.reserve(static_cast<std::size_t>(n));
    for (int row = 0; row < n; ++row)
        if (accepts(row))
            mRows.push_back(row);
    if (sorted())
        sortRows(mRows);
    mapBack();
}

void RecordFilterProxy::mapBack() {
    mShownAt.assign(static_cast<std::size_t>(mDocument.equipments().Count()), -1);
    for (std::size_t shown = 0; shown < mRows.size(); ++shown)
        mShownAt[static_cast<std::size_t>(mRows[shown])] = static_cast<int>(shown);
}

void RecordFilterProxy::sortRows(std::vector<int>& rows) const {
    std::vector<std::int64_t> key;
    keys(key);
    const bool descending = mSortOrder == Qt::DescendingOrder;
    if (rows.empty())
        return;
    std::int64_t low = key[static_cast<std::size_t>(rows.front())], high = low;
    for (int row : rows) {
        low = std::min(low, key[static_cast<std::size_t>(row)]);
        high = std::max(high, key[static_cast<std::size_t>(row)]);
    }
    // Key and row in one number: a plain sort of numbers is the stable sort
    // by key, and no comparison looks anything up.
    const auto span = static_cast<std::uint64_t>(high) - static_cast<std::uint64_t>(low);
    const auto count = static_cast<std::uint64_t>(key.size());
    int rowBits = 1;
    while (rowBits < 64 && (std::uint64_t{1} << rowBits) <= count)
        ++rowBits;
    if (rowBits < 64 && span < (std::uint64_t{1} << (64 - rowBits))) {
        std::vector<std::uint64_t> packed;
        packed.reserve(rows.size());
        for (int row : rows) {
            std::uint64_t k = static_cast<std::uint64_t>(key[static_cast<std::size_t>(row)]) -
                              static_cast<std::uint64_t>(low);
            if (descending)
                k = span - k;
            packed.push_back(k << rowBits | static_cast<std::uint64_t>(row));
        }
        std::sort(packed.begin(), packed.end());
        const std::uint64_t mask = (std::uint64_t{1} << rowBits) - 1;
        for (std::size_t k = 0; k < rows.size(); ++k)
            rows[k] = static_cast<int>(packed[k] & mask);
        return;
    }
    std::sort(rows.begin(), rows.end());
    std::stable_sort(rows.begin(), rows.end(), [&key, descending](int a, int b) {
        const std::int64_t ka = key[static_cast<std::size_t>(a)];
        const std::int64_t kb = key[static_cast<std::size_t>(b)];
        return descending ? kb < ka : ka < kb;
    });
}

void RecordFilterProxy::keys(std::vector<std::int64_t>& out) const {
    const Equipments& list = mDocument.equipments();
    const auto n = static_cast<std::size_t>(list.Count());
    const int column = mSortColumn;
    out.resize(n);
    if (fieldKind(column) == FieldKind::Text) {
        // Texts become their rank among all of the column's texts, equal
        // texts the same rank.
        std::vector<std::pair<std::string_view, std::int32_t>> texts;
        texts.reserve(n);
        std::int32_t row = 0;
        for (const EquipmentRef& e : list)
            texts.emplace_back(e->text(column), row++);
        std::sort(texts.begin(), texts.end());
        std::int64_t rank = 0;
        for (std::size_t k = 0; k < n; ++k) {
            if (k > 0 && texts[k].first != texts[k - 1].first)
                ++rank;
            out[static_cast<std::size_t>(texts[k].second)] = rank;
        }
        return;
    }
    // A coded column sorts by its words: the rank of each code's word.
    std::vector<int> wordRank;
    std::size_t count = 0;
    if (const std::string* words = WordsOf(fieldInfo(column).words, &count)) {
        std::vector<int> byWord(count);
        std::iota(byWord.begin(), byWord.end(), 0);
        std::stable_sort(byWord.begin(), byWord.end(),
                         [words](int a, int b) { return words[a] < words[b]; });
        wordRank.assign(count, 0);
        for (std::size_t rank = 0; rank < count; ++rank)
            wordRank[static_cast<std::size_t>(byWord[rank])] = static_cast<int>(rank);
    }
    std::size_t row = 0;
    for (const EquipmentRef& e : list)
        out[row++] = keyOf(e->number(column), wordRank);
}

std::int64_t RecordFilterProxy::keyOf(std::int64_t number, const std::vector<int>& wordRank) const {
    if (wordRank.empty())
        return number;
    // Codes without a word come after the words, by code.
    const auto n = static_cast<std::int64_t>(wordRank.size());
    return number >= 0 && number < n ? wordRank[static_cast<std::size_t>(number)] : n + number;
}

void RecordFilterProxy::beginRelayout() {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // By record: the list keeps these up to date through its own change.
    mLayoutFrom = persistentIndexList();
    mLayoutRecords.clear();
    mLayoutRecords.reserve(static_cast<std::size_t>(mLayoutFrom.size()));
    for (const QModelIndex& index : mLayoutFrom)
        mLayoutRecords.emplace_back(mapToSource(index));
}

void RecordFilterProxy::endRelayout() {
    QModelIndexList to;
    to.reserve(mLayoutFrom.size());
    for (const QPersistentModelIndex& record : mLayoutRecords)
        to.append(mapFromSource(record));
    changePersistentIndexList(mLayoutFrom, to);
    mLayoutFrom.clear();
    mLayoutRecords.clear();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RecordFilterProxy::sourceRowsInserted(int first, int last) {
    const int k = last - first + 1;
    for (int& row : mRows)
        if (row >= first)
            row += k;
    mShownAt.insert(mShownAt.begin() + first, static_cast<std::size_t>(k), -1);
    std::vector<int> added;
    for (int row = first; row <= last; ++row)
        if (accepts(row))
            added.push_back(row);
    if (added.empty())
        return;
    if (sorted()) {
        // Sorted, the new rows fall all over the view.
        beginRelayout();
        rebuild();
        endRelayout();
        return;
    }
    const auto at =
        static_cast<int>(std::lower_bound(mRows.begin(), mRows.end(), first) - mRows.begin());
    beginInsertRows({}, at, at + static_cast<int>(added.size()) - 1);
    mRows.insert(mRows.begin() + at, added.begin(), added.end());
    mapBack();
    endInsertRows();
}

void RecordFilterProxy::sourceRowsAboutToBeRemoved(int first, int last) {
    if (sorted()) {
        beginRelayout();
        return;
    }
    const auto from = std::lower_bound(mRows.begin(), mRows.end(), first);
    const auto to = std::lower_bound(from, mRows.end(), last + 1);
    if (from == to)
        return;
    const auto at = static_cast<int>(from - mRows.begin());
    beginRemoveRows({}, at, at + static_cast<int>(to - from) - 1);
    mRemoving = true;
}

void RecordFilterProxy::sourceRowsRemoved(int first, int last) {
    const int k = last - first + 1;
    // What is left keeps its order, sorted or not.
    mRows.erase(std::remove_if(mRows.begin(), mRows.end(),
                               [first, last](int row) { return row >= first && row <= last; }),
                mRows.end());
    for (int& row : mRows)
        if (row > last)
            row -= k;
    mapBack();
    if (sorted()) {
        endRelayout();
    } else if (mRemoving) {
        mRemoving = false;
        endRemoveRows();
    }
}

void RecordFilterProxy::sourceDataChanged(const QModelIndex& topLeft,
                                          const QModelIndex& bottomRight, const QList<int>& roles) {
    if (!topLeft.isValid() || !bottomRight.isValid())
        return;
    const int top = topLeft.row(), bottom = bottomRight.row();
    const int left = topLeft.column(), right = bottomRight.column();
    if (direct()) {
        emit dataChanged(index(top, left), index(bottom, right), roles);
        return;
    }
    // A changed cell may take its row in or out of what the filter keeps,
    // or to another place among the sorted rows.
    bool moved = false;
    if (filtering()) {
        for (int row = top; row <= bottom && !moved; ++row)
            moved = accepts(row) != (mShownAt[static_cast<std::size_t>(row)] >= 0);
    }
    if (moved) {
        beginRelayout();
        rebuild();
        endRelayout();
    } else if (sorted() && mSortColumn >= left && mSortColumn <= right) {
        std::vector<int> rows = mRows;
        sortRows(rows);
        if (rows != mRows) {
            beginRelayout();
            mRows.swap(rows);
            mapBack();
            endRelayout();
        }
    }
    int low = -1, high = -1;
    if (sorted()) {
        for (int row = top; row <= bottom; ++row) {
            const int shown = mShownAt[static_cast<std::size_t>(row)];
            if (shown < 0)
                continue;
            low = low < 0 ? shown : std::min(low, shown);
            high = std::max(high, shown);
        }
    } else {
        const auto from = std::lower_bound(mRows.begin(), mRows.end(), top);
        const auto to = std::upper_bound(from, mRows.end(), bottom);
        if (from != to) {
            low = static_cast<int>(from - mRows.begin());
            high = static_cast<int>(to - mRows.begin()) - 1;
        }
    }
    if (low >= 0)
        emit dataChanged(index(low, left), index(high, right), roles);
}

}  // namespace kestrel::ui
