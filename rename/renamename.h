#pragma once

#include "rename/namesearch.h"
#include "rename/placeholders.h"
#include "rename/renamesettings.h"
#include "text/walltime.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace qv {

// Forms the new file name (with extension, without folder) of the entry `name` at list position
// `position`. For position -1 the entry's position is asked from previewPosition, which is only
// called when the expanded mask needs a number; it returns 0 when the preview path is not listed.
// A name that takes values from the file itself (a date taken, a tag) needs `name` to be the full
// path; where the file lacks one, the result is empty and `missing`, when given, names the
// placeholder without a value (Name: the file cannot be read at all).
QString RenameName(const QString& name, int position, const RenameSettings& settings,
                   int entryCount, const WallTime& now,
                   const std::function<int()>& previewPosition = {},
                   std::optional<PlaceholderValue>* missing = nullptr);

// The settings read once for a whole run: the mask taken apart into its literal text and the
// values that differ per entry (the name, the number), so that forming a name only joins pieces.
// Forms exactly what RenameName forms; a mask whose pieces could meet a name or a number to make
// a new placeholder, and a name holding '%', go the way of one replacement after the other.
class NameForm
{
public:
    // Without `parse` the mask is not taken apart: for a single name that costs more than it
    // saves.
    NameForm(const RenameSettings& settings, int entryCount, const WallTime& now,
             bool parse = true);

    // As RenameName with the settings, count and moment given above.
    QString name(const QString& name, int position,
                 const std::function<int()>& previewPosition = {},
                 std::optional<PlaceholderValue>* missing = nullptr) const;
    // Whether forming a name reads values from the entry's file: then each name costs a look
    // at the disk.
    bool readsFiles() const { return m_fileFields != 0 || m_fileMoment; }

    // A piece of the mask: literal text, or where the name or the number goes.
    enum class PieceKind : quint8
    {
        Text,
        Name,
        Number,
        PaddedNumber,
        // A value of the entry's file: its date and time, a tag.
        FileValue
    };
    struct Piece
    {
        PieceKind kind = PieceKind::Text;
        QString text;
        PlaceholderValue value = PlaceholderValue::Name;
    };

private:
    QString formed(QStringView file, int position, const std::function<int()>& previewPosition,
                   const QString& path, std::optional<PlaceholderValue>& missing) const;
    QString maskedBySteps(QString part, int position, const std::function<int()>& previewPosition,
                          const QString& path, std::optional<PlaceholderValue>& missing) const;
    // The texts of the file values the pieces name, by placeholder: false, with `missing`
    // set, when the file lacks one.
    using FileTexts = std::array<QString, 16>;
    bool fileTexts(const std::vector<Piece>& pieces, const QString& path, FileTexts& texts,
                   std::optional<PlaceholderValue>& missing) const;
    qint64 number(int position, const std::function<int()>& previewPosition) const;
    // The name in the letter case of the settings, its extension apart.
    QString cased(QString name) const;

    RenameSettings m_settings;
    int m_entryCount = 0;
    NameSearch m_search;
    WallTime m_now;
    int m_start = 1;
    std::vector<Piece> m_pieces;
    // The pieces hold every name: no name or number can take part in a placeholder.
    bool m_byPieces = false;
    bool m_wantsNumber = false;
    // The digits of the entry count: %0num% has at least as many.
    int m_countWidth = 1;
    // What the pieces read from the file (MediaField bits), and whether its date and time.
    unsigned m_fileFields = 0;
    bool m_fileMoment = false;
};

} // namespace qv
