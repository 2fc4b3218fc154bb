#pragma once

#include <QString>
#include <optional>

#include "model/Equipment.h"

class QWidget;

namespace kestrel::ui {

// The properties window's controls, found by the names the field table
// gives them, put to and read from a record.

// Shows every field of equipment in its control. With keepEdits, a box
// the user has typed in since it was last shown keeps its text.
void ShowFields(QWidget* window, const Equipment& equipment, bool keepEdits);

// Counts every control as showing what the record holds.
void ForgetEdits(QWidget* window);

// One control that did not read: what the message names and where focus goes.
struct FieldRefusal {
    QWidget* control;
    QString caption;
    QString value;
    int field;
};

// The message for a refusal: the control's caption, the value, and what
// the field takes ("SA takes 0 to 255.").
QString RefusalMessage(const FieldRefusal& refusal);

// Reads every control into a copy of base (LastPart, which has no control,
// stays base's). The first control that cannot be read is named instead.
struct FieldReadResult {
    Equipment values;
    std::optional<FieldRefusal> refusal;
};
FieldReadResult ReadFields(QWidget* window, const Equipment& base);

}  // namespace kestrel::ui
