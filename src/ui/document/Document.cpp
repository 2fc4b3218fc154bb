#include "ui/document/Document.h"

#include <QThreadPool>
#include <QUndoStack>
#include <algorithm>
#include <numeric>
#include <stdexcept>

#include "model/ExchangeSort.h"
#include "ui/document/EquipmentTableModel.h"

namespace kestrel::ui {

Document::Document(QObject* parent) : QObject(parent), mEquipments(std::make_unique<Equipments>()) {
    mModel = new EquipmentTableModel(*this);
    mStack = new QUndoStack(this);
    connect(mStack, &QUndoStack::cleanChanged, this, [this] { emitModified(); });
}

Document::~Document() = default;

void Document::replaceAll(std::unique_ptr<Equipments> equipments, bool loadComplete) {
    mStack->clear();
    mModel->beginResetModel();
    std::shared_ptr<Equipments> old = std::move(mEquipments);
    mEquipments = equipments ? std::move(equipments) : std::make_unique<Equipments>();
    mModel->endResetModel();
    // The list it held is freed beside the window rather than before the new
    // one is painted: tens of thousands of records, a few milliseconds.
    if (old && old->Count() > 1000)
        QThreadPool::globalInstance()->start([old]() mutable { old.reset(); });
    mLoadComplete = loadComplete;
    mUnsaved = false;
    mStack->setClean();
    emitModified();
}

bool Document::isModified() const {
    return !mStack->isClean() || !mLoadComplete || mUnsaved;
}

void Document::markSaved() {
    mLoadComplete = true;
    mUnsaved = false;
    mStack->setClean();
    emitModified();
}

std::optional<QString> Document::refusalToAdd(std::int64_t count, const char* action) const {
    const std::int64_t total = mEquipments->Count() + count;
    if (total <= kMaxRecords)
        return std::nullopt;
    return QStringLiteral(
               "The list can hold at most %1 records; the %2 would make it %3. "
               "Nothing was added.")
        .arg(kMaxRecords)
        .arg(QLatin1String(action))
        .arg(total);
}

void Document::markUnsaved() {
    mUnsaved = true;
    emitModified();
}

void Document::emitModified() {
    const bool now = isModified();
    if (now == mLastModified)
        return;
    mLastModified = now;
    emit modifiedChanged(now);
}

void Document::insertRecords(std::int32_t position, const std::vector<Equipment>& values) {
    Equipments& list = *mEquipments;
    const std::int32_t n = list.Count();
    const auto k = static_cast<std::int32_t>(values.size());
    if (k == 0)
        return;
    if (position < 1 || position > n + 1)
        throw std::out_of_range("insert position outside the list");
    mModel->beginInsertRows({}, position - 1, position + k - 2);
    list.reserve(static_cast<std::size_t>(n + k));
    for (const Equipment& e : values)
        list.Add(e);
    if (position <= n) {
        // The new records were appended; one rotation brings them to their
        // place, each record's contents moving once.
        std::vector<std::int32_t> order(static_cast<std::size_t>(n + k));
        std::iota(order.begin(), order.end(), 0);
        std::rotate(order.begin() + (position - 1), order.begin() + n, order.end());
        ApplyOrder(list, order);
    }
    mModel->endInsertRows();
}

std::vector<Equipment> Document::removeRecords(std::int32_t first, std::int32_t count) {
    Equipments& list = *mEquipments;
    if (count <= 0)
        return {};
    if (first < 1 || first + count - 1 > list.Count())
        throw std::out_of_range("removal outside the list");
    std::vector<Equipment> removed;
    removed.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = first; i < first + count; ++i)
        removed.push_back(*list.Item(i));
    mModel->beginRemoveRows({}, first - 1, first + count - 2);
    list.RemoveRange(first, count);
    mModel->endRemoveRows();
    return removed;
}

void Document::replaceRecord(std::int32_t position, const Equipment& values) {
    CopyEquipment(*mEquipments->Item(position), values);
    emit mModel->dataChanged(mModel->index(position - 1, 0),
                             mModel->index(position - 1, kFieldCount - 1));
}

void Document::permute(const std::vector<std::int32_t>& order) {
    const std::int32_t n = mEquipments->Count();
    if (static_cast<std::int32_t>(order.size()) != n)
        throw std::invalid_argument("order does not match the list");
    emit mModel->layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    ApplyOrder(*mEquipments, order);
    std::vector<std::int32_t> to(static_cast<std::size_t>(n));
    for (std::int32_t p = 0; p < n; ++p)
        to[static_cast<std::size_t>(order[static_cast<std::size_t>(p)])] = p;
    const QModelIndexList from = mModel->persistentIndexList();
    QModelIndexList moved;
    moved.reserve(from.size());
    for (const QModelIndex& index : from) {
        moved.append(index.isValid() && index.row() < n
                         ? mModel->index(to[static_cast<std::size_t>(index.row())], index.column())
                         : QModelIndex());
    }
    mModel->changePersistentIndexList(from, moved);
    emit permuted(order);
    emit mModel->layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void Document::swapAdjacent(std::int32_t position) {
    Equipments& list = *mEquipments;
    if (position < 1 || position + 1 > list.Count())
        throw std::out_of_range("exchange outside the list");
    // Row position + 1 moves up in front of row position.
    mModel->beginMoveRows({}, position, position, {}, position - 1);
    std::swap(*list.Item(position), *list.Item(position + 1));
    mModel->endMoveRows();
}

void Document::setNumbers(int field,
                          const std::vector<std::pair<std::int32_t, std::int64_t>>& values) {
    if (values.empty())
        return;
    std::int32_t low = values.front().first, high = low;
    for (const auto& entry : values) {
        low = std::min(low, entry.first);
        high = std::max(high, entry.first);
    }
    // Checked first, so that a bad position changes nothing.
    if (low < 1 || high > mEquipments->Count())
        throw std::out_of_range("position outside the list");
    fieldKind(field);
    // Not Item, which hands out a counted reference per record.
    const auto first = mEquipments->begin();
    for (const auto& [position, value] : values)
        first[position - 1]->setNumber(field, value);
    emit mModel->dataChanged(mModel->index(low - 1, field), mModel->index(high - 1, field));
}

}  // namespace kestrel::ui
