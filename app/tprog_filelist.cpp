#include "app/tprog.h"

#include "batch/renamebatch.h"

#include "app/filter/tquorvel_filter.h"
#include "app/platform.h"
#include "app/windows.h"
#include "filelist/entryadder.h"
#include "filelist/filelistmodel.h"
#include "filelist/folderscan.h"
#include "text/textutil.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>

namespace {

QString duplicateMessage(const QString& before, const QString& path, const QString& after)
{
    const QString emptyLine = QStringLiteral("\r\n\r\n");
    return before + emptyLine + path + emptyLine + after;
}

} // namespace

void Tprog::refuseDuplicate(const QString& message)
{
    if (!m_duplicateWarned)
        qv::platform().warning(this, message);
    m_duplicateWarned = true;
}

void Tprog::writeSupportCount()
{
    setSupportStatus(qv::countText(m_list->count(), txt));
}

void Tprog::afterAddition()
{
    if (m_list->inBulkUpdate() && !pendingEventsDue()) {
        if (!timerstopper->isActive())
            timerstopper->start();
        m_supportCountPending = true;
        return;
    }
    writeSupportCount();
    processPendingEvents();
}

qv::AddOptions Tprog::addOptions() const
{
    const Tquorvel_filter* filter = qv::quorvel_filter;
    qv::AddOptions options;
    options.files = cb_dat->isChecked();
    options.folders = cb_dir->isChecked();
    options.patterns = qv::scanPatterns(filter->alle->isChecked(), filter->filter->text());
    options.recursive = filter->uv->isChecked();
    return options;
}

qv::AddHooks Tprog::addHooks()
{
    qv::AddHooks hooks;
    hooks.added = [this](int) { afterAddition(); };
    hooks.duplicate = [this](const QString& path, bool folder) {
        refuseDuplicate(folder
                            ? duplicateMessage(txt.txt_ordner_doppelt, path, txt.txt_ordner_einmal)
                            : duplicateMessage(txt.txt_datei_doppelt, path, txt.txt_datei_einmal));
    };
    // A deep tree takes a while to read, so the window repaints between its folders.
    hooks.pause = [this] { processPendingEvents(); };
    return hooks;
}

void Tprog::beginListUpdate()
{
    if (!m_list->inBulkUpdate())
        qulist->setUpdatesEnabled(false);
    m_list->beginBulkUpdate();
}

void Tprog::endListUpdate()
{
    if (m_supportCountPending)
        writeSupportCount();
    m_list->endBulkUpdate();
    if (!m_list->inBulkUpdate())
        qulist->setUpdatesEnabled(true);
}

void Tprog::giveFocus()
{
    if (isVisible())
        activateWindow();
}

void Tprog::add2list(const QString& path)
{
    m_batch->addFile(path, addOptions(), addHooks());
}

void Tprog::addfolderaselement2list(const QString& path)
{
    m_batch->addFolderEntry(path, addOptions(), addHooks());
}

void Tprog::writeCountToLaAnzahl()
{
    la_anzahl->setText(qv::countText(m_list->count(), txt));
    la_anzahl->adjustSize();
}

void Tprog::AddOrdner(const QString& folder)
{
    if (qv::pathKind(qv::absoluteCleanPath(folder)) != qv::PathKind::Folder)
        return;
    // Inside a drop the window stays disabled until the whole drop is handled.
    const bool wasEnabled = isEnabled();
    setEnabled(false);
    beginListUpdate();
    m_batch->addFolderFiles(folder, addOptions(), addHooks());
    writeCountToLaAnzahl();
    endListUpdate();
    setEnabled(wasEnabled);
    if (wasEnabled)
        giveFocus();
    m_duplicateWarned = true;
    selectFirstEntry();
}

void Tprog::dropFiles(const QStringList& paths)
{
    m_dropTopRow = -1;
    m_dropRowsSeen = 0;
    beginListUpdate();
    setEnabled(false);
    qv::AddHooks hooks = addHooks();
    // After a folder's files the top row is marked, as the user sees the list grow; duplicates
    // met later in the drop are not reported again.
    hooks.folderScanned = [this] {
        writeCountToLaAnzahl();
        m_duplicateWarned = true;
        selectFirstEntry();
    };
    hooks.pathHandled = [this](int handled) {
        setSupportStatus(qv::countText(handled, txt));
        processPendingEvents();
    };
    m_batch->addPaths(paths, addOptions(), hooks);
    writeCountToLaAnzahl();
    endListUpdate();
    setEnabled(true);
    giveFocus();
    m_duplicateWarned = false;
    selectFirstEntry();
}

void Tprog::OpenOrdnerClick()
{
    // A cancelled dialog is a change of mind: the list and the edit stay exactly as they were,
    // so an entry the user removed does not come back.
    const QString typed = quordner->text();
    QString folder = typed;
    if (qv::IsValidFolderPath(typed)) {
        if (!qv::platform().pickFolderAt(this, txt.txt_ordnerwahl, folder))
            return;
    } else {
        folder = qv::platform().pickFolderFromDesktop(this, txt.txt_ordnerwahl);
    }
    if (folder.isEmpty())
        return;
    quordner->setText(folder);
    // The chosen folder may be gone by now; an entry for it could only fail at the rename.
    if (qv::pathKind(folder) != qv::PathKind::Folder)
        return;
    AddOrdner(folder);
    processPendingEvents();
    addfolderaselement2list(folder);
    writeCountToLaAnzahl();
}

bool Tprog::quordnerKeyPress(QChar key)
{
    if (key == QChar(13)) {
        const QString folder = quordner->text();
        if (qv::pathKind(folder) == qv::PathKind::Folder)
            AddOrdner(folder);
        else
            qv::platform().warning(this, txt.txt_ordner_fehlt);
        return false;
    }
    return quordnerAccepts(key);
}

bool Tprog::quordnerAccepts(QChar c)
{
#ifdef Q_OS_WIN
    return !QStringView(u"\"*/<>?|").contains(c);
#else
    // "/" separates the folders of the path typed here.
    return !QStringView(u"\"*<>?|").contains(c);
#endif
}

void Tprog::quordnerDblClick()
{
    quordner->selectAll();
}

void Tprog::BitBtn1Click()
{
    qv::quorvel_filter->exec();
}

void Tprog::selectFirstEntry()
{
    if (m_list->count() == 0)
        return;
    int top = 0;
    if (m_list->inBulkUpdate()) {
        // A folder scanned inside a drop: the list is sorted only when the drop ends, and until
        // then entries are only appended. The top row is the entry that goes first once sorted;
        // rows already looked at in this drop need no second look.
        if (m_dropRowsSeen > m_list->count() || m_dropTopRow >= m_list->count()) {
            m_dropTopRow = -1;
            m_dropRowsSeen = 0;
        }
        top = m_dropTopRow;
        for (int row = m_dropRowsSeen; row < m_list->count(); ++row) {
            if (top < 0 || m_list->compareRows(row, top) < 0)
                top = row;
        }
        m_dropTopRow = top;
        m_dropRowsSeen = m_list->count();
    }
    qulist->selectionModel()->select(m_list->index(top, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
}
