#pragma once

#include <QString>
#include <vector>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"

class QWidget;

namespace kestrel::ui {

// Before a save that changes values to fit the file: lists the changes, one
// line a value, and asks whether to save so, Save proposed. True to save.
bool MayFitValues(QWidget* parent, const Equipments& list, const std::vector<RecordFit>& fits);
// The question MayFitValues asks.
QString FitValuesQuestion(const Equipments& list, const std::vector<RecordFit>& fits);

}  // namespace kestrel::ui
