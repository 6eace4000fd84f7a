#pragma once

#include <QString>

namespace qv {

inline const QString applicationTitle = QStringLiteral("Quorvel - Velmora");
// The reverse-DNS id: the desktop entry, the metainfo and the icon are named after it.
inline const QString desktopId = QStringLiteral("org.quorvel.Quorvel");

// The version the build was configured with (the project's version in CMake).
QString applicationVersion();

} // namespace qv
