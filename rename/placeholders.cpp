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

int zeroNumberWidth(int entryCount)
{
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
        const int width =
            value == PlaceholderValue::Number ? 0 : zeroNumberWidth(values.entryCount);
        return placeholderNumber(values.number, width, room).toString();
    }
    case PlaceholderValue::Count:
        return QString::number(values.entryCount);
    case PlaceholderValue::Day:
        return twoDigits(values.today.day());
    case PlaceholderValue::Month:
        return twoDigits(values.today.month());
    case PlaceholderValue::Year:
        return QString::number(values.today.year()).rightJustified(4, u'0');
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
