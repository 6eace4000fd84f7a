#pragma once

#include "rename/placeholders.h"
#include "text/walltime.h"

#include <QString>

#include <functional>
#include <vector>

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

// Forms the new file name (with extension, without folder) of the entry `name` at list position
// `position`. For position -1 the entry's position is asked from previewPosition, which is only
// called when the expanded mask needs a number; it returns 0 when the preview path is not listed.
// A name that takes values from the file itself (a date taken, a tag) needs `name` to be the full
// path; where the file lacks one, the result is empty and `missing`, when given, names the
// placeholder without a value.
QString RenameName(const QString& name, int position, const RenameSettings& settings,
                   int entryCount, const WallTime& now,
                   const std::function<int()>& previewPosition = {},
                   PlaceholderValue* missing = nullptr);

// The settings read once for a whole run: the mask taken apart into its literal text and the
// values that differ per entry (the name, the number), so that forming a name only joins pieces.
// Forms exactly what RenameName forms; a mask whose pieces could meet a name or a number to make
// a new placeholder, and a name holding '%', go the way of one replacement after the other.
class NameForm
{
public:
    // Without `parse` the mask is not taken apart: for a single name that costs more than it
    // saves.
    NameForm(const RenameSettings& settings, int entryCount, const WallTime& now, bool parse = true);

    // As RenameName with the settings, count and day given above.
    QString name(const QString& name, int position,
                 const std::function<int()>& previewPosition = {}) const;

    // A piece of the mask: literal text, or where the name or the number goes.
    enum class PieceKind : quint8
    {
        Text,
        Name,
        Number,
        PaddedNumber
    };
    struct Piece
    {
        PieceKind kind = PieceKind::Text;
        QString text;
    };

private:
    QString formed(QStringView file, int position,
                   const std::function<int()>& previewPosition) const;
    QString maskedBySteps(QString part, int position,
                          const std::function<int()>& previewPosition) const;
    qint64 number(int position, const std::function<int()>& previewPosition) const;

    RenameSettings m_settings;
    int m_entryCount = 0;
    WallTime m_now;
    int m_start = 1;
    std::vector<Piece> m_pieces;
    // The pieces hold every name: no name or number can take part in a placeholder.
    bool m_byPieces = false;
    bool m_wantsNumber = false;
    // The digits of the entry count: %0num% has at least as many.
    int m_countWidth = 1;
};

} // namespace qv
