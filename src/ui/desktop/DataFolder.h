#pragma once

#include <QString>

namespace kestrel::ui {

// A folder under the application's data folder (recovery files, earlier
// versions), never beside a pair. Not created here.
QString AppDataFolder(const QString& name);

}  // namespace kestrel::ui
