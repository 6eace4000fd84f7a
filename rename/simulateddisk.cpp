#include "rename/simulateddisk.h"

#include "rename/diskrename.h"
#include "rename/textutil.h"

#include <QFile>

#include <climits>
#include <cstring>
#include <optional>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qv {

namespace {

#ifndef Q_OS_WIN
RunDisk::Kind kindOfEntry(int dirFd, const char* name, unsigned char type)
{
    struct stat st;
    switch (type) {
    case DT_DIR:
        return RunDisk::Kind::Folder;
    case DT_LNK:
        // A link to a folder is a folder; any other link, dangling ones too, is a name like a file.
        return ::fstatat(dirFd, name, &st, 0) == 0 && S_ISDIR(st.st_mode) ? RunDisk::Kind::Folder
                                                                          : RunDisk::Kind::File;
    case DT_UNKNOWN:
        if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return RunDisk::Kind::Unknown;
        if (S_ISLNK(st.st_mode))
            return kindOfEntry(dirFd, name, DT_LNK);
        return S_ISDIR(st.st_mode) ? RunDisk::Kind::Folder : RunDisk::Kind::File;
    default:
        return RunDisk::Kind::File;
    }
}
#endif

} // namespace

SimulatedDisk::Folder& SimulatedDisk::folder(QStringView folderView)
{
    // A run goes through the entries of one folder after another.
    if (m_lastFolder && folderView.size() == m_lastFolderPath.size() &&
        std::memcmp(folderView.utf16(), m_lastFolderPath.utf16(),
                    size_t(folderView.size()) * sizeof(char16_t)) == 0)
        return *m_lastFolder;
    const QString folderPath = folderView.toString();
    const auto found = m_folders.find(folderPath);
    if (found != m_folders.end()) {
        m_lastFolderPath = folderPath;
        m_lastFolder = &found.value();
        return found.value();
    }
    m_lastFolder = nullptr;
    Folder& f = m_folders[folderPath];
#ifndef Q_OS_WIN
    const QByteArray bytes =
        QFile::encodeName(folderPath.isEmpty() ? QStringLiteral(".") : folderPath);
    f.writable = ::access(bytes.constData(), W_OK | X_OK) == 0;
    const long nameMax = ::pathconf(bytes.constData(), _PC_NAME_MAX);
    if (nameMax > 0)
        f.nameMax = nameMax;
    // Without the right to search the folder its names cannot be looked up one by one either;
    // such a folder is left to the look-ups, so that both tell the same.
    if (::access(bytes.constData(), X_OK) != 0)
        return f;
    DIR* dir = ::opendir(bytes.constData());
    if (!dir)
        return f;
    const int dirFd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        const qsizetype length = qsizetype(std::strlen(n));
        const QString name = QString::fromUtf8(n, length);
        // A name that is not UTF-8 has no text that leads back to it: a look-up by text would
        // not find it on disk either.
        if (name.contains(QChar::ReplacementCharacter) && name.toUtf8() != QByteArray(n, length))
            continue;
        f.texts.append(name);
        f.names.insert(QStringView(f.texts.constLast()), kindOfEntry(dirFd, n, e->d_type));
    }
    ::closedir(dir);
    f.listed = true;
#else
    f.writable = true;
#endif
    return f;
}

RunDisk::Kind SimulatedDisk::realKind(const QString& path)
{
    const QStringView name = fileNameIn(path);
    const Folder& f = folder(QStringView(path).chopped(name.size()));
    if (!f.listed)
        return LiveDisk::lookUp(path);
    return f.names.value(name, Kind::Missing);
}

std::optional<QString> SimulatedDisk::realPath(const QString& path, int step) const
{
    // The latest rename before `step` that touched the path itself or, once folders have moved,
    // one of the folders it lies in decides where it is on disk.
    const Record* latest = nullptr;
    qsizetype latestLength = 0;
    const auto consider = [&](const QString& key, qsizetype length) {
        const auto found = m_records.constFind(key);
        if (found == m_records.constEnd())
            return;
        for (auto r = found->crbegin(); r != found->crend(); ++r) {
            if (r->step >= step)
                continue;
            if (!latest || r->step > latest->step) {
                latest = &*r;
                latestLength = length;
            }
            break;
        }
    };
    consider(path, path.size());
    if (m_folderMoved) {
        for (qsizetype end = path.size() - 1; end > 0; --end) {
            if (isPathSeparator(path[end]))
                consider(path.left(end), end);
        }
    }
    if (!latest)
        return path;
    if (latest->gone)
        return std::nullopt;
    return realPath(latest->source + path.mid(latestLength), latest->step);
}

RunDisk::Kind SimulatedDisk::kind(const QString& path)
{
    if (m_records.isEmpty())
        return realKind(path);
    const std::optional<QString> real = realPath(path, INT_MAX);
    return real ? realKind(*real) : Kind::Missing;
}

bool SimulatedDisk::rename(const QString& from, const QString& to)
{
    if (!isRenameAcceptable(from, to))
        return false;
    const Kind source = kind(from);
    if (source == Kind::Missing || source == Kind::Unknown || kind(to) != Kind::Missing)
        return false;
    // The limits the system itself applies: the name length of the file system, the length of a
    // whole path, and the right to change the folder. Until a folder has moved, every folder is
    // where it was.
    std::optional<QString> movedFolder;
    if (!m_records.isEmpty()) {
        movedFolder = realPath(folderPart(to), INT_MAX);
        if (!movedFolder)
            return false;
    }
    Folder& f = folder(movedFolder ? QStringView(*movedFolder) : folderPartIn(to));
    // A UTF-16 unit takes at most three bytes: short texts need no counting.
    const auto bytesOver = [](QStringView text, qsizetype limit) {
        return text.size() * 3 > limit && text.toUtf8().size() > limit;
    };
    if (!f.writable || bytesOver(fileNameIn(to), f.nameMax))
        return false;
#ifndef Q_OS_WIN
    if (bytesOver(from, PATH_MAX - 1) || bytesOver(to, PATH_MAX - 1))
        return false;
#endif
    if (source != Kind::Folder && f.listed) {
        // A file moves within the listing of its folder; nothing below it can be asked for.
        f.names.remove(fileNameIn(from));
        f.texts.append(fileName(to));
        f.names.insert(QStringView(f.texts.constLast()), source);
        return true;
    }
    ++m_steps;
    m_records[from].append({m_steps, true, {}});
    m_records[to].append({m_steps, false, from});
    if (source == Kind::Folder)
        m_folderMoved = true;
    return true;
}

} // namespace qv
