#pragma once

#include <QString>

namespace qv {

// Where the date and time placeholders take their values from.
enum class DateSource : quint8
{
    // The moment of the run (or of the preview's refresh).
    Today,
    // The photo's date taken (EXIF DateTimeOriginal, else DateTimeDigitized).
    Taken,
    TakenOrModified,
    // The file's modification time.
    Modified
};

// The letter case the name (not its extension) is given once mask and replace have formed it.
enum class LetterCase : quint8
{
    Keep,
    Lower,
    Upper,
    // "First letter capital": the first letter upper case, every other lower.
    First,
    // "Each Word Capital": every word's first letter upper case, every other lower.
    Words
};

// The rename settings as the main window's controls hold them at the moment of the call.
struct RenameSettings
{
    bool maskActive = false;
    QString mask = QStringLiteral("%name%");
    QString numStart = QStringLiteral("1");
    bool searchActive = false;
    QString searchOld;
    QString searchNew;
    bool searchInName = true;
    bool searchInExtension = false;
    // searchOld is a Perl-compatible regular expression; searchNew may name its groups.
    bool searchRegex = false;
    bool matchCase = true;
    LetterCase letterCase = LetterCase::Keep;
    bool extensionLower = false;
    // The least number of digits of %0num%; 0 takes the digits of the entry count.
    int digits = 0;
    DateSource dateSource = DateSource::Today;
};

// Why the search expression of the settings is not one, in the words of the expression engine;
// empty when it is one, or when no expression search is asked for.
QString expressionError(const RenameSettings& settings);

} // namespace qv
