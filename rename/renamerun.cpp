#include "rename/renamerun.h"

#include "rename/diskrename.h"
#include "rename/rundisk.h"
#include "rename/simulateddisk.h"
#include "text/textutil.h"

#include <QHash>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <deque>
#include <optional>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace qv {

namespace {

// `name` in the folder of `path`, made at its size in one allocation.
QString besidePath(QStringView path, QStringView name)
{
    const QStringView folder = folderPartIn(path);
    QString beside(folder.size() + name.size(), Qt::Uninitialized);
    std::copy(folder.begin(), folder.end(), beside.begin());
    std::copy(name.begin(), name.end(), beside.begin() + folder.size());
    return beside;
}

} // namespace

QString pathAfter(const QString& entryPath, const RunEntryResult& result)
{
    if (!result.path.isEmpty())
        return result.path;
    return result.underNewName ? besidePath(entryPath, result.newName) : entryPath;
}

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

// Rows by path, as a table of the paths' hashes: the paths themselves stay where the index keeps
// them, so the table copies none, and a look-up costs one hash and mostly one comparison. A plan
// of many entries looks paths up several times per entry.
template <typename Paths> class RowTable
{
public:
    explicit RowTable(const Paths& paths) : m_paths(paths) {}

    void reserve(qsizetype rows) { rehash(capacityFor(rows)); }

    int find(const QString& path) const
    {
        if (m_slots.empty())
            return -1;
        const quint32 hash = hashOf(path);
        for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            const Slot& slot = m_slots[i];
            if (slot.row == Empty)
                return -1;
            if (slot.row >= 0 && slot.hash == hash && m_paths.isAt(slot.row, path))
                return slot.row;
        }
    }

    // The row's path in the index must be `path` already.
    void insert(const QString& path, int row)
    {
        if ((m_live + 1) * 10 > qsizetype(m_slots.size()) * 7)
            rehash(capacityFor(m_live + 1));
        place({hashOf(path), row});
        ++m_live;
    }

    // Removal leaves no marker behind: the slots after it that belong further up move up. A run
    // moves every entry once, and markers would fill the table until it had to be made anew,
    // holding the old and the new table at once at the height of a long plan.
    void remove(const QString& path, int row)
    {
        if (m_slots.empty())
            return;
        const quint32 hash = hashOf(path);
        size_t hole = hash & m_mask;
        for (;; hole = (hole + 1) & m_mask) {
            const Slot& slot = m_slots[hole];
            if (slot.row == Empty)
                return;
            if (slot.row == row && slot.hash == hash)
                break;
        }
        --m_live;
        for (size_t next = (hole + 1) & m_mask;; next = (next + 1) & m_mask) {
            const Slot& slot = m_slots[next];
            if (slot.row == Empty)
                break;
            // A slot stays where its home lies after the hole, up to it.
            const size_t home = slot.hash & m_mask;
            if (((next - home) & m_mask) < ((next - hole) & m_mask))
                continue;
            m_slots[hole] = slot;
            hole = next;
        }
        m_slots[hole].row = Empty;
    }

private:
    static constexpr int Empty = -1;
    struct Slot
    {
        quint32 hash = 0;
        int row = Empty;
    };

    // Half of the hash in each slot tells nearly every other path apart and halves the table.
    static quint32 hashOf(const QString& path) { return quint32(qHash(path)); }

    static size_t capacityFor(qsizetype rows)
    {
        size_t capacity = 16;
        while (capacity * 7 < size_t(rows) * 10 + 10)
            capacity *= 2;
        return capacity;
    }

    void place(const Slot& entry)
    {
        size_t i = entry.hash & m_mask;
        while (m_slots[i].row != Empty)
            i = (i + 1) & m_mask;
        m_slots[i] = entry;
    }

    void rehash(size_t capacity)
    {
        std::vector<Slot> old(capacity);
        old.swap(m_slots);
        m_mask = capacity - 1;
        for (const Slot& slot : old) {
            if (slot.row != Empty)
                place(slot);
        }
    }

    const Paths& m_paths;
    std::vector<Slot> m_slots;
    size_t m_mask = 0;
    qsizetype m_live = 0;
};

// Paths told apart by 64-bit keys of their folder and name, without their texts. Two paths
// with one key count as one path: that costs a run only its short cut (see PathIndex::fill).
class PathKeys
{
public:
    explicit PathKeys(size_t keys)
    {
        size_t capacity = 16;
        while (capacity * 4 < keys * 5)
            capacity *= 2;
        m_slots.assign(capacity, 0);
        m_mask = capacity - 1;
    }

    // False where the path had a key already.
    bool insert(QStringView folder, QStringView name)
    {
        // Entries of one folder mostly follow each other: its text is hashed once for them.
        if (!m_hashed || folder != m_folder) {
            m_hashed = true;
            m_folder = folder;
            m_seed = qHash(folder);
        }
        const quint64 key = quint64(qHash(name, m_seed)) | 1;
        for (size_t i = (key >> 1) & m_mask;; i = (i + 1) & m_mask) {
            if (m_slots[i] == 0) {
                m_slots[i] = key;
                return true;
            }
            if (m_slots[i] == key)
                return false;
        }
    }

private:
    std::vector<quint64> m_slots;
    size_t m_mask = 0;
    bool m_hashed = false;
    QStringView m_folder;
    size_t m_seed = 0;
};

// The current path of every entry, found by path. Paths are unique: the list allows each once,
// and an entry that a rename makes stale leaves the index before the moved entry takes its path.
// The ordered copy, needed to find the entries inside a renamed folder as one range, is built
// only when the first folder is renamed; runs of files never pay for it.
class PathIndex
{
public:
    // An entry's path is kept in the run's result only where it went elsewhere than under its new
    // name beside its old path: most entries stay or go there, and hold no second path.
    // Where paths are kept (the window writes them into its rows), each moved entry's is kept as
    // it moves: made once, where the move made it.
    PathIndex(const QVector<RunEntry>& entries, QVector<RunEntryResult>& results, bool keepPaths)
        : m_entries(entries), m_results(results), m_keepPaths(keepPaths)
    {
    }

    // Keys of the entries' paths, for fill() to tell whether the entries can meet. Another
    // thread forms the names meanwhile: the results are not touched here.
    void keyPaths()
    {
        m_keys.emplace(size_t(m_entries.size()) * 2);
        for (const RunEntry& entry : m_entries) {
            m_apart =
                !entry.folder && m_keys->insert(folderPartIn(entry.path), fileNameIn(entry.path));
            if (!m_apart)
                return;
        }
    }

    // Once the names are formed. Where no entry is a folder and no entry's new path is another
    // entry's path, old or new, no rename of the run takes an entry's path or moves one along:
    // the index is then never asked and not kept (most runs are such, and would pay three
    // look-ups per rename for nothing). Otherwise the paths go into the table.
    void fill()
    {
        if (m_apart) {
            for (int row = 0; row < m_entries.size() && m_apart; ++row) {
                const QString& name = m_results.at(row).newName;
                const QStringView path = m_entries[row].path;
                if (isAcceptableNewName(name) && name != fileNameIn(path))
                    m_apart = m_keys->insert(folderPartIn(path), name);
            }
        }
        m_keys.reset();
        if (m_apart)
            return;
        m_rows.reserve(m_entries.size());
        m_indexed.assign(m_entries.size(), true);
        for (int row = 0; row < m_entries.size(); ++row)
            m_rows.insert(m_entries[row].path, row);
    }

    QString path(int row) const { return pathAfter(m_entries.at(row).path, m_results.at(row)); }

    // Compared in place: a path under the new name is not built for a look-up.
    bool isAt(int row, QStringView path) const
    {
        const RunEntryResult& result = m_results.at(row);
        if (!result.path.isEmpty())
            return result.path == path;
        const QString& old = m_entries.at(row).path;
        return result.underNewName ? isBeside(old, result.newName, path) : old == path;
    }

    // The entry at exactly that path, or -1.
    int rowAt(const QString& path) const { return m_apart ? -1 : m_rows.find(path); }

    // Takes out the entries whose path is `path`, or lies inside it when `inside` is set.
    std::vector<int> take(const QString& path, bool inside)
    {
        std::vector<int> taken;
        if (m_apart)
            return taken;
        const int exact = m_rows.find(path);
        if (exact >= 0) {
            taken.push_back(exact);
            drop(path, exact);
            m_indexed[exact] = false;
        }
        if (inside) {
            build();
            for (const QString& prefix : insidePrefixes(path)) {
                for (const auto& [p, row] : takeRange(prefix)) {
                    m_rows.remove(p, row);
                    m_indexed[row] = false;
                    taken.push_back(row);
                }
            }
        }
        return taken;
    }

    void move(int row, const QString to)
    {
        if (m_apart) {
            place(to, row);
            return;
        }
        drop(path(row), row);
        add(to, row);
    }

    // The entries at `from` and inside it now lie at `to` and inside it. Both are taken by value:
    // callers pass paths held in this index, which the move overwrites.
    void moveTree(const QString from, const QString to)
    {
        build();
        std::vector<std::pair<QString, int>> moved;
        const auto exact = m_sorted.find({from, m_rows.find(from)});
        if (exact != m_sorted.end()) {
            moved.push_back(*exact);
            m_sorted.erase(exact);
        }
        for (const QString& prefix : insidePrefixes(from)) {
            const auto range = takeRange(prefix);
            moved.insert(moved.end(), range.begin(), range.end());
        }
        for (const auto& [path, row] : moved) {
            m_rows.remove(path, row);
            add(to + path.mid(from.size()), row);
        }
    }

private:
    void build()
    {
        if (m_built)
            return;
        m_built = true;
        for (int row = 0; row < m_results.size(); ++row) {
            if (m_indexed[row])
                m_sorted.insert({path(row), row});
        }
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
        m_rows.remove(path, row);
        if (m_built)
            m_sorted.erase({path, row});
    }

    // Where the entry is now, as its result tells it.
    void place(const QString& path, int row)
    {
        RunEntryResult& result = m_results[row];
        const QString& old = m_entries.at(row).path;
        result.underNewName = !m_keepPaths && path != old && isBeside(old, result.newName, path);
        if (m_keepPaths || (path != old && !result.underNewName))
            result.path = path;
        else
            result.path.clear();
    }

    void add(const QString& path, int row)
    {
        place(path, row);
        m_rows.insert(path, row);
        if (m_built)
            m_sorted.insert({path, row});
    }

    // Whether `path` is `name` in the folder of `old`.
    static bool isBeside(QStringView old, QStringView name, QStringView path)
    {
        const QStringView folder = folderPartIn(old);
        return path.size() == folder.size() + name.size() && path.startsWith(folder) &&
               path.endsWith(name);
    }

    const QVector<RunEntry>& m_entries;
    QVector<RunEntryResult>& m_results;
    const bool m_keepPaths;
    RowTable<PathIndex> m_rows{*this};
    // No entry can meet another in this run (see fill); then only the results say where the
    // entries are.
    bool m_apart = true;
    std::optional<PathKeys> m_keys;
    // Whether a row's path is in the index: entries made stale leave it.
    std::vector<bool> m_indexed;
    std::set<std::pair<QString, int>> m_sorted;
    bool m_built = false;
};

// One execution of a run: the entries' paths as they change, and what became of each entry.
class Runner
{
public:
    Runner(const QVector<RunEntry>& entries, const RenameSettings& settings, const WallTime& now,
           RunDisk& disk, bool keepPaths, const RenameRun::Progress& progress,
           const RenameRun::EntryDone& entryDone = {})
        : m_entries(entries), m_settings(settings), m_now(now), m_disk(disk),
          m_keepPaths(keepPaths), m_progress(progress), m_entryDone(entryDone),
          m_state(entries.size(), State::Pending)
    {
        // Exactly as many as there are entries: resize alone leaves room for half as many again.
        m_result.entries.reserve(entries.size());
        m_result.entries.resize(entries.size());
    }

    // `order`, when given, is the order the entries are tried in; without, the list order.
    RunResult run(bool resolveChains, const std::vector<int>* order = nullptr)
    {
        const int count = int(m_entries.size());
        // An expression that is not one renames nothing: a name formed without it would be
        // one the user never asked for.
        if (!expressionError(m_settings).isEmpty()) {
            for (int row = 0; row < count; ++row) {
                finish(row, RunOutcome::InvalidExpression);
                if (m_keepPaths)
                    m_result.entries[row].path = m_entries[row].path;
            }
            return m_result;
        }
        prepare();
        if (resolveChains) {
            m_firstWaiter.assign(size_t(count), -1);
            m_lastWaiter.assign(size_t(count), -1);
            m_nextWaiter.assign(size_t(count), -1);
        }
        std::vector<int> deferred;
        const bool announce = m_disk.takesExpectations();
        // Taken folder by folder and never coming back (nothing waits), the run is done with a
        // folder once the next one begins.
        const bool leaving = order && !resolveChains;
        QStringView folder;
        for (int at = 0; at < count && !m_disk.stopped(); ++at) {
            if (announce && at % announceBlock == 0)
                expect(order, at, std::min(count, at + announceBlock));
            const int row = order ? (*order)[at] : at;
            if (leaving) {
                const QStringView next = folderPartIn(m_entries[row].path);
                if (next != folder && !folder.isNull())
                    m_disk.leaveFolder(folder);
                folder = next;
            }
            if (m_state[row] != State::Pending)
                continue;
            if (!attempt(row, resolveChains))
                deferred.push_back(row);
        }
        if (resolveChains)
            resolveDeferred(deferred);
        for (int row = 0; row < count; ++row) {
            RunEntryResult& entry = m_result.entries[row];
            entry.stale = m_state[row] == State::Stale;
            if (m_state[row] == State::Pending || m_state[row] == State::Deferred)
                entry.outcome = RunOutcome::NotTried;
            // An entry that never moved is where its entry says.
            if (m_keepPaths && entry.path.isEmpty())
                entry.path = m_entries[row].path;
        }
        return m_result;
    }

private:
    enum class State : quint8
    {
        Pending,
        Deferred,
        Done,
        Stale
    };

    // Tells the disk which renames the next entries ask for, so that a journal writes them in
    // one go. Some of them may wait, fail, or move first with a folder; they are then asked for
    // otherwise, or not at all.
    static constexpr int announceBlock = 512;
    void expect(const std::vector<int>* order, int begin, int end)
    {
        m_expected.clear();
        m_expectedRows.clear();
        m_nextExpected = 0;
        for (int at = begin; at < end; ++at) {
            const int row = order ? (*order)[at] : at;
            if (m_state[row] != State::Pending || !isAcceptableNewName(newName(row)))
                continue;
            QString to = target(row);
            if (to != m_paths.path(row)) {
                m_expected.append({m_paths.path(row), std::move(to)});
                m_expectedRows.push_back(row);
            }
        }
        m_disk.expect(m_expected);
    }

    // The entry's new path: for the next announced entry as announced, unless a folder has
    // taken the entry along since (the new path follows from the path and the new name).
    QString targetOf(int row)
    {
        if (m_nextExpected < m_expectedRows.size() && m_expectedRows[m_nextExpected] == row &&
            m_paths.isAt(row, m_expected[qsizetype(m_nextExpected)].first))
            return m_expected[qsizetype(m_nextExpected++)].second;
        return target(row);
    }

    // The name the settings form for the entry at its position in the run. Its file name only
    // changes by its own rename, so the names can all be formed before the first rename.
    const QString& newName(int row) const { return m_result.entries[row].newName; }

    // Forms every entry's new name and indexes the paths. Forming the names is pure work on
    // texts, about a third of a plan: a long list shares it with a second thread.
    void prepare()
    {
        const int count = int(m_entries.size());
        // The mask is taken apart once for all entries.
        const NameForm form(m_settings, count, m_now);
        // A run that keeps no paths holds its names in blocks, one set per thread: a name of its
        // own would cost a header and the rounding of its allocation, more than its text.
        std::shared_ptr<std::vector<TextBlocks>> blocks;
        if (!m_keepPaths)
            m_result.nameText = blocks = std::make_shared<std::vector<TextBlocks>>(2);
        const auto nameRow = [this, &form](int row, TextBlocks* kept) {
            std::optional<PlaceholderValue> missing;
            QString made = form.name(m_entries[row].path, row, {}, &missing);
            RunEntryResult& entry = m_result.entries[row];
            if (missing) {
                // Marked here, told when its turn comes (see attempt).
                entry.outcome = RunOutcome::NoValue;
                entry.missingValue = *missing;
            }
            entry.newName = kept ? kept->keep(std::move(made)) : std::move(made);
        };
        if (form.readsFiles()) {
            // Each name waits for its file to be read: the threads take rows in small portions
            // as they come free, since one file may take much longer than another.
            std::atomic<int> next{0};
            const auto take = [&next, &nameRow, &blocks, count](int thread) {
                TextBlocks* kept = blocks ? &(*blocks)[size_t(thread)] : nullptr;
                for (int begin = next.fetch_add(64); begin < count; begin = next.fetch_add(64)) {
                    for (int row = begin; row < std::min(count, begin + 64); ++row)
                        nameRow(row, kept);
                }
            };
            std::thread helper(take, 1);
            m_paths.keyPaths();
            take(0);
            helper.join();
            m_paths.fill();
            return;
        }
        const auto name = [&nameRow, &blocks](int begin, int end, int thread) {
            TextBlocks* kept = blocks ? &(*blocks)[size_t(thread)] : nullptr;
            for (int row = begin; row < end; ++row)
                nameRow(row, kept);
        };
        if (count < 4096) {
            m_paths.keyPaths();
            name(0, count, 0);
            m_paths.fill();
            return;
        }
        // The paths are keyed meanwhile; the second thread takes the larger share.
        std::thread helper(name, count / 3, count, 1);
        m_paths.keyPaths();
        name(0, count / 3, 0);
        helper.join();
        m_paths.fill();
    }

    QString target(int row) { return besidePath(m_paths.path(row), newName(row)); }

    // Whether the entry will still try to leave its path in this run.
    bool leaves(int row)
    {
        if (row < 0 || m_state[row] == State::Done || m_state[row] == State::Stale)
            return false;
        const QString& name = newName(row);
        return isAcceptableNewName(name) && name != fileNameIn(m_paths.path(row));
    }

    void finish(int row, RunOutcome outcome, int error = 0)
    {
        m_state[row] = State::Done;
        release(row);
        RunEntryResult& entry = m_result.entries[row];
        entry.outcome = outcome;
        entry.error = error;
        if (m_entryDone)
            m_entryDone(row, entry);
        if (outcome == RunOutcome::Renamed)
            ++m_result.renamed;
        else if (outcome == RunOutcome::Exists || outcome == RunOutcome::Error ||
                 outcome == RunOutcome::NoValue || outcome == RunOutcome::InvalidExpression)
            ++m_result.failed;
        else
            return;
        if (m_progress)
            m_progress(m_result.renamed, m_result.failed);
    }

    // Renames the entry's path on disk and moves the entry (and, for a folder, the entries
    // inside it) along. Entries listed where it lands named nothing: they become stale.
    bool move(int row, const QString from, const QString to, bool back = false)
    {
        if (!(back ? m_disk.renameBack(from, to) : m_disk.rename(from, to))) {
            // Taken at once: the look-ups that follow a failure set errno themselves.
            m_lastError = errno;
            return false;
        }
        const bool folder = m_entries[row].folder && m_disk.kind(to) == RunDisk::Kind::Folder;
        m_result.entries[row].renamedAsFolder = folder;
        for (const int stale : m_paths.take(to, folder)) {
            if (m_state[stale] != State::Done)
                m_result.entries[stale].outcome = RunOutcome::Missing;
            m_state[stale] = State::Stale;
            release(stale);
        }
        if (folder)
            m_paths.moveTree(from, to);
        else
            m_paths.move(row, to);
        return true;
    }

    // One try of the entry's rename. False when it waits: its new name is taken by an entry
    // of this run that will still leave it. A waiting entry is not tried on disk; it is tried
    // again once that entry is done.
    bool attempt(int row, bool mayWait)
    {
        const QString from = m_paths.path(row);
        // The name lacks a value of the file: nothing to try. A file that is gone is skipped.
        if (m_result.entries[row].outcome == RunOutcome::NoValue) {
            finish(row, m_disk.kind(from) == RunDisk::Kind::Missing ? RunOutcome::Missing
                                                                    : RunOutcome::NoValue);
            return true;
        }
        const QString to = targetOf(row);
        if (to == from) {
            finish(row, RunOutcome::Unchanged);
            return true;
        }
        const bool acceptable = isAcceptableNewName(newName(row));
        if (acceptable && mayWait) {
            const int holder = m_paths.rowAt(to);
            if (holder != row && leaves(holder)) {
                waitFor(row, holder);
                return false;
            }
        }
        // The disk is asked about source and target only when the rename did not happen: a
        // look-up of a name that is not there costs about as much as the rename itself. The
        // outcome is the same as testing first, since nothing is ever replaced. A name that is
        // empty, "." or "..", or holds a separator that would move the entry elsewhere, never
        // reaches the disk.
        m_lastError = 0;
        if (acceptable && move(row, from, to)) {
            finish(row, RunOutcome::Renamed);
            return true;
        }
        const int error = m_lastError;
        if (m_disk.stopped())
            return true;
        if (m_disk.kind(from) == RunDisk::Kind::Missing) {
            finish(row, RunOutcome::Missing);
            return true;
        }
        finish(row,
               acceptable && m_disk.kind(to) == RunDisk::Kind::File ? RunOutcome::Exists
                                                                    : RunOutcome::Error,
               error);
        return true;
    }

    // Entries wait in a queue per holder, in the order they came to wait, so that of two
    // entries that want one name the earlier in the list gets it, whatever order they are
    // released in.
    void waitFor(int row, int holder)
    {
        m_state[row] = State::Deferred;
        m_nextWaiter[size_t(row)] = -1;
        if (m_lastWaiter[size_t(holder)] < 0)
            m_firstWaiter[size_t(holder)] = row;
        else
            m_nextWaiter[size_t(m_lastWaiter[size_t(holder)])] = row;
        m_lastWaiter[size_t(holder)] = row;
    }

    // The entries that waited for `row`, which has left its path or will no longer leave it.
    void release(int row)
    {
        if (m_firstWaiter.empty())
            return;
        for (int waiter = m_firstWaiter[size_t(row)]; waiter >= 0;
             waiter = m_nextWaiter[size_t(waiter)])
            m_released.push_back(waiter);
        m_firstWaiter[size_t(row)] = -1;
        m_lastWaiter[size_t(row)] = -1;
    }

    // Entries whose new name was taken by another entry of the run that leaves it: each is
    // tried again as soon as that entry is done, so a chain of any length costs one try per
    // link. What is left waits in a circle, each for the next, or for a circle: the circle
    // turns, and what waited for it follows.
    void resolveDeferred(const std::vector<int>& deferred)
    {
        size_t next = 0;
        while (!m_disk.stopped()) {
            while (!m_released.empty() && !m_disk.stopped()) {
                const int row = m_released.front();
                m_released.pop_front();
                if (m_state[row] == State::Deferred)
                    attempt(row, true);
            }
            while (next < deferred.size() && m_state[deferred[next]] != State::Deferred)
                ++next;
            if (next == deferred.size() || m_disk.stopped())
                return;
            resolveCircle(deferred[next]);
        }
    }

    // Follows the entries each waits for, from `start` on, until one comes round again, and
    // turns that circle through a temporary name.
    void resolveCircle(int start)
    {
        std::vector<int> chain;
        if (m_seenAt.empty())
            m_seenAt.assign(m_entries.size(), -1);
        int row = start;
        while (row >= 0 && m_state[row] == State::Deferred && m_seenAt[size_t(row)] < 0) {
            m_seenAt[size_t(row)] = int(chain.size());
            chain.push_back(row);
            row = m_paths.rowAt(target(row));
        }
        const int closesAt =
            row >= 0 && m_state[row] == State::Deferred ? m_seenAt[size_t(row)] : -1;
        for (const int member : chain)
            m_seenAt[size_t(member)] = -1;
        if (closesAt < 0) {
            // Waits for an entry that no longer leaves: an ordinary refusal.
            attempt(start, false);
            return;
        }
        turnCircle(std::vector<int>(chain.begin() + closesAt, chain.end()));
    }

    // Each member takes the path of the next; the first goes to a temporary name in the same
    // folder, the others move up behind it from the last, and the first takes the second's old
    // path. Should a step fail, the steps made are taken back in reverse order, so nothing is
    // left under the temporary name, and every member is refused. Should another program keep
    // a step from being taken back, each member's path says where its file is now.
    void turnCircle(const std::vector<int>& circle)
    {
        struct Step
        {
            int row;
            QString from;
            QString to;
        };
        std::vector<Step> done;
        const auto step = [&](int row, const QString& from, const QString& to) {
            // Copies: `from` may be the index's own path of the row, which the move overwrites.
            Step made{row, from, to};
            if (!move(row, made.from, made.to))
                return false;
            done.push_back(std::move(made));
            return true;
        };
        const int first = circle.front();
        const QString firstPath = m_paths.path(first);
        std::vector<QString> targets;
        for (const int member : circle)
            targets.push_back(target(member));

        bool ok = false;
        m_lastError = 0;
        const QString parked = parkingPath(folderPart(firstPath));
        if (!parked.isEmpty() && step(first, firstPath, parked)) {
            ok = true;
            for (size_t i = circle.size() - 1; ok && i > 0; --i)
                ok = step(circle[i], m_paths.path(circle[i]), targets[i]);
            ok = ok && step(first, parked, targets.front());
        }
        const int error = ok ? 0 : m_lastError;
        if (!ok) {
            for (auto it = done.rbegin(); it != done.rend(); ++it)
                move(it->row, it->to, it->from, true);
        }
        for (const int member : circle) {
            if (!ok)
                m_result.entries[member].renamedAsFolder = false;
            finish(member, ok ? RunOutcome::Renamed : RunOutcome::Error, error);
        }
    }

    // A free name in the folder for a member of a circle to wait under.
    QString parkingPath(const QString& folder)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QString path = folder + newParkingName();
            if (m_disk.kind(path) == RunDisk::Kind::Missing && m_paths.rowAt(path) < 0)
                return path;
        }
        return {};
    }

    const QVector<RunEntry>& m_entries;
    const RenameSettings& m_settings;
    const WallTime& m_now;
    RunDisk& m_disk;
    const bool m_keepPaths;
    const RenameRun::Progress& m_progress;
    const RenameRun::EntryDone& m_entryDone;
    // errno of the last rename the disk refused.
    int m_lastError = 0;
    std::vector<State> m_state;
    RunResult m_result;
    PathIndex m_paths{m_entries, m_result.entries, m_keepPaths};
    // Who waits for whom, with chains resolved: per holder the first and last of its waiters,
    // linked through m_nextWaiter.
    std::vector<int> m_firstWaiter;
    std::vector<int> m_lastWaiter;
    std::vector<int> m_nextWaiter;
    // Waiters whose holder is done, to be tried again in this order.
    std::deque<int> m_released;
    // Where an entry stands in the chain being followed; -1 outside of it.
    std::vector<int> m_seenAt;
    // The renames last announced to the disk, their rows, and the next of them to come.
    QVector<QPair<QString, QString>> m_expected;
    std::vector<int> m_expectedRows;
    size_t m_nextExpected = 0;
};

} // namespace

RenameRun::RenameRun(QVector<RunEntry> entries, RenameSettings settings, WallTime now)
    : m_entries(std::move(entries)), m_settings(std::move(settings)), m_now(now)
{
}

RunResult RenameRun::execute(RunDisk& disk, const Progress& progress,
                             const EntryDone& entryDone) const
{
    return Runner(m_entries, m_settings, m_now, disk, m_keepPaths, progress, entryDone)
        .run(m_resolveChains);
}

namespace {

// The entries folder by folder, each folder's in list order; empty when that gains nothing or
// when entries of different folders could meet: a listed folder moves what lies inside it.
std::vector<int> folderByFolderOrder(const QVector<RunEntry>& entries)
{
    const int count = int(entries.size());
    std::vector<int> group(size_t(count), 0);
    QHash<QStringView, int> groups;
    bool interleaved = false;
    int previous = -1;
    for (int row = 0; row < count; ++row) {
        if (entries[row].folder)
            return {};
        const QStringView path(entries[row].path);
        const QStringView folder = path.chopped(fileNameIn(entries[row].path).size());
        auto found = groups.constFind(folder);
        if (found == groups.constEnd())
            found = groups.insert(folder, int(groups.size()));
        group[size_t(row)] = found.value();
        interleaved = interleaved || found.value() < previous;
        previous = found.value();
    }
    if (!interleaved)
        return {};
    std::vector<int> start(size_t(groups.size()) + 1, 0);
    for (const int g : group)
        ++start[size_t(g) + 1];
    for (size_t g = 1; g < start.size(); ++g)
        start[g] += start[g - 1];
    std::vector<int> order(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row)
        order[size_t(start[size_t(group[size_t(row)])]++)] = row;
    return order;
}

} // namespace

RunResult RenameRun::plan() const
{
    // Files of different folders cannot meet: the plan takes one folder's entries after the
    // other, which keeps one folder's listing at hand at a time (a list sorted by name mixes
    // the folders). The outcomes are those of the list order. Should an entry listed as a file
    // be a folder by now and move, entries elsewhere may depend on it: then the list order.
    const std::vector<int> order = folderByFolderOrder(m_entries);
    if (!order.empty()) {
        SimulatedDisk disk;
        RunResult result = Runner(m_entries, m_settings, m_now, disk, m_keepPaths, {})
                               .run(m_resolveChains, &order);
        if (!disk.folderMoved())
            return result;
    }
    SimulatedDisk disk;
    return execute(disk);
}

} // namespace qv
