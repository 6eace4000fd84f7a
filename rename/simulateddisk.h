#pragma once

#include "rename/rundisk.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>

#include <optional>

namespace qv {

// The disk as it is now, plus the renames made on this object, which never reach the disk: what
// a run would find at each step. A rename succeeds here when the real one would: the same checks
// of the names, a source that is there, a target that is not, a name the file system takes and a
// folder that may be written. The disk is read one folder listing at a time, so that a plan of
// many entries costs one readdir per folder rather than two look-ups per entry.
class SimulatedDisk : public RunDisk
{
public:
    Kind kind(const QString& path) override;
    bool rename(const QString& from, const QString& to) override;
    // Whether a folder has moved: paths below it then name other things than before.
    bool folderMoved() const { return m_folderMoved; }

private:
    // A rename of a folder (or of anything in a folder that could not be listed) seen from one of
    // its two paths: the source is gone from then on, the target shows what the source showed
    // just before. Files that move change their folder's listing instead.
    struct Record
    {
        int step;
        bool gone;
        QString source;
    };
    struct Folder
    {
        // Names and what they are; not valid when the folder could not be listed. The keys
        // look into the texts kept beside them, so that a look-up needs no copy of the name.
        QStringList texts;
        QHash<QStringView, Kind> names;
        bool listed = false;
        bool writable = false;
        long nameMax = 255;
    };

    // Where on disk the path's entry is, as it stood before rename number `step`; nothing
    // when a rename took it away.
    std::optional<QString> realPath(const QString& path, int step) const;
    Kind realKind(const QString& path);
    Folder& folder(QStringView folderPath);

    QHash<QString, QVarLengthArray<Record, 1>> m_records;
    QHash<QString, Folder> m_folders;
    // The folder asked for last; QHash keeps its values in place until it grows.
    QString m_lastFolderPath;
    Folder* m_lastFolder = nullptr;
    int m_steps = 0;
    // Paths below a renamed folder moved with it; until a folder moves, only exact paths matter.
    bool m_folderMoved = false;
};

} // namespace qv
