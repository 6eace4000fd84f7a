#pragma once

#include "text/pathkind.h"

#include <QPair>
#include <QString>
#include <QVector>

namespace qv {

class DiskRenamer;
class RenameJournal;

// What a rename run needs of the disk: what a path names now, and a rename that never replaces
// anything. The run itself only decides; the disk it is given says whether it really renames or
// only works out what would happen.
class RunDisk
{
public:
    // Unknown: the path could not be looked up (no permission, a name too long). Such a source
    // is tried, so that the rename reports the failure; such a target is never replaced anyway.
    // The run never sees Other: whatever is no folder is a name like a file.
    using Kind = PathKind;

    virtual ~RunDisk() = default;
    // A dangling symbolic link is a name on disk like any file; a link to a folder is a folder.
    virtual Kind kind(const QString& path) = 0;
    // Renames `from` to `to` without replacing anything; false on any failure.
    virtual bool rename(const QString& from, const QString& to) = 0;
    // Takes back a rename just made (a circle that cannot turn); it passes even once the run
    // has stopped.
    virtual bool renameBack(const QString& from, const QString& to) { return rename(from, to); }
    // Whether the run must stop before its next rename: the journal that makes it undoable
    // could not be written.
    virtual bool stopped() const { return false; }
    // Whether the disk wants to hear of the renames ahead (a journal writes them together).
    virtual bool takesExpectations() const { return false; }
    virtual void expect(const QVector<QPair<QString, QString>>& renames) { Q_UNUSED(renames); }
    // The run asks nothing more of the folder (a path ending in a separator) nor of anything in
    // it: a disk that keeps what it read there may let go of it.
    virtual void leaveFolder(QStringView folder) { Q_UNUSED(folder); }
};

// The disk itself, renaming through a DiskRenamer.
class LiveDisk : public RunDisk
{
public:
    // With a journal, the run stops as soon as the journal could not be written.
    explicit LiveDisk(DiskRenamer& renamer, const RenameJournal* journal = nullptr)
        : m_renamer(renamer), m_journal(journal)
    {
    }
    LiveDisk(const LiveDisk&) = delete;
    LiveDisk& operator=(const LiveDisk&) = delete;
    // The run is over: nothing it renamed in stays held open.
    ~LiveDisk() override;
    Kind kind(const QString& path) override;
    bool rename(const QString& from, const QString& to) override;
    bool renameBack(const QString& from, const QString& to) override;
    bool stopped() const override;
    bool takesExpectations() const override { return m_journal != nullptr; }
    void expect(const QVector<QPair<QString, QString>>& renames) override;

    // What the disk holds under a path now.
    static Kind lookUp(const QString& path);

private:
    DiskRenamer& m_renamer;
    const RenameJournal* m_journal;
};

} // namespace qv
