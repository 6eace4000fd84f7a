#include "rename/placeholders.h"

#include <QStringList>

namespace qv {

namespace {

QString twoDigits(int value)
{
    return QString::number(value).rightJustified(2, u'0');
}

} // namespace

QStringView placeholderNumber(qint64 number, int width, char16_t (&room)[48])
{
    char16_t* const end = room + 48;
    char16_t* at = end;
    quint64 magnitude = number < 0 ? 0 - quint64(number) : quint64(number);
    do {
        *--at = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (end - at < width && at > room + 1)
        *--at = u'0';
    if (number < 0)
        *--at = u'-';
    return QStringView(at, end);
}

int zeroNumberWidth(int entryCount, int digits)
{
    if (digits > 0)
        return digits;
    // The width depends on the entry count only, not on the start or the largest number.
    return int(QString::number(entryCount).size());
}

const QList<Placeholder>& placeholders()
{
    static const QList<Placeholder> table{
        {PlaceholderValue::Name, QStringLiteral("%name%"), QStringLiteral("%name%"),
         QStringLiteral("Alter Name der Datei"), QStringLiteral("Old Name of File"),
         QStringLiteral("der alte Name ohne seine Endung"),
         QStringLiteral("the old name without its extension")},
        {PlaceholderValue::Number, QStringLiteral("%num%"), QStringLiteral("%num%"),
         QStringLiteral("Nummerierung beginnend bei:"), QStringLiteral("Numbering starting with:"),
         QStringLiteral("die laufende Nummer"), QStringLiteral("the running number")},
        {PlaceholderValue::ZeroNumber, QStringLiteral("%0num%"), QStringLiteral("%0num%"),
         QStringLiteral("Nummerierung mit führenden Nullen"),
         QStringLiteral("Numbering with Left-Hand-Zeros"),
         QStringLiteral("die laufende Nummer mit führenden Nullen auf die Stellen der Anzahl"),
         QStringLiteral("the running number with leading zeros to the width of the entry count")},
        {PlaceholderValue::Count, QStringLiteral("%abs%"), QStringLiteral("%abs%"),
         QStringLiteral("Absolute Anzahl an Dateien in der Liste"),
         QStringLiteral("Total Number of Files in the List"),
         QStringLiteral("die Anzahl der Einträge"), QStringLiteral("the number of entries")},
        {PlaceholderValue::Day, QStringLiteral("%d%"), QStringLiteral("%t%"), QStringLiteral("Tag"),
         QStringLiteral("Day"), QStringLiteral("der Tag"), QStringLiteral("the day")},
        {PlaceholderValue::Month, QStringLiteral("%m%"), QStringLiteral("%m%"),
         QStringLiteral("Monat"), QStringLiteral("Month"), QStringLiteral("der Monat"),
         QStringLiteral("the month")},
        {PlaceholderValue::Year, QStringLiteral("%y%"), QStringLiteral("%j%"),
         QStringLiteral("Jahr"), QStringLiteral("Year"), QStringLiteral("das Jahr"),
         QStringLiteral("the year")},
        {PlaceholderValue::Hour, QStringLiteral("%h%"), QStringLiteral("%h%"),
         QStringLiteral("Stunde"), QStringLiteral("Hour"), QStringLiteral("die Stunde"),
         QStringLiteral("the hour"), true},
        {PlaceholderValue::Minute, QStringLiteral("%min%"), QStringLiteral("%min%"),
         QStringLiteral("Minute"), QStringLiteral("Minute"), QStringLiteral("die Minute"),
         QStringLiteral("the minute"), true},
        {PlaceholderValue::Second, QStringLiteral("%s%"), QStringLiteral("%s%"),
         QStringLiteral("Sekunde"), QStringLiteral("Second"), QStringLiteral("die Sekunde"),
         QStringLiteral("the second"), true},
        {PlaceholderValue::Artist, QStringLiteral("%artist%"), QStringLiteral("%artist%"),
         QStringLiteral("Interpret"), QStringLiteral("Artist"),
         QStringLiteral("der Interpret aus den Tags der Musikdatei"),
         QStringLiteral("the artist from the music file's tags"), true},
        {PlaceholderValue::Album, QStringLiteral("%album%"), QStringLiteral("%album%"),
         QStringLiteral("Album"), QStringLiteral("Album"),
         QStringLiteral("das Album aus den Tags der Musikdatei"),
         QStringLiteral("the album from the music file's tags"), true},
        {PlaceholderValue::Title, QStringLiteral("%title%"), QStringLiteral("%title%"),
         QStringLiteral("Titel"), QStringLiteral("Title"),
         QStringLiteral("der Titel aus den Tags der Musikdatei"),
         QStringLiteral("the title from the music file's tags"), true},
        {PlaceholderValue::Track, QStringLiteral("%track%"), QStringLiteral("%track%"),
         QStringLiteral("Titelnummer"), QStringLiteral("Track number"),
         QStringLiteral("die Titelnummer aus den Tags, mindestens zweistellig"),
         QStringLiteral("the track number from the tags, at least two digits"), true},
        {PlaceholderValue::TagYear, QStringLiteral("%year%"), QStringLiteral("%year%"),
         QStringLiteral("Erscheinungsjahr"), QStringLiteral("Year of release"),
         QStringLiteral("das Erscheinungsjahr aus den Tags der Musikdatei"),
         QStringLiteral("the year of release from the music file's tags"), true},
        {PlaceholderValue::Camera, QStringLiteral("%camera%"), QStringLiteral("%camera%"),
         QStringLiteral("Kameramodell"), QStringLiteral("Camera model"),
         QStringLiteral("das Kameramodell aus den Angaben des Bildes"),
         QStringLiteral("the camera model from the picture's data"), true},
    };
    return table;
}

const Placeholder& placeholder(PlaceholderValue value)
{
    return placeholders()[int(value)];
}

QString placeholderText(PlaceholderValue value, const PlaceholderValues& values)
{
    switch (value) {
    case PlaceholderValue::Name:
        return values.base;
    case PlaceholderValue::Number:
    case PlaceholderValue::ZeroNumber: {
        char16_t room[48];
        const int width = value == PlaceholderValue::Number
                              ? 0
                              : zeroNumberWidth(values.entryCount, values.digits);
        return placeholderNumber(values.number, width, room).toString();
    }
    case PlaceholderValue::Count:
        return QString::number(values.entryCount);
    case PlaceholderValue::Day:
        return twoDigits(values.moment.date.day());
    case PlaceholderValue::Month:
        return twoDigits(values.moment.date.month());
    case PlaceholderValue::Year:
        return QString::number(values.moment.date.year()).rightJustified(4, u'0');
    case PlaceholderValue::Hour:
        return twoDigits(values.moment.time.hour());
    case PlaceholderValue::Minute:
        return twoDigits(values.moment.time.minute());
    case PlaceholderValue::Second:
        return twoDigits(values.moment.time.second());
    default:
        break;
    }
    return {};
}

QString placeholderHelp(Language language, int indent, int width)
{
    // Each meaning wrapped to a terminal of 80 columns, continued under its first word.
    constexpr int columns = 80;
    QString help;
    for (const Placeholder& p : placeholders()) {
        QString line = QString(indent, u' ') + p.english;
        if (p.german != p.english)
            line += QStringLiteral(" (") + p.german + u')';
        line = line.leftJustified(width - 1) + u' ';
        for (const QString& word : pick(language, p.meaningDe, p.meaningEn).split(u' ')) {
            if (line.size() + word.size() > columns && line.size() > width) {
                help += line.chopped(1) + u'\n';
                line = QString(width, u' ');
            }
            line += word + u' ';
        }
        help += line.chopped(1) + u'\n';
    }
    return help;
}

} // namespace qv
