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
    // The base class does nothing then: the rows are sorted so already.
    if (column == sortColumn() && order == sortOrder())
        return;
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
        computeKeys(column);
    }
    QSortFilterProxyModel::sort(column, order);
    mKeys.clear();
    mKeys.shrink_to_fit();
}

void RecordFilterProxy::computeKeys(int column) {
    const Equipments& list = mDocument.equipments();
    const auto n = static_cast<std::size_t>(list.Count());
    mKeys.resize(n);
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
            mKeys[static_cast<std::size_t>(texts[k].second)] = rank;
        }
        return;
    }
    std::size_t row = 0;
    for (const EquipmentRef& e : list)
        mKeys[row++] = keyOf(e->number(column));
}

std::int64_t RecordFilterProxy::keyOf(std::int64_t number) const {
    if (mWordRank.empty())
        return number;
    // Codes without a word come after the words, by code.
    const auto n = static_cast<std::int64_t>(mWordRank.size());
    return number >= 0 && number < n ? mWordRank[static_cast<std::size_t>(number)] : n + number;
}

bool RecordFilterProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    if (!mKeys.empty())
        return mKeys[static_cast<std::size_t>(left.row())] <
               mKeys[static_cast<std::size_t>(right.row())];
    const int field = left.column();
    const auto first = mDocument.equipments().begin();
    const Equipment& a = **(first + left.row());
    const Equipment& b = **(first + right.row());
    if (fieldKind(field) == FieldKind::Text)
        return a.text(field) < b.text(field);
    return keyOf(a.number(field)) < keyOf(b.number(field));
}

bool RecordFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (mFilter.empty())
        return true;
    // Not Item, which hands out a counted reference per record.
    return mFilter.Matches(**(mDocument.equipments().begin() + sourceRow));
}

}  // namespace kestrel::ui
