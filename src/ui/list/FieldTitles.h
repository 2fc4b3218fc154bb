#pragma once

#include <QString>

namespace kestrel::ui {

// A field's full name for people ("Prestige Cost", "Unknown1"), where the
// grid's heading is a short code ("P", "U").
QString FieldTitle(int field);

}  // namespace kestrel::ui
