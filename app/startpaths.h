#pragma once

#include <QStringList>

namespace qv {

// Adds the paths of the command line to the list exactly as a drop of them on the main window
// would, as soon as that window has shown itself and loaded its start configuration (whose
// filter settings the folder scans use).
// With QUORVEL_PRINT_LIST set (for tests), the main window shows at once, and once the paths are
// in, each entry's path and status are printed on standard output and the program ends.
void addPathsOnStart(const QStringList& paths);

} // namespace qv
