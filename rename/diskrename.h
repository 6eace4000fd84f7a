#pragma once

#include <QPair>
#include <QString>
#include <QStringView>
#include <QVector>

struct stat;

namespace qv {

// Whether a file name is one a file is given for a moment on its way: while a circle of renames
// turns, or while only the letter case of its name changes.
bool isParkingName(QStringView name);
// A new such name, unlikely to be taken.
QString newParkingName();
// Whether two paths name one folder and names that differ only in letter case.
bool differsOnlyInCase(const QByteArray& from, const QByteArray& to);

// Told of the names a rename passes through before the disk sees them, so that the journal can
// find a file again, and clear up after it, when the program is killed half-way. A false answer
// (the journal could not be written) stops the rename before the step.
class RenameWitness
{
public:
    virtual ~RenameWitness() = default;
    // The file is about to pass through a temporary name.
    virtual bool passesThrough(const QByteArray& path) = 0;
    // A placeholder is about to be made at `path`; then, once made, which one it is.
    virtual bool reserving(const QByteArray& path) = 0;
    virtual bool reserved(const QByteArray& path, quint64 device, quint64 inode) = 0;
};

// The one way the program renames something on disk, so tests can watch or replace it.
class DiskRenamer
{
public:
    virtual ~DiskRenamer() = default;
    // Renames `from` to `to`; never replaces an existing file or folder. False on any failure.
    virtual bool rename(const QString& from, const QString& to) = 0;
    // Takes back a step just made, as when a circle cannot turn.
    virtual bool renameBack(const QString& from, const QString& to) { return rename(from, to); }
    // Who is told of the steps of the renames from now on; nullptr for nobody.
    virtual void setWitness(RenameWitness* witness) { Q_UNUSED(witness); }
    // The renames about to be asked for, in that order, as far as they are known.
    virtual void expect(const QVector<QPair<QString, QString>>& renames) { Q_UNUSED(renames); }
    // The renames of a run or an undo are over: lets go of what was held open for them.
    virtual void release() {}
};

// renameat2(RENAME_NOREPLACE). Where the file system refuses the flag: link+unlink for files
// where hard links work, otherwise rename(2) over a placeholder reserved first at the target (an
// empty file, or an empty folder for a folder). A new name that differs only in letter case and
// that the file system finds to be the file itself goes through a temporary name.
class NoReplaceRenamer : public DiskRenamer
{
public:
    NoReplaceRenamer() = default;
    NoReplaceRenamer(const NoReplaceRenamer&) = delete;
    NoReplaceRenamer& operator=(const NoReplaceRenamer&) = delete;
    ~NoReplaceRenamer() override { release(); }
    bool rename(const QString& from, const QString& to) override;
    void setWitness(RenameWitness* witness) override { m_witness = witness; }
    void release() override;

#ifndef Q_OS_WIN
protected:
    // What the renamer needs to know of an entry on disk.
    struct Node
    {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        bool folder = false;
        // Last change of the content and of the inode, in nanoseconds: a placeholder that was
        // written to, or chmod'ed, since it was made is no longer only ours.
        qint64 modified = 0;
        qint64 changed = 0;
    };

    // One system call each, returning 0, or -1 with errno set. They are the only way the renamer
    // touches the disk, so that a test can stand in for a file system that refuses the flag or
    // hard links, or for another program acting between two of them.
    virtual int renameNoReplace(const char* from, const char* to);
    virtual int renameReplacing(const char* from, const char* to);
    virtual int hardLink(const char* from, const char* to);
    virtual int removeFile(const char* path);
    // open(O_CREAT | O_EXCL) and close; `node` is the new file.
    virtual int createFile(const char* path, Node* node);
    virtual int makeFolder(const char* path);
    virtual int removeFolder(const char* path);
    virtual int status(const char* path, Node* node);

private:
    static Node nodeOf(const struct stat& st);
    bool moveOnce(const char* from, const char* to);
    bool renameWithoutFlag(const char* from, const char* to);
    bool moveThroughParking(const char* from, const char* to);
    bool isSameNode(const char* path, const Node& node);
    bool isOwnPlaceholder(const char* path, const Node& placeholder);
    // A descriptor of the folder both paths lie in (m_folder), where they lie in one; -1
    // otherwise.
    int folderOf(const char* from, const char* to);
#endif
    RenameWitness* m_witness = nullptr;
    // The folder of the last renames, held open while a run renames in it (see folderOf).
    int m_folderFd = -1;
    QByteArray m_folder;
    QByteArray m_source;
    QByteArray m_target;
};

#ifndef Q_OS_WIN
// NoReplaceRenamer on a file system that refuses the flag, so that the way taken there can be
// checked on file systems that do support it.
class FallbackRenamer : public NoReplaceRenamer
{
protected:
    int renameNoReplace(const char* from, const char* to) override;
};
#endif

// A new file name the disk may be asked for: not empty, not "." or "..", no '/' and no NUL.
bool isAcceptableNewName(QStringView name);
// Whether a path can be handed to the disk exactly: not empty, no NUL, no half of a surrogate
// pair other than a kept byte (see pathbytes.h).
bool isDiskText(QStringView path);
// Whether NoReplaceRenamer would ask the disk at all: an acceptable new name, and both paths
// names the disk can be given exactly.
bool isRenameAcceptable(const QString& from, const QString& to);

} // namespace qv
