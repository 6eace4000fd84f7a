// The window's side of the batch rename and undo: it reads the controls, lets the batch rename,
// and shows what the batch reports.

#include "app/tprog.h"

#include "app/platform.h"

#include "batch/renamebatch.h"
#include "filelist/filelistmodel.h"
#include "rename/diskrename.h"

#include <QDate>
#include <QLabel>
#include <QTreeView>

namespace {

qv::DiskRenamer& noReplaceRenamer()
{
    // Holds nothing open between runs and undos, so one serves every window.
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
    m_rueckgaengig->setEnabled(qv::RenameBatch::hasUndo());
}

qv::RunRequest Tprog::runRequest() const
{
    // What the run reads from the controls and the clock is read once: the window is disabled
    // during a run, so no setting can change, and one date for the whole run keeps a run across
    // midnight consistent.
    return {renameSettings(), m_ketten->isChecked(), qv::WallTime::now()};
}

void Tprog::UmbenennenClick()
{
    if (m_list->count() == 0)
        return;

    // Every rename goes into the journal before it is made, so that the run can be undone even
    // when it does not end normally. Without a journal the user decides, once, whether to
    // rename all the same.
    if (!m_batch->openJournal()) {
        if (m_batch->journalProblem() == qv::JournalProblem::Busy) {
            qv::platform().warning(this, txt.txt_journal_besetzt);
            return;
        }
        if (!qv::platform().ask(this, txt.txt_journal_frage.arg(m_batch->journalReason())))
            return;
    }

    setEnabled(false);
    qulist->setUpdatesEnabled(false);
    qv::RunHooks hooks;
    hooks.progress = [this](int renamed, int refused) {
        setSupportStatus(
            qv::progressText(renamed, refused, txt.txt_umbenannt, txt.txt_nicht_umbenannt));
        processPendingEvents();
    };
    // The window is disabled and the list does not paint: only the label repaints.
    hooks.pause = [this] { processPendingEvents(); };
    QString previewPath = vor_orig->toolTip();
    const qv::BatchRunReport report =
        m_batch->run(runRequest(), diskRenamer(), hooks, &previewPath);
    writeCountToLaAnzahl();
    qulist->setUpdatesEnabled(true);
    vor_orig->setToolTip(previewPath);
    updateUndoEntry();
    Vorschau();
    if (!report.stoppedBecause.isEmpty())
        setSupportStatus(qv::stoppedText(txt, report.stoppedBecause, report.tally.renamed,
                                         report.tally.notTried));
    else if (report.tally.renamed + report.tally.refused() > 0)
        setSupportStatus(qv::runSummary(report.tally, m_batch->texts()));
    setEnabled(true);
}

void Tprog::m_rueckgaengigClick()
{
    if (!qv::RenameBatch::hasUndo()) {
        updateUndoEntry();
        return;
    }
    setEnabled(false);
    qulist->setUpdatesEnabled(false);
    QString previewPath = vor_orig->toolTip();
    const qv::BatchUndoReport report = m_batch->undo(
        diskRenamer(), [this] { processPendingEvents(); }, &previewPath);
    qulist->setUpdatesEnabled(true);
    setEnabled(true);
    if (report.undone.problem != qv::JournalProblem::None) {
        qv::platform().warning(this, report.undone.problem == qv::JournalProblem::Busy
                                         ? txt.txt_journal_besetzt
                                         : txt.txt_journal_defekt);
        updateUndoEntry();
        return;
    }
    vor_orig->setToolTip(previewPath);
    setSupportStatus(qv::undoSummary(report.undone, m_batch->texts()));
    updateUndoEntry();
    Vorschau();
}
