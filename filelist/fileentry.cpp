#include "filelist/fileentry.h"

#include "rename/textutil.h"

namespace qv {

QString fileEntryName(const QString& path)
{
    // baseName(path) in one piece: it is formed for every entry the list sorts by name.
    qsizetype start = path.size();
    while (start > 0 && !isPathSeparator(path.at(start - 1)))
        --start;
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot >= start ? path.mid(start, dot - start) : path.mid(start);
}

QString fileEntryType(const QString& path)
{
    return extension(path).mid(1).toUpper();
}

QString folderEntryName(const QString& path)
{
    // A folder name keeps its full stops: no extension is split off.
    return fileName(path);
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
