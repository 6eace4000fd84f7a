#pragma once

namespace qv {

// The window font of the design: Tahoma 8 pt where installed, else a close sans serif.
void applyDesignFont();

// With QUORVEL_SCREENSHOT=file.png set, shows the main window at once, writes a picture of it
// (with each option panel open in turn, and of the filter dialog, the names extended by
// "-act_maske", "-act_suchenersetzen" and "-filter") and ends the program.
void scheduleScreenshotIfAsked();

} // namespace qv
