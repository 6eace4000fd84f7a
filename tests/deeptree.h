#pragma once

// Folder chains deeper than a path can name: every step goes relative to an open folder, since
// QDir and QTemporaryDir give up on paths longer than PATH_MAX.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace deeptree {

// The bytes of the file on level `level` of a chain: each level's size is different.
inline QByteArray content(int level)
{
    return QByteArray(level % 1000 + 1, 'x');
}

// Below root, `depth` nested folders named `folder`, with a file `file` (see content()) on the
// root level and on every folder's level.
inline bool makeChain(const QString& root, int depth, const QByteArray& folder,
                      const QByteArray& file)
{
    int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; fd >= 0; ++level) {
        const int fileFd = ::openat(fd, file.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        const QByteArray bytes = content(level);
        const bool written = fileFd >= 0 && ::write(fileFd, bytes.constData(),
                                                    size_t(bytes.size())) == ssize_t(bytes.size());
        if (fileFd >= 0)
            ::close(fileFd);
        if (!written)
            break;
        if (level == depth) {
            ::close(fd);
            return true;
        }
        const int next = ::mkdirat(fd, folder.constData(), 0755) == 0
                             ? ::openat(fd, folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                             : -1;
        ::close(fd);
        fd = next;
    }
    if (fd >= 0)
        ::close(fd);
    return false;
}

// The paths a recursive scan of root finds in such a chain: the deepest file first.
inline QStringList chainFiles(const QString& root, int depth, const QString& folder,
                              const QString& file)
{
    QStringList paths;
    QString prefix = root + u'/';
    for (int level = 0; level <= depth; ++level) {
        paths.prepend(prefix + file);
        prefix += folder + u'/';
    }
    return paths;
}

// Removes everything below root, however deep, one folder open at a time.
inline void removeBelow(const QString& root)
{
    int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int depth = 0;
    while (fd >= 0) {
        std::vector<std::string> names;
        if (DIR* dir = ::fdopendir(::dup(fd))) {
            while (const dirent* e = ::readdir(dir)) {
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    names.emplace_back(e->d_name);
            }
            ::closedir(dir);
        }
        int child = -1;
        bool stuck = false;
        for (const std::string& name : names) {
            if (::unlinkat(fd, name.c_str(), 0) == 0 ||
                ::unlinkat(fd, name.c_str(), AT_REMOVEDIR) == 0)
                continue;
            child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0)
                break;
            stuck = true;
        }
        if (child >= 0) {
            ::close(fd);
            fd = child;
            ++depth;
            continue;
        }
        // This folder is empty now and its parent removes it on the next round; an entry that
        // can be neither removed nor entered ends the whole removal instead of looping forever.
        const int parent =
            depth > 0 && !stuck ? ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        ::close(fd);
        fd = parent;
        --depth;
    }
}

} // namespace deeptree
