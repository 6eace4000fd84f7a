#include "rename/simulateddisk.h"

#include "rename/diskrename.h"
#include "text/pathbytes.h"
#include "text/textutil.h"

#include <QDir>
#include <QFile>
#include <QVarLengthArray>

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

#ifndef Q_OS_WIN
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qv {

namespace {

// The system gives up on a path after this many links (ELOOP).
constexpr int linkLimit = 40;

bool sameText(QStringView text, const QString& other)
{
    return text.size() == other.size() && std::memcmp(text.utf16(), other.constData(),
                                                      size_t(text.size()) * sizeof(char16_t)) == 0;
}

QString joined(const QString& folder, QStringView name)
{
    QString path;
    path.reserve(folder.size() + name.size());
    path.append(folder);
    path.append(name);
    return path;
}

#ifndef Q_OS_WIN
// The target of the link `name` in the folder `dirFd` (AT_FDCWD: `name` is a whole path), or
// nothing when it cannot be read.
std::optional<QString> linkTarget(int dirFd, const char* name)
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlinkat(dirFd, name, buffer, sizeof buffer);
    if (length <= 0 || size_t(length) >= sizeof buffer)
        return std::nullopt;
    return pathFromBytes(QByteArrayView(buffer, qsizetype(length)));
}

// What a listed name is; a link keeps no kind of its own, so that it can follow its target.
RunDisk::Kind kindOfEntry(int dirFd, const char* name, unsigned char type, bool* link)
{
    struct stat st;
    switch (type) {
    case DT_DIR:
        return RunDisk::Kind::Folder;
    case DT_LNK:
        *link = true;
        return RunDisk::Kind::File;
    case DT_UNKNOWN:
        if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return RunDisk::Kind::Unknown;
        if (S_ISLNK(st.st_mode))
            return kindOfEntry(dirFd, name, DT_LNK, link);
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
    if (m_lastFolder && sameText(folderView, m_lastFolderPath))
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
    const QByteArray bytes = pathBytes(folderPath.isEmpty() ? QStringLiteral(".") : folderPath);
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
        Entry entry;
        entry.kind = kindOfEntry(dirFd, n, e->d_type, &entry.link);
        // Most names are ASCII, which needs no decoding step of its own.
        QVarLengthArray<char16_t, 256> ascii;
        QString decoded;
        if (std::all_of(n, n + length, [](char c) { return uchar(c) < 0x80; })) {
            ascii.resize(length);
            std::copy(n, n + length, ascii.begin());
        } else {
            decoded = pathFromBytes(QByteArrayView(n, length));
        }
        const QStringView name =
            decoded.isNull() ? QStringView(ascii.constData(), length) : QStringView(decoded);
        if (entry.link) {
            const std::optional<QString> target = linkTarget(dirFd, n);
            if (target)
                f.targets.insert(name.toString(), *target);
            else
                entry.link = false; // a name like any file, as the system's look-up shows it
        }
        f.names.insert(name, entry);
    }
    ::closedir(dir);
    f.listed = true;
#else
    f.writable = true;
#endif
    return f;
}

void SimulatedDisk::leaveFolder(QStringView folderPath)
{
    if (m_folderMoved || m_linked || !m_records.isEmpty())
        return;
    // Taking a value out may move the others.
    m_lastFolder = nullptr;
    m_folders.remove(folderPath.toString());
}

SimulatedDisk::Found SimulatedDisk::found(const QString& realPath, bool list)
{
    const QStringView name = fileNameIn(realPath);
    const QStringView folderView = QStringView(realPath).chopped(name.size());
    const Folder* f = nullptr;
    if (list) {
        f = &folder(folderView);
    } else if (m_lastFolder && sameText(folderView, m_lastFolderPath)) {
        f = m_lastFolder;
    } else {
        const auto known = m_folders.constFind(folderView.toString());
        if (known != m_folders.constEnd())
            f = &known.value();
    }
    if (f && f->listed) {
        const Entry entry = f->names.value(name);
        Found result{entry.kind, entry.link, {}};
        if (entry.link)
            result.target = f->targets.value(name.toString());
        return result;
    }
#ifdef Q_OS_WIN
    return {LiveDisk::lookUp(realPath), false, {}};
#else
    const QByteArray bytes = pathBytes(realPath);
    struct stat st;
    if (::lstat(bytes.constData(), &st) != 0)
        return {errno == ENOENT || errno == ENOTDIR ? Kind::Missing : Kind::Unknown, false, {}};
    if (S_ISDIR(st.st_mode))
        return {Kind::Folder, false, {}};
    if (S_ISLNK(st.st_mode)) {
        if (const std::optional<QString> target = linkTarget(AT_FDCWD, bytes.constData()))
            return {Kind::File, true, *target};
    }
    return {Kind::File, false, {}};
#endif
}

SimulatedDisk::Resolved SimulatedDisk::follow(QString at, QStringView rest, int& links)
{
    qsizetype i = 0;
    while (i < rest.size()) {
        qsizetype end = i;
        while (end < rest.size() && rest[end] != u'/')
            ++end;
        const QStringView part = rest.mid(i, end - i);
        i = end + 1;
        if (part.isEmpty() || part == u".")
            continue;
        if (part == u"..") {
            // The folder's own parent, wherever the way to it came from.
            if (at.size() > 1) {
                at.chop(1);
                at.truncate(at.lastIndexOf(u'/') + 1);
            }
            continue;
        }
        const QString candidate = joined(at, part);
        const std::optional<QString> real = realPathNow(candidate);
        const Found here = real ? found(*real, false) : Found{};
        if (here.link) {
            if (++links > linkLimit)
                return {Kind::Unknown, {}, false};
            m_linked = true;
            const Resolved target = here.target.startsWith(u'/')
                                        ? follow(QStringLiteral("/"), here.target, links)
                                        : follow(at, here.target, links);
            if (target.kind != Kind::Folder)
                return target;
            at = target.path;
        } else if (here.kind == Kind::Folder) {
            at = candidate + u'/';
        } else {
            // A file on the way is no folder to look into (ENOTDIR): nothing is there.
            return {here.kind == Kind::Unknown ? Kind::Unknown : Kind::Missing, {}, false};
        }
    }
    return {Kind::Folder, at, false};
}

SimulatedDisk::Resolved SimulatedDisk::resolvedFolder(QStringView folderPath)
{
#ifdef Q_OS_WIN
    return {Kind::Folder, folderPath.toString(), true};
#else
    if (m_hasLastResolved && sameText(folderPath, m_lastResolvedPath))
        return m_lastResolved;
    QString key = folderPath.toString();
    const auto known = m_resolved.constFind(key);
    Resolved resolved;
    if (known != m_resolved.constEnd()) {
        resolved = known.value();
    } else {
        int links = 0;
        const QString absolute =
            folderPath.startsWith(u'/') ? key : joined(QDir::currentPath() + u'/', folderPath);
        resolved = follow(QStringLiteral("/"), absolute, links);
        resolved.same = resolved.kind == Kind::Folder && resolved.path == key;
        m_resolved.insert(key, resolved);
    }
    m_lastResolvedPath = std::move(key);
    m_lastResolved = resolved;
    m_hasLastResolved = true;
    return resolved;
#endif
}

void SimulatedDisk::forgetResolved()
{
    m_resolved.clear();
    m_hasLastResolved = false;
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

RunDisk::Kind SimulatedDisk::kindAt(const QString& path, const QString& folder)
{
    const std::optional<QString> real = realPathNow(path);
    if (!real)
        return Kind::Missing;
    const Found here = found(*real, true);
    if (!here.link)
        return here.kind;
    // A link to a folder is a folder; any other link, dangling ones too, is a name like a file.
    const Resolved target =
        resolvedFolder(here.target.startsWith(u'/') ? here.target : folder + here.target);
    return target.kind == Kind::Folder ? Kind::Folder : Kind::File;
}

RunDisk::Kind SimulatedDisk::kind(const QString& path)
{
    const QStringView name = fileNameIn(path);
    const Resolved folder = resolvedFolder(QStringView(path).chopped(name.size()));
    if (folder.kind != Kind::Folder || name.isEmpty())
        return folder.kind;
    return kindAt(folder.same ? path : joined(folder.path, name), folder.path);
}

bool SimulatedDisk::rename(const QString& from, const QString& to)
{
    // Each refusal sets errno as the system's rename would, so that a plan gives the same reason.
    const auto refuse = [](int error) {
        errno = error;
        return false;
    };
    if (!isRenameAcceptable(from, to))
        return refuse(EINVAL);
    const QStringView fromName = fileNameIn(from);
    const QStringView toName = fileNameIn(to);
    if (fromName.isEmpty())
        return refuse(EINVAL);
    // Both paths as the system follows them: links on the way lead to their targets.
    const Resolved fromFolder = resolvedFolder(QStringView(from).chopped(fromName.size()));
    const Resolved toFolder = resolvedFolder(QStringView(to).chopped(toName.size()));
    if (fromFolder.kind != Kind::Folder || toFolder.kind != Kind::Folder)
        return refuse(ENOENT);
    const QString source = fromFolder.same ? from : joined(fromFolder.path, fromName);
    const QString target = toFolder.same ? to : joined(toFolder.path, toName);
    const std::optional<QString> realSource = realPathNow(source);
    if (!realSource)
        return refuse(ENOENT);
    const Found moving = found(*realSource, true);
    if (!moving.link && (moving.kind == Kind::Missing || moving.kind == Kind::Unknown))
        return refuse(moving.kind == Kind::Missing ? ENOENT : EACCES);
    const std::optional<QString> realTarget = realPathNow(target);
    if (realTarget) {
        const Found there = found(*realTarget, true);
        if (there.link || there.kind != Kind::Missing)
            return refuse(EEXIST);
    }
    const bool movesFolder = !moving.link && moving.kind == Kind::Folder;
    if (movesFolder && target.startsWith(source + u'/'))
        return refuse(EINVAL);
    // The limits the system itself applies: the name length of the file system, the length of a
    // whole path, and the right to change the folder.
    const std::optional<QString> targetFolder = realPathNow(toFolder.path);
    if (!targetFolder)
        return refuse(ENOENT);
    const Folder& f = folder(*targetFolder);
    // A UTF-16 unit takes at most three bytes: short texts need no counting.
    const auto bytesOver = [](QStringView text, qsizetype limit) {
        return text.size() * 3 > limit && text.toUtf8().size() > limit;
    };
    if (!f.writable)
        return refuse(EACCES);
    if (bytesOver(toName, f.nameMax))
        return refuse(ENAMETOOLONG);
#ifndef Q_OS_WIN
    if (bytesOver(from, PATH_MAX - 1) || bytesOver(to, PATH_MAX - 1))
        return refuse(ENAMETOOLONG);
#endif
    if (moving.link) {
        // Paths through the link lead elsewhere from now on, and through its new name to its
        // target.
        m_linked = true;
        forgetResolved();
    }
    // A file or a link moves within the listing of its folder; nothing below it can be asked
    // for. Both names are those of the disk as it was, so that a name a record still tells
    // about keeps what it showed: a target the records say is gone moves by record as well.
    const QStringView sourceFolder = folderPartIn(*realSource);
    if (!movesFolder && realTarget && sourceFolder == folderPartIn(*realTarget)) {
        Folder& listing = folder(sourceFolder);
        if (listing.listed) {
            const QStringView oldName = fileNameIn(*realSource);
            const QStringView newName = fileNameIn(*realTarget);
            listing.names.remove(oldName);
            listing.names.insert(newName, {moving.kind, moving.link});
            if (moving.link) {
                listing.targets.remove(oldName.toString());
                listing.targets.insert(newName.toString(), moving.target);
            }
            return true;
        }
    }
    ++m_steps;
    m_records[source].append({m_steps, true, {}});
    m_records[target].append({m_steps, false, source});
    if (movesFolder) {
        m_folderMoved = true;
        forgetResolved();
    }
    return true;
}

} // namespace qv
