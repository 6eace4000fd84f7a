#include "filelist/fileentry.h"

#include "text/pathbytes.h"
#include "text/textutil.h"

namespace qv {

QStringView folderEntryNameIn(QStringView path)
{
    qsizetype start = path.size();
    while (start > 0 && !isPathSeparator(path.at(start - 1)))
        --start;
    return path.mid(start);
}

QStringView fileEntryNameIn(QStringView path)
{
    const QStringView name = folderEntryNameIn(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 ? name.left(dot) : name;
}

QString fileEntryName(const QString& path)
{
    return shownText(fileEntryNameIn(path).toString());
}

QString fileEntryType(const QString& path)
{
    return shownText(extension(path).mid(1).toUpper());
}

QString folderEntryName(const QString& path)
{
    // A folder name keeps its full stops: no extension is split off.
    return shownText(folderEntryNameIn(path).toString());
}

FileEntry fileEntryFor(const QString& path, const QString& sizeText, const QString& status)
{
    FileEntry entry;
    entry.name = fileEntryName(path);
    entry.type = fileEntryType(path);
    entry.size = sizeText;
    entry.status = status;
    entry.path = path;
    return entry;
}

FileEntry folderEntryFor(const QString& path, const QString& status)
{
    FileEntry entry;
    entry.name = folderEntryName(path);
    entry.type = QStringLiteral("DIR");
    entry.status = status;
    entry.path = path;
    return entry;
}

} // namespace qv
