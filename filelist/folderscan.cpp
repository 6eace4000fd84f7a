#include "filelist/folderscan.h"

#include "text/pathbytes.h"
#include "text/textblocks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>
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

bool matchesPattern(QStringView name, const QString& pattern)
{
    return pattern == QLatin1String("*.*") || name.endsWith(pattern, Qt::CaseInsensitive);
}

bool matchesAny(QStringView name, const QStringList& patterns)
{
    return std::any_of(patterns.begin(), patterns.end(),
                       [name](const QString& pattern) { return matchesPattern(name, pattern); });
}

struct FoundFile
{
    // The full path, made once: a file matching two patterns is listed twice with one text.
    QString path;
    qsizetype nameStart;
    qint64 size;

    QStringView name() const { return QStringView(path).mid(nameStart); }
};

QString joinPath(QStringView prefix, QStringView name)
{
    QString path(prefix.size() + name.size(), Qt::Uninitialized);
    std::copy(prefix.begin(), prefix.end(), path.begin());
    std::copy(name.begin(), name.end(), path.begin() + prefix.size());
    return path;
}

// Appends the files of one folder, one pass per pattern; files are given in scan order.
void appendMatches(QList<ScannedFile>& result, const std::vector<FoundFile>& files,
                   const QStringList& patterns)
{
    // Grown by at least half each time: a scan of many small folders appends many times.
    const qsizetype needed = result.size() + qsizetype(files.size());
    if (needed > result.capacity())
        result.reserve(std::max(needed, result.capacity() + result.capacity() / 2));
    for (const QString& pattern : patterns) {
        for (const FoundFile& file : files) {
            if (matchesPattern(file.name(), pattern))
                result.append({file.path, file.size});
        }
    }
}

#ifdef Q_OS_UNIX

enum class Kind
{
    Skip,
    Folder,
    File
};

// Sets size when the answer needed a look at the file itself.
Kind kindOf(int dirFd, const char* name, unsigned char type, qint64& size)
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
        if (::fstatat(dirFd, name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            return Kind::Skip;
        size = qint64(st.st_size);
        return Kind::File;
    case DT_UNKNOWN:
        if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return Kind::Skip;
        if (S_ISDIR(st.st_mode))
            return Kind::Folder;
        if (S_ISLNK(st.st_mode))
            return kindOf(dirFd, name, DT_LNK, size);
        if (!S_ISREG(st.st_mode))
            return Kind::Skip;
        size = qint64(st.st_size);
        return Kind::File;
    default:
        return Kind::Skip;
    }
}

qint64 sizeOf(int dirFd, const char* name)
{
    struct stat st;
    if (::fstatat(dirFd, name, &st, 0) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return qint64(st.st_size);
}

struct FolderId
{
    dev_t device;
    ino_t inode;

    bool operator==(const FolderId&) const = default;
};

struct FolderIdHash
{
    size_t operator()(const FolderId& id) const
    {
        return std::hash<ino_t>()(id.inode) ^ (std::hash<dev_t>()(id.device) << 1);
    }
};

bool idOf(int fd, FolderId& id)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return false;
    id = {st.st_dev, st.st_ino};
    return true;
}

constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// Walks the tree without recursion and with at most four descriptors open, so that neither the
// stack nor the descriptor limit bounds the depth. Each folder is read completely and closed
// before the scan goes down into its first subfolder; what stays behind per level is the
// subfolders still to visit and the files to list once they are done.
class Scanner
{
public:
    Scanner(QList<ScannedFile>& result, const QStringList& patterns, bool recursive,
            bool skipHidden, bool sizes, const std::function<void()>& afterFolder,
            const ScanKeeping& keeping)
        : m_result(result), m_patterns(patterns), m_recursive(recursive), m_skipHidden(skipHidden),
          m_sizes(sizes), m_afterFolder(afterFolder), m_pathText(keeping.pathText),
          m_listings(keeping.listings), m_takesAll(patterns.contains(QStringLiteral("*.*")))
    {
    }
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;
    ~Scanner()
    {
        setCursor(-1, noLevel);
        if (m_top >= 0)
            ::close(m_top);
    }

    // Takes ownership of fd, the folder named by prefix.
    void scan(int fd, const QString& prefix)
    {
        m_path = prefix;
        Level top;
        if (!idOf(fd, top.id) || !read(fd, top)) {
            ::close(fd);
            return;
        }
        m_top = fd;
        m_cursor = fd;
        m_cursorLevel = 0;
        top.pathLength = m_path.size();
        enter(std::move(top));

        while (!m_levels.empty()) {
            Level& level = m_levels.back();
            if (level.next == level.folders.size()) {
                leave();
                continue;
            }
            const QString name = std::move(level.folders[level.next++]);
            if (reach(m_levels.size() - 1))
                descend(name);
            else
                level.next = level.folders.size();
        }
    }

private:
    // One folder on the way from the scanned folder down to the one being read.
    struct Level
    {
        FolderId id{};
        // The length of m_path up to and including this folder's separator.
        qsizetype pathLength = 0;
        std::vector<QString> folders;
        size_t next = 0;
        std::vector<FoundFile> files;
    };

    static constexpr size_t noLevel = size_t(-1);

    // Reads the names of the folder at fd and sorts them into its subfolders and matching files.
    bool read(int fd, Level& level)
    {
        // A descriptor of its own for reading, so that fd stays open after closedir().
        const int readFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (readFd < 0)
            return false;
        DIR* dir = ::fdopendir(readFd);
        if (!dir) {
            ::close(readFd);
            return false;
        }
        // Names go into one buffer, so that a folder of many files costs no allocation per name.
        std::string names;
        struct Item
        {
            size_t offset;
            size_t length;
            unsigned char type;
        };
        std::vector<Item> items;
        FolderListing listing;
        while (const dirent* e = ::readdir(dir)) {
            const char* n = e->d_name;
            const bool dots = n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0));
            if (dots || (n[0] == '.' && m_skipHidden)) {
                if (m_listings && !dots)
                    listing.add(QByteArrayView(n), e->d_type, quint64(e->d_ino));
                continue;
            }
            const size_t length = std::strlen(n);
            if (m_listings)
                listing.add(QByteArrayView(n, qsizetype(length)), e->d_type, quint64(e->d_ino));
            items.push_back({names.size(), length, e->d_type});
            names.append(n, length + 1);
            pauseNowAndThen(items.size());
        }
        ::closedir(dir);
        // A folder of few files is looked up file by file: its listing is not worth a look-up.
        if (m_listings && items.size() >= 16)
            keepListing(std::move(listing), names.data());
        const char* base = names.data();
        // UTF-8 byte order is code point order.
        std::sort(items.begin(), items.end(), [base](const Item& a, const Item& b) {
            return std::strcmp(base + a.offset, base + b.offset) < 0;
        });

        const qsizetype prefixLength = m_path.size();
        level.files.reserve(items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            pauseNowAndThen(i + 1);
            const Item& item = items[i];
            const char* raw = base + item.offset;
            qint64 size = -1;
            const Kind kind = kindOf(fd, raw, item.type, size);
            if (kind == Kind::Skip || (kind == Kind::Folder && !m_recursive))
                continue;
            if (kind == Kind::Folder) {
                level.folders.push_back(pathFromBytes(QByteArrayView(raw, item.length)));
                continue;
            }
            // Where every name matches, the path is made in the blocks at once; otherwise only
            // once it matched, so that the blocks hold no path that was left out.
            QString path = filePath(raw, item.length, m_takesAll ? m_pathText : nullptr);
            if (!m_takesAll && !matchesAny(QStringView(path).mid(prefixLength), m_patterns))
                continue;
            if (!m_takesAll && m_pathText)
                path = m_pathText->keep(std::move(path));
            // A look-up per file costs as much as reading the whole folder; without sizes
            // wanted, a name listed as a regular file is one.
            if (item.type == DT_REG)
                size = m_sizes ? sizeOf(fd, raw) : 0;
            level.files.push_back({std::move(path), prefixLength, size});
        }
        return true;
    }

    void keepListing(FolderListing&& listing, const char* probe)
    {
        const QByteArray folder = pathBytes(m_path);
        listing.seal(QByteArrayView(probe), identityOf(folder + probe));
        if (listing.usable())
            m_listings->insert_or_assign(folder, std::move(listing));
    }

    // A folder of a hundred thousand files takes a quarter of a second to read: the caller's
    // callback runs every few thousand entries too.
    void pauseNowAndThen(std::size_t entries) const
    {
        if (m_afterFolder && entries % 2048 == 0)
            m_afterFolder();
    }

    // The path of a file of the folder being read. Most names are ASCII, which needs no decoding
    // step of its own.
    QString filePath(const char* raw, size_t length, TextBlocks* into) const
    {
        const qsizetype prefixLength = m_path.size();
        const auto bytes = reinterpret_cast<const unsigned char*>(raw);
        if (std::all_of(bytes, bytes + length, [](unsigned char c) { return c < 0x80; })) {
            const auto fill = [&](QChar* out) {
                std::copy(m_path.begin(), m_path.end(), out);
                for (size_t i = 0; i < length; ++i)
                    out[prefixLength + qsizetype(i)] = QChar(char16_t(bytes[i]));
            };
            const qsizetype size = prefixLength + qsizetype(length);
            if (into)
                return into->make(size, fill);
            QString path(size, Qt::Uninitialized);
            fill(path.data());
            return path;
        }
        QString path = joinPath(m_path, pathFromBytes(QByteArrayView(raw, qsizetype(length))));
        return into ? into->keep(std::move(path)) : path;
    }

    void descend(const QString& name)
    {
        const int fd = ::openat(m_cursor, pathBytes(name).constData(), folderFlags | O_NOFOLLOW);
        if (fd < 0)
            return;
        Level level;
        // A folder met again below itself (a bind mount) would make the scan endless.
        if (!idOf(fd, level.id) || m_entered.count(level.id) != 0) {
            ::close(fd);
            return;
        }
        m_path.truncate(m_levels.back().pathLength);
        m_path.append(name);
        m_path.append(u'/');
        level.pathLength = m_path.size();
        if (!read(fd, level)) {
            ::close(fd);
            return;
        }
        setCursor(fd, m_levels.size());
        enter(std::move(level));
    }

    void enter(Level&& level)
    {
        m_entered.insert(level.id);
        m_levels.push_back(std::move(level));
    }

    void leave()
    {
        Level& level = m_levels.back();
        appendMatches(m_result, level.files, m_patterns);
        m_entered.erase(level.id);
        m_levels.pop_back();
        if (m_afterFolder)
            m_afterFolder();
    }

    // Points the cursor at the folder of the given level, which lies above the cursor or is its
    // folder. False when that folder cannot be found any more (moved away meanwhile).
    bool reach(size_t level)
    {
        if (m_cursorLevel == level)
            return true;
        Q_ASSERT(m_cursor < 0 || m_cursorLevel > level);
        if (level == 0) {
            setCursor(m_top, 0);
            return true;
        }
        int fd = -1;
        if (m_cursor >= 0) {
            // Up by "..", a bounded number of steps per call so that the path stays short.
            fd = m_cursor;
            for (size_t steps = m_cursorLevel - level; steps > 0 && fd >= 0;) {
                const size_t now = std::min<size_t>(steps, 1000);
                std::string up;
                for (size_t i = 0; i < now; ++i)
                    up += "../";
                const int next = ::openat(fd, up.c_str(), folderFlags);
                if (fd != m_cursor)
                    ::close(fd);
                fd = next;
                steps -= now;
            }
            FolderId id;
            if (fd >= 0 && (!idOf(fd, id) || !(id == m_levels[level].id))) {
                ::close(fd);
                fd = -1;
            }
        }
        // A folder on the way was moved: the names from the top lead to the right one, if any.
        if (fd < 0)
            fd = reopenFromTop(level);
        setCursor(fd, fd >= 0 ? level : noLevel);
        return fd >= 0;
    }

    int reopenFromTop(size_t level)
    {
        int fd = m_top;
        for (size_t i = 1; i <= level; ++i) {
            const qsizetype start = m_levels[i - 1].pathLength;
            const QString name = m_path.mid(start, m_levels[i].pathLength - start - 1);
            const int next = ::openat(fd, pathBytes(name).constData(), folderFlags | O_NOFOLLOW);
            if (fd != m_top)
                ::close(fd);
            FolderId id;
            if (next >= 0 && (!idOf(next, id) || !(id == m_levels[i].id))) {
                ::close(next);
                return -1;
            }
            if (next < 0)
                return -1;
            fd = next;
        }
        return fd;
    }

    void setCursor(int fd, size_t level)
    {
        if (m_cursor >= 0 && m_cursor != m_top && m_cursor != fd)
            ::close(m_cursor);
        m_cursor = fd;
        m_cursorLevel = level;
    }

    QList<ScannedFile>& m_result;
    const QStringList& m_patterns;
    const bool m_recursive;
    const bool m_skipHidden;
    const bool m_sizes;
    const std::function<void()>& m_afterFolder;
    TextBlocks* const m_pathText;
    FolderListings* const m_listings;
    const bool m_takesAll;

    std::vector<Level> m_levels;
    std::unordered_set<FolderId, FolderIdHash> m_entered;
    // The path of the deepest level, and of every level above as its beginning.
    QString m_path;
    // The scanned folder, open all along; the cursor is the open folder of m_cursorLevel.
    int m_top = -1;
    int m_cursor = -1;
    size_t m_cursorLevel = noLevel;
};

#else

void scanWithQt(QList<ScannedFile>& result, const QString& prefix, const QStringList& patterns,
                bool recursive, bool skipHidden, const std::function<void()>& afterFolder)
{
    QFileInfoList infos = QDir(prefix).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(infos.begin(), infos.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.fileName().toUcs4() < b.fileName().toUcs4();
    });
    std::vector<FoundFile> files;
    for (const QFileInfo& info : infos) {
        if (skipHidden && info.fileName().startsWith(u'.'))
            continue;
        if (info.isDir()) {
            if (recursive && !info.isSymLink() && !info.isJunction())
                scanWithQt(result, prefix + info.fileName() + u'/', patterns, recursive, skipHidden,
                           afterFolder);
        } else if (info.isFile() && matchesAny(info.fileName(), patterns)) {
            files.push_back({joinPath(prefix, info.fileName()), prefix.size(), info.size()});
        }
    }
    appendMatches(result, files, patterns);
    if (afterFolder)
        afterFolder();
}

#endif

} // namespace

void ScanFolder(QList<ScannedFile>& result, const QString& folder, const QStringList& patterns,
                bool recursive, const std::function<void()>& afterFolder, bool skipHidden,
                bool sizes, const ScanKeeping& keeping)
{
    if (folder.isEmpty() || patterns.isEmpty())
        return;
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
#ifdef Q_OS_UNIX
    const int fd = ::open(pathBytes(folder).constData(), folderFlags);
    if (fd < 0)
        return;
    Scanner(result, patterns, recursive, skipHidden, sizes, afterFolder, keeping).scan(fd, prefix);
#else
    Q_UNUSED(sizes);
    Q_UNUSED(keeping);
    scanWithQt(result, prefix, patterns, recursive, skipHidden, afterFolder);
#endif
}

void ScanFolder(QStringList& result, const QString& folder, const QStringList& patterns,
                bool recursive, const std::function<void()>& afterFolder)
{
    QList<ScannedFile> files;
    // The paths move over after each folder, so that afterFolder sees the result grow.
    const auto moveOver = [&] {
        for (ScannedFile& file : files)
            result.append(std::move(file.path));
        files.clear();
        if (afterFolder)
            afterFolder();
    };
    ScanFolder(files, folder, patterns, recursive, moveOver);
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
