#include "rename/renamerun.h"

#include "rename/diskrename.h"
#include "rename/rundisk.h"
#include "rename/textutil.h"

#include <QHash>

#include <climits>
#include <set>
#include <utility>
#include <vector>

namespace qv {

namespace {

// The starts of the paths that lie inside `folder`.
QStringList insidePrefixes(const QString& folder)
{
#ifdef Q_OS_WIN
    return {folder + u'\\', folder + u'/'};
#else
    return {folder + u'/'};
#endif
}

// The current path of every entry, found by path. Paths are unique: the list allows each once,
// and an entry that a rename makes stale leaves the index before the moved entry takes its path.
// The ordered copy, needed to find the entries inside a renamed folder as one range, is built
// only when the first folder is renamed; runs of files never pay for it.
class PathIndex
{
public:
    explicit PathIndex(const QVector<RunEntry>& entries)
    {
        m_paths.reserve(entries.size());
        m_rows.reserve(entries.size());
        for (int row = 0; row < entries.size(); ++row) {
            m_paths.append(entries[row].path);
            m_rows.insert(entries[row].path, row);
        }
    }

    const QString& path(int row) const { return m_paths[row]; }

    // Takes out the entries whose path is `path`, or lies inside it when `inside` is set.
    std::vector<int> take(const QString& path, bool inside)
    {
        std::vector<int> taken;
        const auto exact = m_rows.constFind(path);
        if (exact != m_rows.constEnd()) {
            taken.push_back(exact.value());
            drop(path, exact.value());
        }
        if (inside) {
            build();
            for (const QString& prefix : insidePrefixes(path)) {
                for (const auto& [p, row] : takeRange(prefix)) {
                    m_rows.remove(p);
                    taken.push_back(row);
                }
            }
        }
        return taken;
    }

    void move(int row, const QString& to)
    {
        drop(m_paths[row], row);
        add(to, row);
    }

    // The entries at `from` and inside it now lie at `to` and inside it.
    void moveTree(const QString& from, const QString& to)
    {
        build();
        std::vector<std::pair<QString, int>> moved;
        const auto exact = m_sorted.find({from, m_rows.value(from, -1)});
        if (exact != m_sorted.end()) {
            moved.push_back(*exact);
            m_sorted.erase(exact);
        }
        for (const QString& prefix : insidePrefixes(from)) {
            const auto range = takeRange(prefix);
            moved.insert(moved.end(), range.begin(), range.end());
        }
        for (const auto& [path, row] : moved) {
            m_rows.remove(path);
            add(to + path.mid(from.size()), row);
        }
    }

private:
    void build()
    {
        if (m_built)
            return;
        m_built = true;
        for (auto it = m_rows.constBegin(); it != m_rows.constEnd(); ++it)
            m_sorted.insert({it.key(), it.value()});
    }

    std::vector<std::pair<QString, int>> takeRange(const QString& prefix)
    {
        std::vector<std::pair<QString, int>> taken;
        auto it = m_sorted.lower_bound({prefix, INT_MIN});
        while (it != m_sorted.end() && it->first.startsWith(prefix)) {
            taken.push_back(*it);
            it = m_sorted.erase(it);
        }
        return taken;
    }

    void drop(const QString& path, int row)
    {
        m_rows.remove(path);
        if (m_built)
            m_sorted.erase({path, row});
    }

    void add(const QString& path, int row)
    {
        m_paths[row] = path;
        m_rows.insert(path, row);
        if (m_built)
            m_sorted.insert({path, row});
    }

    QVector<QString> m_paths;
    QHash<QString, int> m_rows;
    std::set<std::pair<QString, int>> m_sorted;
    bool m_built = false;
};

} // namespace

RenameRun::RenameRun(QVector<RunEntry> entries, RenameSettings settings, QDate today)
    : m_entries(std::move(entries)), m_settings(std::move(settings)), m_today(today)
{
}

RunResult RenameRun::execute(RunDisk& disk, const Progress& progress) const
{
    const int count = int(m_entries.size());
    RunResult result;
    result.entries.resize(count);
    PathIndex paths(m_entries);
    std::vector<bool> stale(count, false);
    const auto markStale = [&stale](const std::vector<int>& rows) {
        for (const int row : rows)
            stale[row] = true;
    };

    for (int row = 0; row < count; ++row) {
        if (stale[row])
            continue;
        RunEntryResult& entry = result.entries[row];
        // Read now: a folder renamed earlier in this run may have moved the entry.
        const QString from = paths.path(row);
        entry.newName = RenameName(fileName(from), row, m_settings, count, m_today);
        const QString to = folderPart(from) + entry.newName;
        if (to == from)
            continue;

        // The disk is asked about source and target only when the rename did not happen: a
        // look-up of a name that is not there costs about as much as the rename itself. The
        // outcome is the same as testing first, since nothing is ever replaced. A name that is
        // empty, "." or "..", or holds a separator that would move the entry elsewhere, never
        // reaches the disk.
        const bool acceptable = isAcceptableNewName(entry.newName);
        if (!acceptable || !disk.rename(from, to)) {
            if (disk.kind(from) == RunDisk::Kind::Missing) {
                entry.outcome = RunOutcome::Missing;
                continue;
            }
            ++result.failed;
            entry.outcome = acceptable && disk.kind(to) == RunDisk::Kind::File ? RunOutcome::Exists
                                                                               : RunOutcome::Error;
        } else {
            ++result.renamed;
            entry.outcome = RunOutcome::Renamed;
            // A file named like "x.dir" may be listed as a folder; the disk tells which it is.
            entry.renamedAsFolder = m_entries[row].folder && disk.kind(to) == RunDisk::Kind::Folder;
            markStale(paths.take(to, entry.renamedAsFolder));
            if (entry.renamedAsFolder)
                paths.moveTree(from, to);
            else
                paths.move(row, to);
        }
        if (progress)
            progress(result.renamed, result.failed);
    }

    for (int row = 0; row < count; ++row) {
        result.entries[row].path = paths.path(row);
        result.entries[row].stale = stale[row];
    }
    return result;
}

} // namespace qv
