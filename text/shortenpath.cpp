#include "text/shortenpath.h"

#include "text/textutil.h"

namespace qv {

namespace {

#ifdef Q_OS_WIN
constexpr QChar separator = u'\\';
#else
constexpr QChar separator = u'/';
#endif

QString mark()
{
    return QStringLiteral("...") + separator;
}

} // namespace

QString ShortenFolder(const QString& folder)
{
    if (folder == QString(separator))
        return {};

    QString rest = folder;
    const bool rooted = rest.startsWith(separator);
    if (rooted)
        rest.remove(0, 1);
    // Only our own mark is taken away here, not any folder that happens to begin with a full
    // stop: on Linux '/.config/...' is common and its name must not lose four characters.
    if (rest.startsWith(mark()))
        rest.remove(0, mark().size());

    const qsizetype cut = rest.indexOf(separator);
    rest = cut < 0 ? QString() : mark() + rest.mid(cut + 1);
    return rooted ? separator + rest : rest;
}

QString ShortenPath(const QString& text, const std::function<int(const QString&)>& textWidth,
                    int maxWidth)
{
    if (!textWidth)
        return text;

    QString result = text;
    QString folder = folderPart(text);
    const QString name = fileName(text);
    QString drive;
#ifdef Q_OS_WIN
    if (folder.size() >= 2 && folder.at(1) == u':') {
        drive = folder.left(2);
        folder.remove(0, 2);
    }
#endif
    const QString rootedMark = separator + mark();

    while ((!folder.isEmpty() || !drive.isEmpty()) && textWidth(result) > maxWidth) {
        if (folder == rootedMark) {
            drive.clear();
            folder = mark();
        } else if (folder.isEmpty()) {
            drive.clear();
        } else {
            folder = ShortenFolder(folder);
        }
        result = drive + folder + name;
    }
    return result;
}

} // namespace qv
