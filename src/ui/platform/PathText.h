#pragma once

#include <QString>
#include <string>

namespace kestrel::ui {

// The core takes paths as UTF-8 on every system (the Windows file layer
// widens them at its edge), so the UI converts with UTF-8 rather than with
// the local 8-bit encoding, which on Windows cannot hold every name.
inline std::string CorePath(const QString& path) {
    return path.toUtf8().toStdString();
}

inline QString UiPath(const std::string& path) {
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}

}  // namespace kestrel::ui
