#pragma once

namespace qv {

// Called before the application object exists. Where no display can be opened, prints one line
// on standard error saying why and ends the program with 1, instead of Qt's abort with its
// advice to reinstall. Returns only when a display was found or the platform needs none.
void requireDisplay();

// After the application object exists: Qt's messages go their usual way again.
void displayFound();

} // namespace qv
