#include "batch/renamebatch.h"

#include "filelist/fileentry.h"
#include "filelist/folderscan.h"
#include "rename/diskrename.h"
#include "rename/journalingrenamer.h"
#include "rename/rundisk.h"
#include "text/pathbytes.h"
#include "text/textutil.h"

#include <utility>

namespace qv {

RenameBatch::RenameBatch() = default;
RenameBatch::~RenameBatch() = default;

EntryAdder RenameBatch::adder(const AddOptions& options, const AddHooks& hooks)
{
    EntryAdder adder(m_list, {m_texts.message.txt_st_neu, options.files, options.folders});
    if (hooks.added)
        adder.setAddedHandler(hooks.added);
    if (hooks.duplicate)
        adder.setDuplicateHandler(hooks.duplicate);
    return adder;
}

AddResult RenameBatch::addFile(const QString& path, const AddOptions& options,
                               const AddHooks& hooks)
{
    return adder(options, hooks).addFiles({absoluteCleanPath(path)});
}

AddResult RenameBatch::addFolderEntry(const QString& path, const AddOptions& options,
                                      const AddHooks& hooks)
{
    return adder(options, hooks).addFolders({absoluteCleanPath(path)});
}

AddResult RenameBatch::addFolderFiles(const QString& given, const AddOptions& options,
                                      const AddHooks& hooks)
{
    // The scan builds every path from the folder's, so they are all clean when it is.
    const QString folder = absoluteCleanPath(given);
    if (pathKind(folder) != PathKind::Folder)
        return {};
    // A folder whose path contains ".txt" is scanned like any other.
    QList<ScannedFile> found;
    ScanFolder(found, folder, options.patterns, options.recursive, hooks.pause, options.skipHidden,
               options.sizes, {m_pathText.get(), m_listings.get()});
    m_list.beginBulkUpdate();
    // A file matching two patterns is found twice; with one, each path once.
    const AddResult result = adder(options, hooks).addScanned(found, options.patterns.size() == 1);
    m_list.endBulkUpdate();
    return result;
}

AddResult RenameBatch::addPaths(const QStringList& paths, const AddOptions& options,
                                const AddHooks& hooks)
{
    AddResult result;
    const auto take = [&result](const AddResult& part) {
        result.added += part.added;
        result.duplicates += part.duplicates;
    };
    m_list.beginBulkUpdate();
    int handled = 0;
    for (const QString& given : paths) {
        // A folder dropped as "file:///x/f/" is the folder "f", not an entry without a name.
        const QString path = absoluteCleanPath(given);
        // A link to a folder is a folder.
        const PathKind kind = pathKind(path);
        if (kind == PathKind::Folder) {
            take(addFolderFiles(path, options, hooks));
            if (hooks.folderScanned)
                hooks.folderScanned();
            take(adder(options, hooks).addFolders({path}));
        } else if (kind == PathKind::File) {
            take(adder(options, hooks).addFiles({path}));
        }
        if (hooks.pathHandled)
            hooks.pathHandled(++handled);
    }
    m_list.endBulkUpdate();
    return result;
}

RenameRun RenameBatch::runOf(const RunRequest& request) const
{
    RenameRun run(runEntriesOf(m_list), request.settings, request.now);
    run.setResolveChains(request.resolveChains);
    return run;
}

RunResult RenameBatch::plan(const RunRequest& request) const
{
    return runOf(request).plan();
}

bool RenameBatch::openJournal()
{
    m_journal = std::make_unique<RenameJournal>();
    return m_journal->begin();
}

JournalProblem RenameBatch::journalProblem() const
{
    return m_journal ? m_journal->problem() : JournalProblem::None;
}

QString RenameBatch::journalReason() const
{
    return m_journal ? m_journal->reason() : QString();
}

bool RenameBatch::hasUndo()
{
    return !RenameJournal().isEmpty();
}

BatchRunReport RenameBatch::run(const RunRequest& request, DiskRenamer& renamer,
                                const RunHooks& hooks, QString* follow)
{
    // A journal serves the one run it was opened for; without one the run cannot be undone.
    std::unique_ptr<RenameJournal> journal = std::move(m_journal);
    const bool journaled = journal && journal->problem() == JournalProblem::None;
    if (!journal)
        journal = std::make_unique<RenameJournal>();
    RenameRun run = runOf(request);
    // Without rows to write, nothing needs each entry's path at the end spelled out.
    run.setKeepPaths(hooks.writeRows);
    if (!hooks.writeRows)
        m_list.clear();
    JournalingRenamer journaling(renamer, *journal);
    if (m_listings)
        journaling.useListings(std::move(*std::exchange(m_listings, nullptr)));
    LiveDisk disk(journaled ? static_cast<DiskRenamer&>(journaling) : renamer,
                  journaled ? journal.get() : nullptr);
    BatchRunReport report;
    report.entries = run.entries();
    RenameRun::EntryDone entryDone;
    if (hooks.entryDone)
        entryDone = [&](int row, const RunEntryResult& entry) {
            hooks.entryDone(row, std::as_const(report.entries)[row].path, entry);
        };
    report.result = run.execute(disk, hooks.progress, entryDone);
    if (journaled)
        journal->end();
    if (journaled && journal->failed())
        report.stoppedBecause = journal->reason();
    report.tally = Tally::of(report.result);
    if (hooks.writeRows)
        writeRun(report, hooks, follow);
    return report;
}

void RenameBatch::writeRun(const BatchRunReport& report, const RunHooks& hooks, QString* follow)
{
    if (report.tally.renamed > 0)
        m_textsBeforeRun.clear();
    // Inside a bulk update the list does not sort itself when a name changes, so every entry
    // keeps its row until the end: row r is the entry at position r when the run began.
    m_list.beginBulkUpdate();
    const int followRow = follow && !follow->isEmpty() ? m_list.rowOfPath(*follow) : -1;
    QList<int> staleRows;
    for (int row = 0; row < report.result.entries.size(); ++row) {
        const RunEntryResult& entry = report.result.entries[row];
        if (entry.stale) {
            staleRows.append(row);
            continue;
        }
        switch (entry.outcome) {
        case RunOutcome::Renamed:
            m_textsBeforeRun.insert(report.entries[row].path,
                                    {m_list.text(row, ColName), m_list.text(row, ColType)});
            m_list.setText(row, ColName, shownText(fileName(entry.path)));
            if (!entry.renamedAsFolder)
                m_list.setText(row, ColType, fileEntryType(entry.path));
            m_list.setText(row, ColStatus, outcomeStatus(entry.outcome, false, m_texts));
            break;
        case RunOutcome::Exists:
        case RunOutcome::Error:
        case RunOutcome::NoValue:
        case RunOutcome::InvalidExpression:
            m_list.setText(row, ColStatus, outcomeStatus(entry, false, m_texts));
            break;
        case RunOutcome::Unchanged:
        case RunOutcome::Missing:
        case RunOutcome::NotTried:
            break;
        }
        // Also entries carried along by a renamed folder.
        m_list.setText(row, ColPath, entry.path);
        if (hooks.pause)
            hooks.pause();
    }
    if (followRow >= 0)
        *follow = m_list.text(followRow, ColPath);
    if (!staleRows.isEmpty())
        m_list.removeRowsAt(staleRows);
    m_list.endBulkUpdate();
}

BatchUndoReport RenameBatch::undo(DiskRenamer& renamer, const std::function<void()>& pause,
                                  QString* follow)
{
    BatchUndoReport report;
    RenameJournal journal;
    report.undone = undoJournal(journal, renamer, [&pause](int, int) {
        if (pause)
            pause();
    });
    if (report.undone.problem != JournalProblem::None)
        return report;
    report.lines = undoLines(report.undone.steps);
    writeUndo(report.undone, pause, follow);
    return report;
}

void RenameBatch::writeUndo(const UndoResult& undone, const std::function<void()>& pause,
                            QString* follow)
{
    // The listed entries follow the renames back, step by step, as the run moved them.
    m_list.beginBulkUpdate();
    const int followRow = follow && !follow->isEmpty() ? m_list.rowOfPath(*follow) : -1;
    QHash<QString, int> rows;
    for (int row = 0; row < m_list.count(); ++row)
        rows.insert(m_list.text(row, ColPath), row);
    QList<int> restoredRows;
    const MessageTexts& txt = m_texts.message;
    for (const UndoStep& step : undone.steps) {
        const int row = rows.value(step.move.to, -1);
        switch (step.outcome) {
        case UndoOutcome::Restored:
            if (step.folder) {
                const QString inside = step.move.to + u'/';
                for (int r = 0; r < m_list.count(); ++r) {
                    const QString path = m_list.text(r, ColPath);
                    if (path.startsWith(inside)) {
                        const QString back = step.move.from + path.mid(step.move.to.size());
                        rows.remove(path);
                        rows.insert(back, r);
                        m_list.setText(r, ColPath, back);
                    }
                }
            }
            if (row >= 0) {
                rows.remove(step.move.to);
                rows.insert(step.move.from, row);
                m_list.setText(row, ColPath, step.move.from);
                restoredRows.append(row);
            }
            break;
        case UndoOutcome::Taken:
            if (row >= 0)
                m_list.setText(row, ColStatus, txt.txt_st_existiert);
            break;
        case UndoOutcome::Error:
            if (row >= 0)
                m_list.setText(row, ColStatus, txt.txt_st_fehler);
            break;
        case UndoOutcome::Changed:
            if (row >= 0)
                m_list.setText(row, ColStatus, txt.txt_st_geaendert);
            break;
        case UndoOutcome::Gone:
        case UndoOutcome::AlreadyBack:
            break;
        }
        if (pause)
            pause();
    }
    for (const int row : std::as_const(restoredRows)) {
        const QString path = m_list.text(row, ColPath);
        if (isParkingName(fileNameIn(path)))
            continue;
        const bool folder = m_list.isFolder(row);
        const auto before = m_textsBeforeRun.constFind(path);
        if (before != m_textsBeforeRun.constEnd()) {
            m_list.setText(row, ColName, before->first);
            m_list.setText(row, ColType, before->second);
        } else {
            m_list.setText(row, ColName, shownText(fileName(path)));
            if (!folder)
                m_list.setText(row, ColType, fileEntryType(path));
        }
        m_list.setText(row, ColStatus, txt.txt_st_zurueck);
    }
    if (followRow >= 0)
        *follow = m_list.text(followRow, ColPath);
    m_list.endBulkUpdate();
    m_textsBeforeRun.clear();
}

QVector<UndoLine> undoLines(const QVector<UndoStep>& steps)
{
    // A file of a circle went to a temporary name and from there to its new name; undo takes
    // both steps back. The step from the temporary name is found by the step that went back
    // to it.
    QHash<QString, qsizetype> fromParking;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        if (isParkingName(fileNameIn(steps[i].move.from)))
            fromParking.insert(steps[i].move.from, i);
    }
    QVector<UndoLine> lines;
    for (const UndoStep& step : steps) {
        if (isParkingName(fileNameIn(step.move.from)))
            continue;
        QString path = step.move.to;
        UndoOutcome outcome = step.outcome;
        if (isParkingName(fileNameIn(path))) {
            const auto partner = fromParking.constFind(path);
            if (partner != fromParking.constEnd()) {
                const UndoStep& first = steps[*partner];
                path = first.move.to;
                // Refused on the way to the temporary name: that says what became of the file.
                if (first.outcome != UndoOutcome::Restored &&
                    first.outcome != UndoOutcome::AlreadyBack)
                    outcome = first.outcome;
            } else {
                // The run was stopped while the file waited under the temporary name: it is
                // back under its old one.
                path = step.move.from;
            }
        }
        // A rename the run never made has nothing to report.
        if (outcome != UndoOutcome::AlreadyBack)
            lines.append({path, step.move.from, outcome});
    }
    return lines;
}

} // namespace qv
