#include "rename/rundisk.h"

#include "rename/diskrename.h"
#include "rename/journal.h"
#include "text/pathbytes.h"

#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <sys/stat.h>
#endif

namespace qv {

LiveDisk::~LiveDisk()
{
    m_renamer.release();
}

RunDisk::Kind LiveDisk::lookUp(const QString& path)
{
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (info.isDir())
        return Kind::Folder;
    if (info.exists() || info.isSymLink())
        return Kind::File;
    return Kind::Missing;
#else
    const QByteArray name = pathBytes(path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? Kind::Missing : Kind::Unknown;
    if (S_ISDIR(st.st_mode))
        return Kind::Folder;
    if (S_ISLNK(st.st_mode) && ::stat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return Kind::Folder;
    return Kind::File;
#endif
}

RunDisk::Kind LiveDisk::kind(const QString& path)
{
    return lookUp(path);
}

bool LiveDisk::rename(const QString& from, const QString& to)
{
    return m_renamer.rename(from, to);
}

bool LiveDisk::renameBack(const QString& from, const QString& to)
{
    return m_renamer.renameBack(from, to);
}

void LiveDisk::expect(const QVector<QPair<QString, QString>>& renames)
{
    m_renamer.expect(renames);
}

bool LiveDisk::stopped() const
{
    return m_journal && m_journal->failed();
}

} // namespace qv
