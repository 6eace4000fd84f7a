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
};

#ifndef Q_OS_WIN
// The way NoReplaceRenamer goes where renameat2 is refused: link+unlink for everything but
// folders, test-then-rename for folders. Public so that it can be checked on file systems that
// do support the flag.
class FallbackRenamer : public DiskRenamer
{
public:
    bool rename(const QString& from, const QString& to) override;
};
#endif

// A new file name the disk may be asked for: not empty, not "." or "..", no '/' and no NUL.
bool isAcceptableNewName(const QString& name);

} // namespace qv
