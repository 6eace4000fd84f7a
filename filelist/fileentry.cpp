#include "filelist/fileentry.h"

#include "rename/textutil.h"

namespace qv {

FileEntry fileEntryFor(const QString& path, const QString& sizeText, const QString& status)
{
    FileEntry entry;
    entry.name = baseName(path);
    entry.type = extension(path).mid(1).toUpper();
    entry.size = sizeText;
    entry.status = status;
    entry.path = path;
    return entry;
}

FileEntry folderEntryFor(const QString& path, const QString& status)
{
    FileEntry entry;
    // A folder name keeps its full stops: no extension is split off.
    entry.name = fileName(path);
    entry.type = QStringLiteral("DIR");
    entry.status = status;
    entry.path = path;
    return entry;
}

} // namespace qv
