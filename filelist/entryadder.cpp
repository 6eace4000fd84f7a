#include "filelist/entryadder.h"

#include "filelist/filelistmodel.h"
#include "filelist/sizetext.h"
#include "text/pathbytes.h"

#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qv {

PathKind pathKind(const QString& path)
{
    if (path.isEmpty())
        return PathKind::Missing;
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(pathBytes(path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Unknown;
    if (S_ISDIR(st.st_mode))
        return PathKind::Folder;
    return S_ISREG(st.st_mode) ? PathKind::File : PathKind::Other;
#else
    const QFileInfo info(path);
    if (info.isDir())
        return PathKind::Folder;
    if (info.isFile())
        return PathKind::File;
    return info.exists() ? PathKind::Other : PathKind::Missing;
#endif
}

bool pathExists(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st;
    return !path.isEmpty() && ::lstat(pathBytes(path).constData(), &st) == 0;
#else
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
#endif
}

bool isReadableFolder(const QString& path)
{
#ifdef Q_OS_UNIX
    return ::access(pathBytes(path).constData(), R_OK | X_OK) == 0;
#else
    const QFileInfo info(path);
    return info.isReadable() && info.isExecutable();
#endif
}

EntryAdder::EntryAdder(FileListModel& list, AddSettings settings)
    : m_list(list), m_settings(std::move(settings))
{
}

void EntryAdder::setAddedHandler(std::function<void(int)> handler)
{
    m_addedHandler = std::move(handler);
}

void EntryAdder::setDuplicateHandler(std::function<void(const QString&, bool)> handler)
{
    m_duplicateHandler = std::move(handler);
}

void EntryAdder::refuse(AddResult& result, const QString& path, bool folder)
{
    result.duplicates.append(path);
    if (m_duplicateHandler)
        m_duplicateHandler(path, folder);
}

void EntryAdder::added(AddResult& result)
{
    ++result.added;
    if (m_addedHandler)
        m_addedHandler(m_list.count());
}

AddResult EntryAdder::addFiles(const QStringList& paths)
{
    AddResult result;
    if (!m_settings.files)
        return result;
    for (const QString& path : paths) {
        // The size is read only for a file that is really added.
        if (m_list.containsPath(path))
            refuse(result, path, false);
        else if (m_list.appendFile(path, FileSizeOf(path), m_settings.status))
            added(result);
    }
    return result;
}

AddResult EntryAdder::addFolders(const QStringList& paths)
{
    AddResult result;
    if (!m_settings.folders)
        return result;
    for (const QString& path : paths) {
        if (m_list.appendFolder(path, m_settings.status))
            added(result);
        else
            refuse(result, path, true);
    }
    return result;
}

AddResult EntryAdder::addScanned(const QList<ScannedFile>& files, bool uniquePaths)
{
    AddResult result;
    if (!m_settings.files)
        return result;
    // Into an empty list, files that differ from each other need no test for duplicates.
    const bool fresh = uniquePaths && m_list.count() == 0;
    m_list.reserve(m_list.count() + int(files.size()));
    for (const ScannedFile& file : files) {
        // The scan looked each file up where it stood; a file it could not look up is gone.
        if (file.size < 0)
            continue;
        if (fresh) {
            m_list.appendScannedFile(file.path, file.size, m_settings.status);
            added(result);
        } else if (m_list.appendFile(file.path, file.size, m_settings.status)) {
            added(result);
        } else {
            refuse(result, file.path, false);
        }
    }
    return result;
}

} // namespace qv
