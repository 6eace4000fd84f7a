#include "app/tprog.h"

#include "filelist/filelistmodel.h"
#include "rename/diskrename.h"
#include "rename/textutil.h"

#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QTreeView>

#include <climits>
#include <set>
#include <utility>
#include <vector>

#ifndef Q_OS_WIN
#include <cerrno>
#include <sys/stat.h>
#endif

namespace {

// What the disk holds under a path. Unknown means it could not be told (no permission to look,
// a name too long): such a source is tried, so that the rename reports the failure, and such a
// target is left to the renamer, which never replaces anything.
enum class DiskKind
{
    Missing,
    File,
    Folder,
    Unknown
};

DiskKind diskKind(const QString& path)
{
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (info.isDir())
        return DiskKind::Folder;
    if (info.exists() || info.isSymLink())
        return DiskKind::File;
    return DiskKind::Missing;
#else
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    // lstat: a dangling symbolic link is still a name on disk that can be renamed or collided
    // with; only a link to a folder counts as a folder.
    if (::lstat(name.constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? DiskKind::Missing : DiskKind::Unknown;
    if (S_ISDIR(st.st_mode))
        return DiskKind::Folder;
    if (S_ISLNK(st.st_mode) && ::stat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return DiskKind::Folder;
    return DiskKind::File;
#endif
}

// The starts of the paths that lie inside `folder`.
QStringList insidePrefixes(const QString& folder)
{
#ifdef Q_OS_WIN
    return {folder + u'\\', folder + u'/'};
#else
    return {folder + u'/'};
#endif
}

// The path column of every entry, ordered by code units, so that the entries inside a renamed
// folder are one range and are found without walking the list. Built when the first folder is
// renamed; from then on every path change of the run goes through it.
class PathIndex
{
public:
    explicit PathIndex(const qv::FileListModel& list) : m_list(list) {}

    void moved(const QString& from, const QString& to, int row)
    {
        if (!m_built)
            return;
        m_paths.erase({from, row});
        m_paths.insert({to, row});
    }

    // Takes out the entries whose path is `folder` or lies inside it, with their rows.
    std::vector<std::pair<QString, int>> takeTree(const QString& folder)
    {
        build();
        std::vector<std::pair<QString, int>> taken;
        takeWhile(
            folder, [&](const QString& path) { return path == folder; }, taken);
        for (const QString& prefix : insidePrefixes(folder))
            takeWhile(
                prefix, [&](const QString& path) { return path.startsWith(prefix); }, taken);
        return taken;
    }

    void insert(const QString& path, int row) { m_paths.insert({path, row}); }

    // Takes out the entries whose path is exactly `path`, with their rows.
    std::vector<std::pair<QString, int>> take(const QString& path)
    {
        build();
        std::vector<std::pair<QString, int>> taken;
        takeWhile(
            path, [&](const QString& p) { return p == path; }, taken);
        return taken;
    }

private:
    void build()
    {
        if (m_built)
            return;
        m_built = true;
        for (int row = 0; row < m_list.count(); ++row)
            m_paths.insert({m_list.entry(row).path, row});
    }

    template <typename Match>
    void takeWhile(const QString& from, Match match, std::vector<std::pair<QString, int>>& taken)
    {
        auto it = m_paths.lower_bound({from, INT_MIN});
        while (it != m_paths.end() && match(it->first)) {
            taken.push_back(*it);
            it = m_paths.erase(it);
        }
    }

    const qv::FileListModel& m_list;
    std::set<std::pair<QString, int>> m_paths;
    bool m_built = false;
};

QString progressText(int renamed, int failed, const qv::MessageTexts& txt)
{
    QString text = QString::number(renamed) + txt.txt_umbenannt;
    if (failed > 0)
        text += QStringLiteral(" (") + QString::number(failed) + txt.txt_nicht_umbenannt + u')';
    return text;
}

qv::DiskRenamer& noReplaceRenamer()
{
    // Keeps no state, so one serves every window.
    static qv::NoReplaceRenamer renamer;
    return renamer;
}

} // namespace

void Tprog::setDiskRenamer(qv::DiskRenamer* renamer)
{
    m_diskRenamer = renamer;
}

void Tprog::UmbenennenClick()
{
    const int count = m_list->count();
    if (count == 0)
        return;

    setEnabled(false);
    qulist->setUpdatesEnabled(false);
    // Inside a bulk update the list does not sort itself when a name changes, so every entry
    // keeps its row until the end: row r is the entry at position r of the moment of the press.
    m_list->beginBulkUpdate();

    qv::DiskRenamer& renamer = m_diskRenamer ? *m_diskRenamer : noReplaceRenamer();
    const QString previewPath = vor_orig->toolTip();
    const int previewRow = previewPath.isEmpty() ? -1 : m_list->rowOfPath(previewPath);
    PathIndex paths(*m_list);
    // What RenameName reads from the controls and the clock, read once: the window is disabled,
    // so no setting can change during the run, and one date for the whole run keeps a run across
    // midnight consistent. Per entry, the clock alone cost as much as a tenth of the run.
    const qv::RenameSettings settings = renameSettings();
    const QDate today = QDate::currentDate();
    int renamed = 0;
    int failed = 0;
    // Entries whose path a rename of this run now occupies. The rename could only succeed because
    // nothing was there, so they named nothing; they leave the list at the end of the run, and
    // are not visited meanwhile, where they would pass for the entry that moved there.
    std::vector<bool> stale(count, false);
    const auto dropStale = [&stale](const std::vector<std::pair<QString, int>>& entries) {
        for (const auto& entry : entries)
            stale[entry.second] = true;
    };

    for (int row = 0; row < count; ++row) {
        if (stale[row])
            continue;
        // Read now: a folder renamed earlier in this run may have moved the entry.
        const QString from = m_list->entry(row).path;
        const QString newName = qv::RenameName(qv::fileName(from), row, settings, count, today);
        const QString to = qv::folderPart(from) + newName;
        if (to == from)
            continue;

        // The disk is asked about source and target only when the rename did not happen: a
        // look-up of a name that is not there costs about as much as the rename itself. The
        // outcome is the same as testing first, since the renamer never replaces anything.
        // A name that is empty, "." or "..", or holds a separator that would move the entry
        // elsewhere, never reaches the disk.
        bool done = false;
        if (qv::isAcceptableNewName(newName))
            done = renamer.rename(from, to);
        if (!done) {
            if (diskKind(from) == DiskKind::Missing)
                continue;
            ++failed;
            const bool fileInTheWay =
                qv::isAcceptableNewName(newName) && diskKind(to) == DiskKind::File;
            m_list->setText(row, qv::ColStatus,
                            fileInTheWay ? txt.txt_st_existiert : txt.txt_st_fehler);
        } else {
            ++renamed;
            // A file named like "x.dir" has the type "DIR" too; the disk tells which it is.
            const bool folder =
                m_list->entry(row).type == QLatin1String("DIR") && diskKind(to) == DiskKind::Folder;
            m_list->setText(row, qv::ColName, qv::fileName(to));
            if (!folder)
                m_list->setText(row, qv::ColType, qv::extension(to).remove(u'.').toUpper());
            m_list->setText(row, qv::ColStatus, txt.txt_st_umbenannt);
            if (folder) {
                dropStale(paths.takeTree(to));
                // The entry itself is among the tree, so its path column follows here too.
                for (const auto& [path, treeRow] : paths.takeTree(from)) {
                    const QString moved = to + path.mid(from.size());
                    m_list->setText(treeRow, qv::ColPath, moved);
                    paths.insert(moved, treeRow);
                }
            } else {
                if (m_list->containsPath(to))
                    dropStale(paths.take(to));
                m_list->setText(row, qv::ColPath, to);
                paths.moved(from, to, row);
            }
        }

        setSupportStatus(progressText(renamed, failed, txt));
        processPendingEvents();
    }

    const QString previewNow = previewRow >= 0 ? m_list->entry(previewRow).path : QString();
    QList<int> staleRows;
    for (int row = 0; row < count; ++row) {
        if (stale[row])
            staleRows.append(row);
    }
    if (!staleRows.isEmpty()) {
        m_list->removeRowsAt(staleRows);
        writeCountToLaAnzahl();
    }
    m_list->endBulkUpdate();
    qulist->setUpdatesEnabled(true);
    if (previewRow >= 0)
        vor_orig->setToolTip(previewNow);
    Vorschau();
    setEnabled(true);
}
