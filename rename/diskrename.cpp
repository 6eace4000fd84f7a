#include "rename/diskrename.h"

#include "text/pathbytes.h"
#include "text/textutil.h"

#include <QRandomGenerator>

#include <algorithm>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/syscall.h>
#endif
#endif

namespace qv {

namespace {

const QString parkingPrefix = QStringLiteral(".quorvel-turn-");

#ifndef Q_OS_WIN

#ifndef RENAME_NOREPLACE
constexpr unsigned RENAME_NOREPLACE = 1u << 0;
#endif

// The bytes that name `path` on disk, or nothing when the text cannot stand for a name exactly;
// another name would rename something else than the user sees.
bool diskName(const QString& path, QByteArray* bytes)
{
    return !path.isEmpty() && pathToBytes(path, bytes);
}

#endif

// Checks shared by every way of renaming; on success `source` and `target` hold the disk names.
bool acceptablePaths(const QString& from, const QString& to, QByteArray* source, QByteArray* target)
{
    if (from.isEmpty() || !isAcceptableNewName(fileNameIn(to)))
        return false;
#ifdef Q_OS_WIN
    Q_UNUSED(source);
    Q_UNUSED(target);
    return !from.contains(QChar(u'\0')) && !to.contains(QChar(u'\0'));
#else
    return diskName(from, source) && diskName(to, target);
#endif
}

} // namespace

bool isDiskText(QStringView path)
{
    if (path.isEmpty())
        return false;
    const char16_t* units = path.utf16();
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = units[i];
        if (unit > 0 && unit < 0xd800)
            continue;
        if (unit == 0)
            return false;
        // Half of a surrogate pair stands for no bytes, unless it keeps a byte that is not UTF-8.
        if (QChar::isHighSurrogate(unit)) {
            if (i + 1 == path.size() || !QChar::isLowSurrogate(units[i + 1]))
                return false;
            ++i;
        } else if (QChar::isLowSurrogate(unit) && (unit < 0xdc80 || unit > 0xdcff)) {
            return false;
        }
    }
    return true;
}

bool isRenameAcceptable(const QString& from, const QString& to)
{
#ifdef Q_OS_WIN
    QByteArray source;
    QByteArray target;
    return acceptablePaths(from, to, &source, &target);
#else
    return !from.isEmpty() && isAcceptableNewName(fileNameIn(to)) && isDiskText(from) &&
           isDiskText(to);
#endif
}

bool isAcceptableNewName(QStringView name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    if (name.contains(u'/') || name.contains(QChar(u'\0')))
        return false;
#ifdef Q_OS_WIN
    if (name.contains(u'\\') || name.contains(u':'))
        return false;
#endif
    return true;
}

bool NoReplaceRenamer::rename(const QString& from, const QString& to)
{
    // The buffers stay from rename to rename: a run converts two paths per rename.
    QByteArray& source = m_source;
    QByteArray& target = m_target;
    if (!acceptablePaths(from, to, &source, &target))
        return false;

#ifdef Q_OS_WIN
    // Without MOVEFILE_REPLACE_EXISTING the call fails when the target exists.
    return ::MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()),
                         reinterpret_cast<const wchar_t*>(to.utf16()), 0) != 0;
#else
    // Asking for the new name first would leave a file system that ignores case (and caches
    // what it found) sure that the new name is taken even after the file has left the old one.
    if (differsOnlyInCase(source, target))
        return moveThroughParking(source.constData(), target.constData());
    return moveOnce(source.constData(), target.constData());
#endif
}

void NoReplaceRenamer::release()
{
#ifndef Q_OS_WIN
    if (m_folderFd >= 0)
        ::close(m_folderFd);
    m_folderFd = -1;
    m_folder.clear();
#endif
}

bool differsOnlyInCase(const QByteArray& from, const QByteArray& to)
{
    const qsizetype fromName = from.lastIndexOf('/') + 1;
    const qsizetype toName = to.lastIndexOf('/') + 1;
    const QByteArrayView a = QByteArrayView(from).sliced(fromName);
    const QByteArrayView b = QByteArrayView(to).sliced(toName);
    // Asked for every rename: names in ASCII, the most of them, are told by their bytes, and
    // nearly always at their first bytes, before the folders are compared.
    const auto ascii = [](QByteArrayView name) {
        return std::all_of(name.begin(), name.end(), [](char c) { return uchar(c) < 0x80; });
    };
    const bool sameIgnoringCase =
        ascii(a) && ascii(b)
            ? a.size() == b.size() && qstrnicmp(a.data(), a.size(), b.data(), b.size()) == 0
            : pathFromBytes(a).compare(pathFromBytes(b), Qt::CaseInsensitive) == 0;
    return sameIgnoringCase && a != b && fromName == toName &&
           QByteArrayView(from).first(fromName) == QByteArrayView(to).first(toName);
}

bool isParkingName(QStringView name)
{
    return name.startsWith(parkingPrefix);
}

QString newParkingName()
{
    return parkingPrefix + QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8, 16,
                                                    QLatin1Char('0'));
}

#ifndef Q_OS_WIN

int NoReplaceRenamer::folderOf(const char* from, const char* to)
{
#if defined(Q_OS_LINUX) && defined(O_PATH)
    const char* fromName = std::strrchr(from, '/');
    const char* toName = std::strrchr(to, '/');
    if (!fromName || !toName || fromName == from || fromName - from != toName - to ||
        std::memcmp(from, to, size_t(fromName - from)) != 0)
        return -1;
    const QByteArrayView folder(from, fromName - from + 1);
    if (m_folderFd >= 0 && folder == QByteArrayView(m_folder))
        return m_folderFd;
    release();
    m_folder = folder.toByteArray();
    m_folderFd = ::open(m_folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0)
        m_folder.clear();
    return m_folderFd;
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
    return -1;
#endif
}

int NoReplaceRenamer::renameNoReplace(const char* from, const char* to)
{
#if defined(Q_OS_LINUX) && defined(SYS_renameat2)
    // Renames within one folder go by the folder's descriptor and the names: the system then
    // walks no path per rename (a twentieth of a run of many files). Each rename takes the
    // descriptor of its own folder first, so it never holds a folder a rename of ours moved.
    const int folder = folderOf(from, to);
    if (folder >= 0)
        return int(::syscall(SYS_renameat2, folder, from + m_folder.size(), folder,
                             to + m_folder.size(), RENAME_NOREPLACE));
    return int(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE));
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
    errno = ENOSYS;
    return -1;
#endif
}

int NoReplaceRenamer::renameReplacing(const char* from, const char* to)
{
    return ::rename(from, to);
}

int NoReplaceRenamer::hardLink(const char* from, const char* to)
{
    return ::link(from, to);
}

int NoReplaceRenamer::removeFile(const char* path)
{
    return ::unlink(path);
}

NoReplaceRenamer::Node NoReplaceRenamer::nodeOf(const struct stat& st)
{
    return {quint64(st.st_dev),
            quint64(st.st_ino),
            qint64(st.st_size),
            S_ISDIR(st.st_mode),
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

int NoReplaceRenamer::createFile(const char* path, Node* node)
{
    // No permissions at all: no other program opens it for writing by accident meanwhile.
    const int fd = ::open(path, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    struct stat st;
    const int result = ::fstat(fd, &st);
    const int saved = errno;
    ::close(fd);
    if (result != 0) {
        errno = saved;
        return -1;
    }
    *node = nodeOf(st);
    return 0;
}

int NoReplaceRenamer::makeFolder(const char* path)
{
    return ::mkdir(path, 0700);
}

int NoReplaceRenamer::removeFolder(const char* path)
{
    return ::rmdir(path);
}

int NoReplaceRenamer::status(const char* path, Node* node)
{
    struct stat st;
    if (::lstat(path, &st) != 0)
        return -1;
    *node = nodeOf(st);
    return 0;
}

bool NoReplaceRenamer::moveOnce(const char* from, const char* to)
{
    if (renameNoReplace(from, to) == 0)
        return true;
    // EINVAL also means "folder into itself"; the fallback then fails the same way.
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    return renameWithoutFlag(from, to);
}

bool NoReplaceRenamer::renameWithoutFlag(const char* from, const char* to)
{
    Node source;
    if (status(from, &source) != 0)
        return false;
    if (!source.folder) {
        // A hard link refuses an existing target by itself.
        if (hardLink(from, to) == 0) {
            // Another program may have put a file of its own at the old name since the link:
            // that one is not ours to unlink. Ours then lies under the new name only, and the
            // entry is refused; the journal's identity check finds it there.
            if (!isSameNode(from, source)) {
                errno = EBUSY;
                return false;
            }
            if (removeFile(from) == 0)
                return true;
            const int saved = errno;
            if (isSameNode(to, source))
                removeFile(to);
            errno = saved;
            return false;
        }
        // File systems without hard links (FAT, some FUSE) leave only the placeholder.
        if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
            return false;
    }

    // Plain rename(2) replaces whatever is at the target, so it only ever runs over a placeholder
    // of our own: creating that fails when anything is there already. Testing the name first
    // instead would leave a moment in which another program's new file gets replaced.
    if (m_witness && !m_witness->reserving(to)) {
        errno = EIO;
        return false;
    }
    Node placeholder;
    if (source.folder) {
        if (makeFolder(to) != 0)
            return false;
        if (status(to, &placeholder) != 0 || !placeholder.folder)
            return false;
    } else if (createFile(to, &placeholder) != 0) {
        return false;
    }
    const bool witnessed =
        !m_witness || m_witness->reserved(to, placeholder.device, placeholder.inode);
    // The source is checked again too: were it replaced meanwhile, the other program's file
    // would move over the placeholder in its place. The placeholder is checked last, right
    // before rename(2); a write between the two cannot be seen.
    if (witnessed && isSameNode(from, source) && isOwnPlaceholder(to, placeholder) &&
        renameReplacing(from, to) == 0)
        return true;
    const int saved = witnessed ? (errno ? errno : EBUSY) : EIO;
    if (isOwnPlaceholder(to, placeholder)) {
        if (placeholder.folder)
            removeFolder(to);
        else
            removeFile(to);
    }
    errno = saved;
    return false;
}

// Through a temporary name in the same folder. Where the new name is still taken once the file
// has left, another file has it (a file system that heeds case): the file goes back, refused.
bool NoReplaceRenamer::moveThroughParking(const char* from, const char* to)
{
    const QByteArray source(from);
    const QByteArray parked =
        source.left(source.lastIndexOf('/') + 1) + newParkingName().toLatin1();
    if (m_witness && !m_witness->passesThrough(parked)) {
        errno = EIO;
        return false;
    }
    if (!moveOnce(from, parked.constData()))
        return false;
    Node taken;
    if (status(to, &taken) != 0 && moveOnce(parked.constData(), to))
        return true;
    moveOnce(parked.constData(), from);
    errno = EEXIST;
    return false;
}

bool NoReplaceRenamer::isSameNode(const char* path, const Node& node)
{
    Node now;
    return status(path, &now) == 0 && now.device == node.device && now.inode == node.inode;
}

// Another program may have put something of its own in the placeholder's place, or written into
// it; then it is no longer ours to replace or remove. A folder that got entries meanwhile needs no
// check here: neither rename(2) nor rmdir(2) removes a folder that is not empty.
bool NoReplaceRenamer::isOwnPlaceholder(const char* path, const Node& placeholder)
{
    Node now;
    return status(path, &now) == 0 && now.device == placeholder.device &&
           now.inode == placeholder.inode && now.folder == placeholder.folder &&
           (now.folder || (now.size == 0 && now.modified == placeholder.modified &&
                           now.changed == placeholder.changed));
}

int FallbackRenamer::renameNoReplace(const char* from, const char* to)
{
    Q_UNUSED(from);
    Q_UNUSED(to);
    errno = EINVAL;
    return -1;
}

#endif

} // namespace qv
