#pragma once

namespace qv {

// The window font of the design: Tahoma 8 pt where installed, else a close sans serif.
void applyDesignFont();

// With QUORVEL_SCREENSHOT=file.png set, shows the main window at once, writes a picture of it
// (and of the filter dialog beside it, "-filter" added to the name) and ends the program.
void scheduleScreenshotIfAsked();

} // namespace qv
