#pragma once

#include "rename/diskrename.h"
#include "rename/placeholders.h"
#include "rename/renamename.h"
#include "text/textblocks.h"

#include "text/walltime.h"
#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

namespace qv {

class RunDisk;

// What a run did with one entry, or would do.
enum class RunOutcome : quint8
{
    // The new name equals the old one: nothing is tried.
    Unchanged,
    // Nothing is on disk under the entry's path: skipped without a word.
    Missing,
    Renamed,
    // A file of the new name exists.
    Exists,
    // Anything else refused it: a folder of the new name, an unsafe name, the system.
    Error,
    // The run stopped before it came to the entry: the undo journal could not be written.
    NotTried,
    // The name needs a value the entry's file does not have (no date taken, no artist, a file
    // that cannot be read): not renamed.
    NoValue,
    // The search expression is not one: no entry is renamed.
    InvalidExpression
};

// One entry of the list as the run takes it: its path, and whether it is listed as a folder.
struct RunEntry
{
    QString path;
    bool folder = false;
};

struct RunEntryResult
{
    RunOutcome outcome = RunOutcome::Unchanged;
    // Renamed as a folder, so entries inside it followed.
    bool renamedAsFolder = false;
    // Its path named nothing: a rename of the run could take that path only because nothing was
    // there. The entry leaves the list; it was not visited after that rename.
    bool stale = false;
    // Set in a run that keeps no paths (see RenameRun::setKeepPaths) where the entry lies in its
    // entry's folder under its new name; `path` is then empty.
    bool underNewName = false;
    // The system's error number of the rename that failed (Exists or Error); 0 when the disk was
    // never asked, as for an unsafe name.
    int error = 0;
    // With NoValue: the placeholder whose value the file lacks.
    PlaceholderValue missingValue = PlaceholderValue::Name;
    // The name the settings form for the entry, whether or not it could be given.
    QString newName;
    // Where the entry is at the end: its own new path, or moved along with a renamed folder. A
    // run that keeps no paths sets it only where neither the entry's path nor `underNewName`
    // tells; pathAfter() reads both kinds.
    QString path;
};

// Where the entry at `entryPath` is after the run, whether or not the run kept paths; told of
// an entry as it is done (RenameRun::EntryDone), where it is at that moment.
QString pathAfter(const QString& entryPath, const RunEntryResult& result);

struct RunResult
{
    QVector<RunEntryResult> entries;
    int renamed = 0;
    int failed = 0;
    // In a run that keeps no paths, the text of the new names: a name taken out of the result
    // must not outlive it (see TextBlocks).
    std::shared_ptr<const std::vector<TextBlocks>> nameText;
};

// A rename run over the entries of the list in their order at the press: for each entry the new
// name is formed, and the disk is asked to rename it. The decisions are the same whatever the
// disk is, so a run against a simulated disk is the exact plan of a run against the real one.
class RenameRun
{
public:
    // Called after each entry that was tried (renamed or refused), with the counts so far.
    using Progress = std::function<void(int renamed, int failed)>;
    // Called as each entry is done (renamed, refused, unchanged or missing), with its row and what
    // became of it so far: the command line prints it at once. Its path is only spelled out at
    // the end (see pathAfter), and a later rename of a folder may still move it; entries never
    // done are only in the result.
    using EntryDone = std::function<void(int row, const RunEntryResult& entry)>;

    RenameRun(QVector<RunEntry> entries, RenameSettings settings, WallTime now);

    // With chains resolved, an entry whose new name another entry of the run still leaves
    // waits until that one has moved; entries that wait for each other in a circle move through
    // a temporary name. Without, every entry is tried once, in order.
    void setResolveChains(bool resolve) { m_resolveChains = resolve; }
    // Without, a result holds a path only where an entry went elsewhere than under its new name
    // beside its old one: a long run then keeps no second path per entry.
    void setKeepPaths(bool keep) { m_keepPaths = keep; }

    const QVector<RunEntry>& entries() const { return m_entries; }

    RunResult execute(RunDisk& disk, const Progress& progress = {},
                      const EntryDone& entryDone = {}) const;
    // The same run against the disk as it is now, touching nothing: what execute() would do.
    RunResult plan() const;

private:
    QVector<RunEntry> m_entries;
    RenameSettings m_settings;
    WallTime m_now;
    bool m_resolveChains = false;
    bool m_keepPaths = true;
};

} // namespace qv
