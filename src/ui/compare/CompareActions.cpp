#include "ui/compare/CompareActions.h"

#include <QUndoStack>
#include <algorithm>

#include "ui/compare/TakeFromOtherCommand.h"
#include "ui/document/Document.h"
#include "ui/document/RecordCount.h"
#include "ui/document/RemoveRecordsCommand.h"

namespace kestrel::ui {

int TakeFromOther(Document& document, const Equipments& other,
                  const std::vector<RecordDifference>& chosen, FieldMask fields,
                  const QString& otherName, std::optional<QString>* refusal) {
    const Equipments& here = document.equipments();
    std::vector<TakeFromOtherCommand::Change> changes;
    std::vector<Equipment> appended;
    for (const RecordDifference& d : chosen) {
        if (d.kind == DifferenceKind::OnlyInSecond) {
            appended.push_back(*other.Item(d.second));
            continue;
        }
        if (d.kind != DifferenceKind::Changed || d.first == 1 || !(d.fields & fields))
            continue;
        const Equipment& before = *here.Item(d.first);
        Equipment after = before;
        TakeFields(after, *other.Item(d.second), d.fields & fields);
        if (after != before)
            changes.push_back({d.first, before, std::move(after)});
    }
    if (changes.empty() && appended.empty())
        return 0;
    if (auto refused = document.refusalToAdd(static_cast<std::int64_t>(appended.size()), "take")) {
        if (refusal)
            *refusal = std::move(refused);
        return 0;
    }
    std::sort(changes.begin(), changes.end(),
              [](const auto& a, const auto& b) { return a.position < b.position; });
    const int taken = static_cast<int>(changes.size() + appended.size());
    document.undoStack()->push(
        new TakeFromOtherCommand(document, std::move(changes), std::move(appended), otherName));
    return taken;
}

int RemoveHere(Document& document, const std::vector<RecordDifference>& chosen,
               const QString& otherName) {
    std::vector<std::int32_t> positions;
    for (const RecordDifference& d : chosen) {
        if (d.kind == DifferenceKind::OnlyInFirst && d.first != 1)
            positions.push_back(d.first);
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    if (positions.empty())
        return 0;
    const int removed = static_cast<int>(positions.size());
    const QString text =
        QStringLiteral("Remove %1 not in %2")
            .arg(RecordCount(static_cast<std::int64_t>(positions.size())), otherName);
    document.undoStack()->push(new RemoveRecordsCommand(document, text, std::move(positions)));
    return removed;
}

int MergeIntoList(Document& document, const EquipmentMerge& merge, const MergedList& merged,
                  const QString& text, std::optional<QString>* refusal) {
    const Equipments& here = document.equipments();
    std::vector<TakeFromOtherCommand::Change> changes;
    std::vector<std::int32_t> removed;
    std::vector<Equipment> appended;
    const auto& entries = merge.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::int32_t position = entries[i].partners[0];
        const std::int32_t r = merged.recordOfEntry[i];
        if (position == 0) {
            if (r >= 0)
                appended.push_back(merged.records[static_cast<std::size_t>(r)]);
            continue;
        }
        if (position == 1 || position > here.Count())
            continue;
        if (r < 0) {
            removed.push_back(position);
            continue;
        }
        const Equipment& before = *here.Item(position);
        const Equipment& after = merged.records[static_cast<std::size_t>(r)];
        if (after != before)
            changes.push_back({position, before, after});
    }
    if (changes.empty() && removed.empty() && appended.empty())
        return 0;
    if (auto refused = document.refusalToAdd(
            static_cast<std::int64_t>(appended.size()) - static_cast<std::int64_t>(removed.size()),
            "merge")) {
        if (refusal)
            *refusal = std::move(refused);
        return 0;
    }
    std::sort(changes.begin(), changes.end(),
              [](const auto& a, const auto& b) { return a.position < b.position; });
    std::sort(removed.begin(), removed.end());
    removed.erase(std::unique(removed.begin(), removed.end()), removed.end());
    const int count = static_cast<int>(changes.size() + removed.size() + appended.size());
    // The removal first, so that the list never passes its limit on the
    // way; the changed records' positions move up past the removed ones.
    std::size_t before = 0;
    for (auto& change : changes) {
        while (before < removed.size() && removed[before] < change.position)
            ++before;
        change.position -= static_cast<std::int32_t>(before);
    }
    QUndoStack& stack = *document.undoStack();
    stack.beginMacro(text);
    if (!removed.empty())
        stack.push(new RemoveRecordsCommand(document, text, std::move(removed)));
    if (!changes.empty() || !appended.empty())
        stack.push(
            new TakeFromOtherCommand(document, std::move(changes), std::move(appended), text));
    stack.endMacro();
    return count;
}

}  // namespace kestrel::ui
