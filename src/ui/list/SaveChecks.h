#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "model/Equipments.h"
#include "storage/EquipmentFiles.h"
#include "storage/LoadReport.h"
#include "ui/platform/MessageBox.h"

class QWidget;

namespace kestrel::ui {

// Loads equipments from its DataPath and shows in one message what the load
// found, and gives that back. Remembers whether the list now stands for the
// whole pair: after a failed load, or names and records that disagree, it
// does not.
LoadReport LoadListAndReport(Equipments& equipments);
// The list was read incompletely from the pair it came from: it counts as
// changed, so that nothing drops or overwrites it unasked.
bool ListIsIncomplete();
// What the unsaved-changes question proposes: Discard for an incomplete list.
SaveChangesAnswer UnsavedChangesDefault();

// Checks a save to path before anything is written. A name that does not end
// in .EQP is refused with a message; an incomplete list saved over the pair
// it came from is asked about first, proposing not to save. True when the
// save may go ahead.
bool MaySaveTo(QWidget* parent, const std::string& path);
// Before a save that changes values to fit the file: lists the changes, one
// line a value, and asks whether to save so, Save proposed. True to save.
bool MayFitValues(QWidget* parent, const Equipments& list, const std::vector<RecordFit>& fits);
// The question MayFitValues asks.
QString FitValuesQuestion(const Equipments& list, const std::vector<RecordFit>& fits);

// The list was saved to path: it now stands for that pair as a whole.
void ListSavedTo(const std::string& path);

}  // namespace kestrel::ui
