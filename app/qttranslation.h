#pragma once

#include <QString>

namespace qv {

// Loads Qt's own catalogue for the language ("de" or "en"), so the folder and file dialogs and
// the standard buttons speak the program's language; switching unloads the previous one.
// Without the catalogue installed Qt stays English, as before.
void useQtTranslation(const QString& language);

} // namespace qv
