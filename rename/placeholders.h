#pragma once

#include "text/messagetexts.h"

#include "text/walltime.h"

#include <QList>
#include <QString>

namespace qv {

// What a placeholder of the mask stands for.
enum class PlaceholderValue
{
    Name,
    Number,
    ZeroNumber,
    Count,
    Day,
    Month,
    Year,
    Hour,
    Minute,
    Second,
    Artist,
    Album,
    Title,
    Track,
    TagYear,
    Camera
};

// Whether the placeholder shows a part of a date or a time (of today, or of the date source).
inline bool isMoment(PlaceholderValue value)
{
    return value >= PlaceholderValue::Day && value <= PlaceholderValue::Second;
}

// One placeholder, described once: how it is written (the German spelling where the two
// languages write it differently; either is understood whatever the language), what it means
// in both languages, and the value it stands for. The window's labels, the command line's help
// and name expansion all read this table.
struct Placeholder
{
    PlaceholderValue value;
    QString english;
    QString german;
    // The caption beside the placeholder in the window.
    QString captionDe;
    QString captionEn;
    // What it stands for, in a sentence's words (help, manual).
    QString meaningDe;
    QString meaningEn;
    // Offered by the mask's menu of further placeholders rather than by a label of its own.
    bool more = false;

    QString spelling(Language language) const { return pick(language, german, english); }
};

// The ways a placeholder is written: the English spelling, then the German one where it differs.
inline QList<QString> spellings(const Placeholder& p)
{
    return p.german == p.english ? QList<QString>{p.english} : QList<QString>{p.english, p.german};
}

// In the order names are expanded: the old name first, so that a name holding "%num%" gets a
// number, as it always has.
const QList<Placeholder>& placeholders();
const Placeholder& placeholder(PlaceholderValue value);

// The values of an entry: its base name, its number, the entry count and the moment of its date
// source.
struct PlaceholderValues
{
    QString base;
    qint64 number = 0;
    int entryCount = 0;
    WallTime moment;
    // The width of %0num%; 0 takes the digits of the entry count.
    int digits = 0;
};

// The text a placeholder stands for. The number is asked for only where it is needed.
QString placeholderText(PlaceholderValue value, const PlaceholderValues& values);
// %num% (width 0) and %0num% (width zeroNumberWidth) of a number: its sign, then at least
// `width` digits, written into the end of `room`, so that a long run forms its numbers without
// a string each.
QStringView placeholderNumber(qint64 number, int width, char16_t (&room)[48]);
// The width of %0num%: `digits` when set, else the digits of the entry count.
int zeroNumberWidth(int entryCount, int digits = 0);

// "  %name%  the old name without its extension" lines, for the command line's help.
QString placeholderHelp(Language language, int indent, int width);

} // namespace qv
