#pragma once

#include <optional>

#include <QString>
#include <vector>

#include "model/EquipmentComparison.h"
#include "model/EquipmentMerge.h"

namespace kestrel::ui {

class Document;

// Take from other: the chosen changed records get other's values of the
// given fields, the chosen records found only in other are appended to the
// list. One command on the stack; none when nothing would change. The record
// at position 1 is never changed. Returns how many records it took; a
// refusal (the list would grow past its limit) goes to refusal, for the
// window to show.
int TakeFromOther(Document& document, const Equipments& other,
                  const std::vector<RecordDifference>& chosen, FieldMask fields,
                  const QString& otherName, std::optional<QString>* refusal = nullptr);

// Remove here: the chosen records that other lacks leave the list, position
// 1 excepted. One command; returns how many records it removed.
int RemoveHere(Document& document, const std::vector<RecordDifference>& chosen,
               const QString& otherName);

// Merge into list: the list, mod 0 of merge as it stands, becomes the
// merged list. Its records keep their order: each gets its merged values or
// leaves, and the merged records it lacks are appended. Record 1 is never
// changed. One command on the stack, named text; none when nothing would
// change. Returns how many records changed, left or came; a refusal (the
// list would grow past its limit) goes to refusal.
int MergeIntoList(Document& document, const EquipmentMerge& merge, const MergedList& merged,
                  const QString& text, std::optional<QString>* refusal = nullptr);

}  // namespace kestrel::ui
