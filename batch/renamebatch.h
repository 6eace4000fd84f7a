#pragma once

#include "batch/outcomes.h"
#include "filelist/entryadder.h"
#include "filelist/filelistmodel.h"
#include "rename/folderlisting.h"
#include "rename/journal.h"
#include "rename/renamename.h"
#include "rename/renamerun.h"
#include "rename/undo.h"
#include "text/messagetexts.h"

#include <QDate>
#include <QHash>

#include <functional>
#include <memory>

namespace qv {

class DiskRenamer;

// How entries are added: the status of a new entry, the gates, and how folders are scanned.
struct AddOptions
{
    bool files = true;
    bool folders = true;
    QStringList patterns{QStringLiteral("*.*")};
    bool recursive = false;
    // Names that start with a full stop are left out of a scan.
    bool skipHidden = false;
    // Whether a scan reads each file's size (a look at each file of its own).
    bool sizes = true;
};

// What adding tells while it works: each entry added (with the count listed now), each refused
// duplicate, each path of a drop handled, and a pause between the folders of a scan.
struct AddHooks
{
    std::function<void(int)> added;
    std::function<void(const QString& path, bool folder)> duplicate;
    std::function<void(int handled)> pathHandled;
    // A folder of a drop scanned, before the folder itself is added.
    std::function<void()> folderScanned;
    std::function<void()> pause;
};

// What one run reads from its caller.
struct RunRequest
{
    RenameSettings settings;
    bool resolveChains = false;
    WallTime now = WallTime::now();
};

struct RunHooks
{
    // The renamed and the refused so far, as the run goes.
    std::function<void(int renamed, int refused)> progress;
    // Each entry as soon as it is done: its row, its path before the run, what became of it.
    std::function<void(int row, const QString& before, const RunEntryResult& entry)> entryDone;
    // Between the rows written back into the list.
    std::function<void()> pause;
    // Whether the list's rows follow the run. A face that only reports the outcomes needs not
    // keep them: the list is emptied once the run holds its entries (undo works from the
    // journal either way).
    bool writeRows = true;
};

struct BatchRunReport
{
    // By the rows the entries had when the run began.
    QVector<RunEntry> entries;
    RunResult result;
    Tally tally;
    // Set when the journal failed during the run: the rest was not tried.
    QString stoppedBecause;
};

// One line of an undo's report: a file once, from its name after the run back to its old one.
struct UndoLine
{
    QString path;
    QString oldPath;
    UndoOutcome outcome;
};

struct BatchUndoReport
{
    UndoResult undone;
    QVector<UndoLine> lines;
};

// One batch of renaming, without a window: the entry list, adding to it, the plan, the run with
// its undo journal, and undo. The window and the command line are two faces of it: each reads
// its controls or options into plain values, calls the batch, and shows what it reports. The
// list's rows follow every rename, of a run and of undo.
class RenameBatch
{
public:
    RenameBatch();
    ~RenameBatch();

    FileListModel& list() { return m_list; }
    const FileListModel& list() const { return m_list; }
    // The language of the statuses the batch writes into the list.
    void setTexts(const Texts& texts) { m_texts = texts; }
    const Texts& texts() const { return m_texts; }
    // For a batch that serves one run and ends with it (the command line): the paths a scan
    // finds are kept in large blocks that live as long as the batch, instead of each in an
    // allocation of its own. Their results must not outlive the batch.
    void keepScannedPathsInBlocks() { m_pathText = std::make_unique<TextBlocks>(); }
    // For a batch whose next run follows its scans at once (the command line): the listings of
    // the folders the scans read serve that run's journal, which then reads no folder again.
    void keepScanListings() { m_listings = std::make_unique<FolderListings>(); }

    // ---- adding: every path enters absolute and clean, so that one file is one entry however
    // it was named.
    AddResult addFile(const QString& path, const AddOptions& options, const AddHooks& hooks = {});
    AddResult addFolderEntry(const QString& path, const AddOptions& options,
                             const AddHooks& hooks = {});
    // The files a scan of the folder finds; nothing when the path is no folder.
    AddResult addFolderFiles(const QString& folder, const AddOptions& options,
                             const AddHooks& hooks = {});
    // A drop: each path in its order; a folder gives its files and then itself, a file itself,
    // anything else (gone, a device, a dangling link) nothing.
    AddResult addPaths(const QStringList& paths, const AddOptions& options,
                       const AddHooks& hooks = {});

    // ---- the plan and the run
    RenameRun runOf(const RunRequest& request) const;
    RunResult plan(const RunRequest& request) const;
    // Opens the undo journal for the next run; false when it cannot be written or another run
    // holds it (journalProblem() and journalReason() say which). A run without an open journal
    // cannot be undone.
    bool openJournal();
    JournalProblem journalProblem() const;
    QString journalReason() const;
    // Renames every entry as the request says, writes each outcome into its row (name, type,
    // status, path; entries inside a renamed folder follow it) and removes the rows whose path a
    // rename took. follow, when given, is a path that tracks its entry through the run.
    BatchRunReport run(const RunRequest& request, DiskRenamer& renamer, const RunHooks& hooks = {},
                       QString* follow = nullptr);

    // ---- undo of the last run, of any window or command line
    static bool hasUndo();
    // Renames back, moves the rows of the listed entries back and gives them their names before
    // the run; refused steps get their status.
    BatchUndoReport undo(DiskRenamer& renamer, const std::function<void()>& pause = {},
                         QString* follow = nullptr);

private:
    EntryAdder adder(const AddOptions& options, const AddHooks& hooks);
    void writeRun(const BatchRunReport& report, const RunHooks& hooks, QString* follow);
    void writeUndo(const UndoResult& undone, const std::function<void()>& pause, QString* follow);

    // Declared before the list, whose paths may lie in it.
    std::unique_ptr<TextBlocks> m_pathText;
    std::unique_ptr<FolderListings> m_listings;
    FileListModel m_list;
    Texts m_texts = Texts::of(Language::German);
    std::unique_ptr<RenameJournal> m_journal;
    // The name and type columns the entries renamed by the last run showed before it, by the
    // path they had then; undo gives them back.
    QHash<QString, QPair<QString, QString>> m_textsBeforeRun;
};

// The report of undo, a file once: a circle's file went through a temporary name, and undo
// took both steps back.
QVector<UndoLine> undoLines(const QVector<UndoStep>& steps);

} // namespace qv
