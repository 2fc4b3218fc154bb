#include "ui/list/RecordFilterProxy.h"

#include <algorithm>
#include <numeric>

#include "model/FieldTable.h"
#include "model/FieldText.h"
#include "ui/document/Document.h"
#include "ui/document/EquipmentTableModel.h"
#include "ui/list/FieldTitles.h"

namespace kestrel::ui {

RecordFilterProxy::RecordFilterProxy(Document& document, QObject* parent)
    : QSortFilterProxyModel(parent), mDocument(document) {
    setSourceModel(document.model());
    // A changed cell may take its row in or out of what the filter keeps.
    setDynamicSortFilter(true);
}

void RecordFilterProxy::setFilter(RecordFilter filter) {
    const bool was = filtering();
    mFilter = std::move(filter);
    if (!was && !filtering())
        return;
    // The views start over once: row by row signals for each run of rows
    // the filter takes or gives back, or the layout change that invalidate()
    // sends, cost the views time in proportion to the whole list each.
    // Whoever keeps a selection puts it back by record. The reset drops the
    // proxy's row map, which the views' first question builds anew with the
    // new filter: every record is tried once.
    beginResetModel();
    endResetModel();
}

QModelIndex RecordFilterProxy::parent(const QModelIndex&) const {
    return {};
}

QVariant RecordFilterProxy::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && section >= 0 &&
        section < columnCount())
        return FieldTitle(section);
    return QSortFilterProxyModel::headerData(section, orientation, role);
}

void RecordFilterProxy::sort(int column, Qt::SortOrder order) {
    mWordRank.clear();
    if (column >= 0 && column < kFieldCount) {
        std::size_t count = 0;
        if (const std::string* words = WordsOf(fieldInfo(column).words, &count)) {
            std::vector<int> byWord(count);
            std::iota(byWord.begin(), byWord.end(), 0);
            std::stable_sort(byWord.begin(), byWord.end(),
                             [words](int a, int b) { return words[a] < words[b]; });
            mWordRank.assign(count, 0);
            for (std::size_t rank = 0; rank < count; ++rank)
                mWordRank[static_cast<std::size_t>(byWord[rank])] = static_cast<int>(rank);
        }
    }
    QSortFilterProxyModel::sort(column, order);
}

bool RecordFilterProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const int field = left.column();
    const auto first = mDocument.equipments().begin();
    const Equipment& a = **(first + left.row());
    const Equipment& b = **(first + right.row());
    if (fieldKind(field) == FieldKind::Text)
        return a.text(field) < b.text(field);
    std::int64_t x = a.number(field), y = b.number(field);
    if (!mWordRank.empty()) {
        // Codes without a word come after the words, by code.
        const auto n = static_cast<std::int64_t>(mWordRank.size());
        x = x >= 0 && x < n ? mWordRank[static_cast<std::size_t>(x)] : n + x;
        y = y >= 0 && y < n ? mWordRank[static_cast<std::size_t>(y)] : n + y;
    }
    return x < y;
}

bool RecordFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (mFilter.empty())
        return true;
    // Not Item, which hands out a counted reference per record.
    return mFilter.Matches(**(mDocument.equipments().begin() + sourceRow));
}

}  // namespace kestrel::ui
