#include "rename/renamename.h"

#include "rename/placeholders.h"

#include "text/pathbytes.h"
#include "text/textutil.h"

#include <algorithm>
#include <optional>

namespace qv {

namespace {

// The name as a text of exactly its size, without room to grow: a run keeps one for every entry.
QString withExtension(const QString& part, QStringView ext)
{
    if (ext.isEmpty())
        return part;
    QString name(part.size() + ext.size(), Qt::Uninitialized);
    std::copy(part.begin(), part.end(), name.begin());
    std::copy(ext.begin(), ext.end(), name.begin() + part.size());
    return name;
}

} // namespace

QString RenameName(const QString& name, int position, const RenameSettings& settings,
                   int entryCount, const QDate& today, const std::function<int()>& previewPosition)
{
    if (name.isEmpty())
        return {};
    // A name that keeps bytes that are not UTF-8 is formed from the text the user sees. Where
    // that text comes out as it went in, the name stays: its bytes are not rewritten as U+FFFD.
    const QStringView given = fileNameIn(name);
    if (hasRawBytes(given)) {
        const QString shown = shownText(given.toString());
        QString formed = RenameName(shown, position, settings, entryCount, today, previewPosition);
        return formed == shown ? given.toString() : formed;
    }

    // The pieces as parts of the name: a run forms a name for every entry.
    const QStringView file = given;
    const qsizetype dot = file.lastIndexOf(u'.');
    const QStringView ext = dot < 0 ? QStringView() : file.mid(dot);
    const QStringView base = file.left(file.size() - ext.size());

    QString part = base.toString();
    if (settings.maskActive) {
        part = ReplaceAll(settings.mask, placeholder(PlaceholderValue::Name).english, part);
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
            // Each value is formed only when its placeholder is there: a run forms a name for
            // every entry, and most masks hold one or two placeholders.
            PlaceholderValues values{{}, 0, entryCount, today};
            for (const Placeholder& p : placeholders()) {
                if (p.value == PlaceholderValue::Name)
                    continue;
                for (const QString* spelling : {&p.english, &p.german}) {
                    if ((spelling == &p.german && p.german == p.english) ||
                        !part.contains(*spelling))
                        continue;
                    if (p.value == PlaceholderValue::Number ||
                        p.value == PlaceholderValue::ZeroNumber)
                        values.number = entryNumber();
                    part = ReplaceAll(part, *spelling, placeholderText(p.value, values));
                }
                if (!part.contains(u'%'))
                    break;
            }
        }
    }

    if (!settings.searchActive)
        return withExtension(part, ext);
    const QString& old = settings.searchOld;
    const QString& neu = settings.searchNew;
    if (settings.searchInName && settings.searchInExtension)
        return ReplaceAll(withExtension(part, ext), old, neu);
    if (settings.searchInName)
        return withExtension(ReplaceAll(part, old, neu), ext);
    if (settings.searchInExtension)
        return withExtension(part, ReplaceAll(ext.toString(), old, neu));
    return withExtension(part, ext);
}

} // namespace qv
