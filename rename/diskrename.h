#pragma once

#include <QString>

namespace qv {

// The one way the program renames something on disk, so tests can watch or replace it.
class DiskRenamer
{
public:
    virtual ~DiskRenamer() = default;
    // Renames `from` to `to`; never replaces an existing file or folder. False on any failure.
    virtual bool rename(const QString& from, const QString& to) = 0;
};

// renameat2(RENAME_NOREPLACE), falling back to link+unlink for files and test-then-rename for
// folders where the file system refuses the flag.
class NoReplaceRenamer : public DiskRenamer
{
public:
    bool rename(const QString& from, const QString& to) override;

#ifndef Q_OS_WIN
protected:
    // What the renamer needs to know of an entry on disk.
    struct Node
    {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        bool folder = false;
    };

    // One system call each, returning 0, or -1 with errno set. They are the only way the renamer
    // touches the disk, so that a test can stand in for a file system that refuses the flag or
    // hard links, or for another program acting between two of them.
    virtual int renameNoReplace(const char* from, const char* to);
    virtual int renameReplacing(const char* from, const char* to);
    virtual int hardLink(const char* from, const char* to);
    virtual int removeFile(const char* path);
    virtual int status(const char* path, Node* node);

    bool renameWithoutFlag(const char* from, const char* to);

private:
    bool testThenRename(const char* from, const char* to);
    bool linkThenUnlink(const char* from, const char* to);
#endif
};

#ifndef Q_OS_WIN
// The way NoReplaceRenamer goes where renameat2 is refused: link+unlink for everything but
// folders, test-then-rename for folders. Public so that it can be checked on file systems that
// do support the flag.
class FallbackRenamer : public NoReplaceRenamer
{
protected:
    int renameNoReplace(const char* from, const char* to) override;
};
#endif

// A new file name the disk may be asked for: not empty, not "." or "..", no '/' and no NUL.
bool isAcceptableNewName(const QString& name);

} // namespace qv
