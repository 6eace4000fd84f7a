#pragma once

#include "rename/nametable.h"
#include "rename/rundisk.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>

#include <climits>
#include <optional>

namespace qv {

// The disk as it is now, plus the renames made on this object, which never reach the disk: what
// a run would find at each step. A rename succeeds here when the real one would: the same checks
// of the names, a source that is there, a target that is not, a name the file system takes and a
// folder that may be written. The disk is read one folder listing at a time, so that a plan of
// many entries costs one readdir per folder rather than two look-ups per entry.
//
// A path is followed as the system follows it: a symbolic link on the way to a name leads to
// its target as the names stand at that step, so entries listed through a link to a folder lie
// in that folder, and a link whose target folder was renamed leads nowhere. Renaming a link renames
// the link itself.
class SimulatedDisk : public RunDisk
{
public:
    Kind kind(const QString& path) override;
    bool rename(const QString& from, const QString& to) override;
    // Lets go of the folder's listing while nothing has moved across folders; after that, what
    // a listing holds may be asked for through other paths.
    void leaveFolder(QStringView folder) override;
    // Whether entries of different folder paths may have met: a folder moved, so paths below it
    // name other things than before, or a symbolic link led a folder path into a folder that
    // another path names as well, or a link moved. The order of entries across folders then
    // matters.
    bool folderMoved() const { return m_folderMoved || m_linked; }

private:
    // A rename of a folder (or of anything that could not move within its folder's listing)
    // seen from one of its two paths: the source is gone from then on, the target shows what
    // the source showed just before. Files and links that move change their folder's listing
    // instead.
    struct Record
    {
        int step;
        bool gone;
        QString source;
    };
    // One name in a listing. A link's kind is not kept: it follows where its target is now.
    struct Entry
    {
        Kind kind = Kind::Missing;
        bool link = false;
    };
    struct Folder
    {
        // Names and what they are; not valid when the folder could not be listed.
        NameTable<Entry> names;
        // The targets of the links among the names.
        QHash<QString, QString> targets;
        bool listed = false;
        bool writable = false;
        long nameMax = 255;
    };
    // What a name is, with a link's target.
    struct Found
    {
        Kind kind = Kind::Missing;
        bool link = false;
        QString target;
    };
    // Where a folder path leads now: the same folder's path without links in it (ending in a
    // separator) when it is a folder, or Missing or Unknown as a look-up through it would be.
    struct Resolved
    {
        Kind kind = Kind::Missing;
        QString path;
        // The path was free of links: `path` is the path asked for.
        bool same = false;
    };

    // Where on disk the path's entry is, as it stood before rename number `step`; nothing
    // when a rename took it away. The path holds no link on its way.
    std::optional<QString> realPath(const QString& path, int step) const;
    std::optional<QString> realPathNow(const QString& path) const
    {
        return m_records.isEmpty() ? std::optional<QString>(path) : realPath(path, INT_MAX);
    }
    // The name at a path of the disk as it was, as this object knows it now. `list` reads the
    // folder's listing for it; otherwise a folder not listed yet is asked about this name only,
    // as the folders on the way to the listed ones are.
    Found found(const QString& realPath, bool list);
    // The kind of the entry at a path without links on its way, in the folder `folder`.
    Kind kindAt(const QString& path, const QString& folder);
    Resolved resolvedFolder(QStringView folderPath);
    // Follows `rest` from the folder `start` (a resolved path ending in a separator), counting
    // the links followed in `links`.
    Resolved follow(QString start, QStringView rest, int& links);
    Folder& folder(QStringView folderPath);
    void forgetResolved();

    QHash<QString, QVarLengthArray<Record, 1>> m_records;
    QHash<QString, Folder> m_folders;
    // The folder asked for last; QHash keeps its values in place until it grows.
    QString m_lastFolderPath;
    Folder* m_lastFolder = nullptr;
    // Folder paths as given, and where they lead; valid until a folder or a link moves.
    QHash<QString, Resolved> m_resolved;
    QString m_lastResolvedPath;
    Resolved m_lastResolved;
    bool m_hasLastResolved = false;
    int m_steps = 0;
    // Paths below a renamed folder moved with it; until a folder moves, only exact paths matter.
    bool m_folderMoved = false;
    bool m_linked = false;
};

} // namespace qv
