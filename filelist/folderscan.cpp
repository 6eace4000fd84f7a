#include "filelist/folderscan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qv {

QStringList SplitText(const QString& text, QChar separator)
{
    return text.split(separator, Qt::KeepEmptyParts);
}

QStringList scanPatterns(bool allFiles, const QString& filterText)
{
    if (allFiles)
        return {QStringLiteral("*.*")};
    QString compact = filterText;
    compact.remove(u' ');
    QStringList patterns;
    for (const QString& item : SplitText(compact, u',')) {
        if (!item.isEmpty())
            patterns.append(u'.' + item);
    }
    return patterns;
}

namespace {

bool matchesPattern(const QString& name, const QString& pattern)
{
    return pattern == QLatin1String("*.*") || name.endsWith(pattern, Qt::CaseInsensitive);
}

// Appends the files of one folder, one pass per pattern; files are given in scan order.
void appendMatches(QStringList& result, const QString& prefix, const QStringList& files,
                   const QStringList& patterns)
{
    for (const QString& pattern : patterns) {
        for (const QString& name : files) {
            if (matchesPattern(name, pattern))
                result.append(prefix + name);
        }
    }
}

#ifdef Q_OS_UNIX

// A name on disk that is not valid UTF-8 has no QString that leads back to it; such an entry is
// left out rather than listed under a name that means another file.
bool decodeName(const char* bytes, size_t length, QString& name)
{
    name = QString::fromUtf8(bytes, qsizetype(length));
    if (!name.contains(QChar::ReplacementCharacter))
        return true;
    const QByteArray back = name.toUtf8();
    return size_t(back.size()) == length && std::memcmp(back.constData(), bytes, length) == 0;
}

enum class Kind
{
    Skip,
    Folder,
    File
};

Kind kindOf(int dirFd, const char* name, unsigned char type)
{
    struct stat st;
    switch (type) {
    case DT_DIR:
        return Kind::Folder;
    case DT_REG:
        return Kind::File;
    case DT_LNK:
        // A link counts as what it points to when that is a file; links to folders are not
        // followed, which also keeps link cycles out of the scan.
        if (::fstatat(dirFd, name, &st, 0) == 0 && S_ISREG(st.st_mode))
            return Kind::File;
        return Kind::Skip;
    case DT_UNKNOWN:
        if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return Kind::Skip;
        if (S_ISDIR(st.st_mode))
            return Kind::Folder;
        if (S_ISLNK(st.st_mode))
            return kindOf(dirFd, name, DT_LNK);
        return S_ISREG(st.st_mode) ? Kind::File : Kind::Skip;
    default:
        return Kind::Skip;
    }
}

struct FolderId
{
    dev_t device;
    ino_t inode;
};

class Scanner
{
public:
    Scanner(QStringList& result, const QStringList& patterns, bool recursive,
            const std::function<void()>& afterFolder)
        : m_result(result), m_patterns(patterns), m_recursive(recursive), m_afterFolder(afterFolder)
    {
    }

    // Takes ownership of fd.
    void scan(int fd, const QString& prefix)
    {
        struct stat st;
        if (::fstat(fd, &st) != 0) {
            ::close(fd);
            return;
        }
        // A folder met again below itself (a bind mount) would make the scan endless.
        for (const FolderId& id : m_open) {
            if (id.device == st.st_dev && id.inode == st.st_ino) {
                ::close(fd);
                return;
            }
        }
        DIR* dir = ::fdopendir(fd);
        if (!dir) {
            ::close(fd);
            return;
        }
        m_open.push_back({st.st_dev, st.st_ino});

        // Names go into one buffer, so that a folder of many files costs no allocation per name.
        std::string names;
        struct Item
        {
            size_t offset;
            size_t length;
            unsigned char type;
        };
        std::vector<Item> items;
        while (const dirent* e = ::readdir(dir)) {
            const char* n = e->d_name;
            if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
                continue;
            const size_t length = std::strlen(n);
            items.push_back({names.size(), length, e->d_type});
            names.append(n, length + 1);
        }
        const char* base = names.data();
        // UTF-8 byte order is code point order.
        std::sort(items.begin(), items.end(), [base](const Item& a, const Item& b) {
            return std::strcmp(base + a.offset, base + b.offset) < 0;
        });

        const int dirFd = ::dirfd(dir);
        QStringList files;
        QString name;
        for (const Item& item : items) {
            const char* raw = base + item.offset;
            const Kind kind = kindOf(dirFd, raw, item.type);
            if (kind == Kind::Skip || (kind == Kind::Folder && !m_recursive))
                continue;
            if (!decodeName(raw, item.length, name))
                continue;
            if (kind == Kind::File) {
                files.append(name);
                continue;
            }
            const int subFd = ::openat(dirFd, raw, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (subFd >= 0)
                scan(subFd, prefix + name + u'/');
        }
        appendMatches(m_result, prefix, files, m_patterns);

        m_open.pop_back();
        ::closedir(dir);
        if (m_afterFolder)
            m_afterFolder();
    }

private:
    QStringList& m_result;
    const QStringList& m_patterns;
    const bool m_recursive;
    const std::function<void()>& m_afterFolder;
    std::vector<FolderId> m_open;
};

#else

void scanWithQt(QStringList& result, const QString& prefix, const QStringList& patterns,
                bool recursive, const std::function<void()>& afterFolder)
{
    QFileInfoList infos = QDir(prefix).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(infos.begin(), infos.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.fileName().toUcs4() < b.fileName().toUcs4();
    });
    QStringList files;
    for (const QFileInfo& info : infos) {
        if (info.isDir()) {
            if (recursive && !info.isSymLink() && !info.isJunction())
                scanWithQt(result, prefix + info.fileName() + u'/', patterns, recursive,
                           afterFolder);
        } else if (info.isFile()) {
            files.append(info.fileName());
        }
    }
    appendMatches(result, prefix, files, patterns);
    if (afterFolder)
        afterFolder();
}

#endif

} // namespace

void ScanFolder(QStringList& result, const QString& folder, const QStringList& patterns,
                bool recursive, const std::function<void()>& afterFolder)
{
    if (folder.isEmpty() || patterns.isEmpty())
        return;
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    Scanner(result, patterns, recursive, afterFolder).scan(fd, prefix);
#else
    scanWithQt(result, prefix, patterns, recursive, afterFolder);
#endif
}

bool IsValidFolderPath(const QString& text)
{
    if (text == QLatin1String("/"))
        return true;
    if (!text.startsWith(u'/'))
        return false;
    QStringView rest(text);
    if (rest.endsWith(u'/'))
        rest.chop(1);
    const QStringView last = rest.mid(rest.lastIndexOf(u'/') + 1);
    if (last.isEmpty())
        return false;
    for (const QChar c : last) {
        if (QStringView(u":?/>|\\<*\"").contains(c))
            return false;
    }
    return true;
}

} // namespace qv
