// The window's side of the batch rename: it reads the list and the settings, lets the core run
// decide and rename, and writes the outcome back into the list.

#include "app/tprog.h"

#include "app/platform.h"

#include "filelist/fileentry.h"
#include "filelist/filelistmodel.h"
#include "rename/diskrename.h"
#include "rename/journal.h"
#include "rename/journalingrenamer.h"
#include "rename/renamerun.h"
#include "rename/rundisk.h"
#include "rename/undo.h"
#include "text/pathbytes.h"
#include "text/textutil.h"

#include <QDate>
#include <QLabel>
#include <QTreeView>

namespace {

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

qv::DiskRenamer& Tprog::diskRenamer() const
{
    return m_diskRenamer ? *m_diskRenamer : noReplaceRenamer();
}

void Tprog::updateUndoEntry()
{
    m_rueckgaengig->setEnabled(!qv::RenameJournal().isEmpty());
}

QVector<qv::RunEntry> Tprog::runEntries() const
{
    return qv::runEntriesOf(*m_list);
}

void Tprog::UmbenennenClick()
{
    const int count = m_list->count();
    if (count == 0)
        return;

    // Every rename goes into the journal before it is made, so that the run can be undone even
    // when it does not end normally. Without a journal the user decides, once, whether to
    // rename all the same.
    qv::RenameJournal journal;
    const bool journaled = journal.begin();
    if (!journaled) {
        if (journal.problem() == qv::JournalProblem::Busy) {
            qv::platform().warning(this, txt.txt_journal_besetzt);
            return;
        }
        if (!qv::platform().ask(this, txt.txt_journal_frage.arg(journal.reason())))
            return;
    }

    setEnabled(false);
    qulist->setUpdatesEnabled(false);
    // What the run reads from the controls and the clock is read once: the window is disabled,
    // so no setting can change during the run, and one date for the whole run keeps a run across
    // midnight consistent.
    const qv::RenameRun run = currentRun();
    qv::JournalingRenamer journaling(diskRenamer(), journal);
    qv::LiveDisk disk(journaled ? static_cast<qv::DiskRenamer&>(journaling) : diskRenamer(),
                      journaled ? &journal : nullptr);
    const qv::RunResult result = run.execute(disk, [this](int renamed, int failed) {
        setSupportStatus(
            qv::progressText(renamed, failed, txt.txt_umbenannt, txt.txt_nicht_umbenannt));
        processPendingEvents();
    });
    journal.end();
    if (result.renamed > 0)
        m_textsBeforeRun.clear();

    // Inside a bulk update the list does not sort itself when a name changes, so every entry
    // keeps its row until the end: row r is the entry at position r of the moment of the press.
    m_list->beginBulkUpdate();
    const QString previewPath = vor_orig->toolTip();
    const int previewRow = previewPath.isEmpty() ? -1 : m_list->rowOfPath(previewPath);
    QList<int> staleRows;
    for (int row = 0; row < count; ++row) {
        const qv::RunEntryResult& entry = result.entries[row];
        if (entry.stale) {
            staleRows.append(row);
            continue;
        }
        switch (entry.outcome) {
        case qv::RunOutcome::Renamed:
            m_textsBeforeRun.insert(run.entries()[row].path, {m_list->text(row, qv::ColName),
                                                              m_list->text(row, qv::ColType)});
            m_list->setText(row, qv::ColName, qv::shownText(qv::fileName(entry.path)));
            if (!entry.renamedAsFolder)
                m_list->setText(row, qv::ColType, qv::fileEntryType(entry.path));
            m_list->setText(row, qv::ColStatus, txt.txt_st_umbenannt);
            break;
        case qv::RunOutcome::Exists:
            m_list->setText(row, qv::ColStatus, txt.txt_st_existiert);
            break;
        case qv::RunOutcome::Error:
            m_list->setText(row, qv::ColStatus, txt.txt_st_fehler);
            break;
        case qv::RunOutcome::Unchanged:
        case qv::RunOutcome::Missing:
        case qv::RunOutcome::NotTried:
            break;
        }
        // Also entries carried along by a renamed folder.
        m_list->setText(row, qv::ColPath, entry.path);
        // The window is disabled and the list does not paint: only the label repaints.
        processPendingEvents();
    }
    const QString previewNow = previewRow >= 0 ? m_list->text(previewRow, qv::ColPath) : QString();
    if (!staleRows.isEmpty()) {
        m_list->removeRowsAt(staleRows);
        writeCountToLaAnzahl();
    }
    m_list->endBulkUpdate();
    qulist->setUpdatesEnabled(true);
    if (previewRow >= 0)
        vor_orig->setToolTip(previewNow);
    updateUndoEntry();
    Vorschau();
    if (journaled && journal.failed()) {
        int notTried = 0;
        for (const qv::RunEntryResult& entry : result.entries)
            notTried += entry.outcome == qv::RunOutcome::NotTried;
        setSupportStatus(qv::stoppedText(txt, journal.reason(), result.renamed, notTried));
    }
    setEnabled(true);
}

void Tprog::m_rueckgaengigClick()
{
    qv::RenameJournal journal;
    if (journal.isEmpty()) {
        updateUndoEntry();
        return;
    }
    setEnabled(false);
    qulist->setUpdatesEnabled(false);
    const qv::UndoResult undone =
        qv::undoJournal(journal, diskRenamer(), [this](int, int) { processPendingEvents(); });
    if (undone.problem != qv::JournalProblem::None) {
        qulist->setUpdatesEnabled(true);
        setEnabled(true);
        qv::platform().warning(this, undone.problem == qv::JournalProblem::Busy
                                         ? txt.txt_journal_besetzt
                                         : txt.txt_journal_defekt);
        updateUndoEntry();
        return;
    }
    const QVector<qv::UndoStep>& steps = undone.steps;
    const int restored = undone.restored;
    const int refused = undone.refused;

    // The listed entries follow the renames back, step by step, as the run moved them.
    m_list->beginBulkUpdate();
    const QString previewPath = vor_orig->toolTip();
    const int previewRow = previewPath.isEmpty() ? -1 : m_list->rowOfPath(previewPath);
    QHash<QString, int> rows;
    for (int row = 0; row < m_list->count(); ++row)
        rows.insert(m_list->text(row, qv::ColPath), row);
    QList<int> restoredRows;
    for (const qv::UndoStep& step : steps) {
        const int row = rows.value(step.move.to, -1);
        switch (step.outcome) {
        case qv::UndoOutcome::Restored:
            if (step.folder) {
                const QString inside = step.move.to + u'/';
                for (int r = 0; r < m_list->count(); ++r) {
                    const QString path = m_list->text(r, qv::ColPath);
                    if (path.startsWith(inside)) {
                        const QString back = step.move.from + path.mid(step.move.to.size());
                        rows.remove(path);
                        rows.insert(back, r);
                        m_list->setText(r, qv::ColPath, back);
                    }
                }
            }
            if (row >= 0) {
                rows.remove(step.move.to);
                rows.insert(step.move.from, row);
                m_list->setText(row, qv::ColPath, step.move.from);
                restoredRows.append(row);
            }
            break;
        case qv::UndoOutcome::Taken:
            if (row >= 0)
                m_list->setText(row, qv::ColStatus, txt.txt_st_existiert);
            break;
        case qv::UndoOutcome::Error:
            if (row >= 0)
                m_list->setText(row, qv::ColStatus, txt.txt_st_fehler);
            break;
        case qv::UndoOutcome::Changed:
            if (row >= 0)
                m_list->setText(row, qv::ColStatus, txt.txt_st_geaendert);
            break;
        case qv::UndoOutcome::Gone:
        case qv::UndoOutcome::AlreadyBack:
            break;
        }
    }
    for (const int row : std::as_const(restoredRows)) {
        const QString path = m_list->text(row, qv::ColPath);
        if (qv::isParkingName(qv::fileNameIn(path)))
            continue;
        const bool folder = m_list->text(row, qv::ColType) == QLatin1String("DIR");
        const auto before = m_textsBeforeRun.constFind(path);
        if (before != m_textsBeforeRun.constEnd()) {
            m_list->setText(row, qv::ColName, before->first);
            m_list->setText(row, qv::ColType, before->second);
        } else {
            m_list->setText(row, qv::ColName, qv::shownText(qv::fileName(path)));
            if (!folder)
                m_list->setText(row, qv::ColType, qv::fileEntryType(path));
        }
        m_list->setText(row, qv::ColStatus, txt.txt_st_zurueck);
    }
    const QString previewNow = previewRow >= 0 ? m_list->text(previewRow, qv::ColPath) : QString();
    m_list->endBulkUpdate();
    m_textsBeforeRun.clear();
    qulist->setUpdatesEnabled(true);
    if (previewRow >= 0)
        vor_orig->setToolTip(previewNow);

    QString said =
        qv::progressText(restored, refused, txt.txt_zurueckbenannt, txt.txt_nicht_zurueckbenannt);
    if (undone.cleared > 0)
        said +=
            QStringLiteral(", ") + QString::number(undone.cleared) + txt.txt_platzhalter_entfernt;
    setSupportStatus(said);
    updateUndoEntry();
    Vorschau();
    setEnabled(true);
}
