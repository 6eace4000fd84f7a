#include "rename/renamename.h"

#include "rename/textutil.h"

#include <optional>

namespace qv {

namespace {

// "%.*d": the sign, then at least `width` digits. The number is 64-bit because a start near the
// top of the int range plus a position must not wrap round into a negative number.
QString zeroPadded(qint64 number, int width)
{
    const QString digits =
        QString::number(number < 0 ? -number : number).rightJustified(width, u'0');
    return number < 0 ? QLatin1Char('-') + digits : digits;
}

QString twoDigits(int value)
{
    return QString::number(value).rightJustified(2, u'0');
}

} // namespace

QString RenameName(const QString& name, int position, const RenameSettings& settings,
                   int entryCount, const QDate& today, const std::function<int()>& previewPosition)
{
    if (name.isEmpty())
        return {};

    const QString ext = extension(name);
    const QString base = baseName(name);

    QString part = base;
    if (settings.maskActive) {
        part = ReplaceAll(settings.mask, QStringLiteral("%name%"), base);
        if (part.contains(u'%')) {
            // The position is looked up only when a number is wanted: the preview's lookup
            // walks the whole list.
            std::optional<qint64> number;
            const auto entryNumber = [&]() {
                if (!number) {
                    int start = 1;
                    if (!IsNumber(settings.numStart, &start))
                        start = 1;
                    int pos = 0;
                    if (position >= 0)
                        pos = position;
                    else if (position == -1 && previewPosition)
                        pos = previewPosition();
                    number = qint64(start) + pos;
                }
                return *number;
            };

            if (part.contains(QStringLiteral("num%"))) {
                part = ReplaceAll(part, QStringLiteral("%num%"), QString::number(entryNumber()));
                if (part.contains(QStringLiteral("%0num%"))) {
                    // W depends on the entry count only, not on the start or the largest number.
                    const int width = int(QString::number(entryCount).size());
                    part = ReplaceAll(part, QStringLiteral("%0num%"),
                                      zeroPadded(entryNumber(), width));
                }
            }
            part = ReplaceAll(part, QStringLiteral("%abs%"), QString::number(entryCount));
            part = ReplaceAll(part, QStringLiteral("%d%"), twoDigits(today.day()));
            part = ReplaceAll(part, QStringLiteral("%t%"), twoDigits(today.day()));
            part = ReplaceAll(part, QStringLiteral("%m%"), twoDigits(today.month()));
            part = ReplaceAll(part, QStringLiteral("%j%"),
                              QString::number(today.year()).rightJustified(4, u'0'));
            part = ReplaceAll(part, QStringLiteral("%y%"),
                              QString::number(today.year()).rightJustified(4, u'0'));
        }
    }

    if (!settings.searchActive)
        return part + ext;
    const QString& old = settings.searchOld;
    const QString& neu = settings.searchNew;
    if (settings.searchInName && settings.searchInExtension)
        return ReplaceAll(part + ext, old, neu);
    if (settings.searchInName)
        return ReplaceAll(part, old, neu) + ext;
    if (settings.searchInExtension)
        return part + ReplaceAll(ext, old, neu);
    return part + ext;
}

} // namespace qv
