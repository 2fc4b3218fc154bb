#pragma once

#include <optional>

#include <QString>
#include <vector>

#include "model/EquipmentComparison.h"

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

}  // namespace kestrel::ui
