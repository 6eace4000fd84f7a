// The window's side of the batch rename: it reads the list and the settings, lets the core run
// decide and rename, and writes the outcome back into the list.

#include "app/tprog.h"

#include "filelist/filelistmodel.h"
#include "rename/diskrename.h"
#include "rename/renamerun.h"
#include "rename/rundisk.h"
#include "rename/textutil.h"

#include <QDate>
#include <QLabel>
#include <QTreeView>

namespace {

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

QVector<qv::RunEntry> Tprog::runEntries() const
{
    QVector<qv::RunEntry> entries;
    entries.reserve(m_list->count());
    for (int row = 0; row < m_list->count(); ++row)
        entries.append({m_list->text(row, qv::ColPath),
                        m_list->text(row, qv::ColType) == QLatin1String("DIR")});
    return entries;
}

void Tprog::UmbenennenClick()
{
    const int count = m_list->count();
    if (count == 0)
        return;

    setEnabled(false);
    qulist->setUpdatesEnabled(false);
    // What the run reads from the controls and the clock is read once: the window is disabled,
    // so no setting can change during the run, and one date for the whole run keeps a run across
    // midnight consistent.
    const qv::RenameRun run(runEntries(), renameSettings(), QDate::currentDate());
    qv::LiveDisk disk(m_diskRenamer ? *m_diskRenamer : noReplaceRenamer());
    const qv::RunResult result = run.execute(disk, [this](int renamed, int failed) {
        setSupportStatus(progressText(renamed, failed, txt));
        processPendingEvents();
    });

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
            m_list->setText(row, qv::ColName, qv::fileName(entry.path));
            if (!entry.renamedAsFolder)
                m_list->setText(row, qv::ColType, qv::extension(entry.path).remove(u'.').toUpper());
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
    Vorschau();
    setEnabled(true);
}
