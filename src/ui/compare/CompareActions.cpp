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

}  // namespace kestrel::ui
