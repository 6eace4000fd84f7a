#include "app/tprog.h"

#include "app/platform.h"
#include "filelist/entryadder.h"
#include "filelist/filelistmodel.h"

#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>

#include <algorithm>

namespace {

// The context menu's commands work on existing files only; folders and vanished files are
// skipped without a word.
bool isExistingFile(const QString& path)
{
    return qv::pathKind(path) == qv::PathKind::File;
}

} // namespace

void Tprog::qulistColumnClick(int column)
{
    // As a click on the header: the column sorted last reverses, any other starts ascending.
    const bool reverse = column == m_list->sortColumn() && !m_list->sortDescending();
    const Qt::SortOrder order = reverse ? Qt::DescendingOrder : Qt::AscendingOrder;
    QHeaderView* header = qulist->header();
    if (header->sortIndicatorSection() != column || header->sortIndicatorOrder() != order) {
        // The header's signal sorts the list and refreshes the preview.
        header->setSortIndicator(column, order);
        return;
    }
    // The header shows this order already, as the list was sorted without it: no signal comes.
    m_list->sort(column, order);
    Vorschau();
}

void Tprog::qulistSelectItem()
{
    VorschauSetzen();
}

bool Tprog::qulistKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_A && modifiers.testFlag(Qt::ControlModifier)) {
        qulist->selectAll();
        return true;
    }
    if (key == Qt::Key_Delete) {
        BitBtn3Click();
        return true;
    }
    return false;
}

void Tprog::BitBtn3Click()
{
    const QList<int> rows = selectedRows();
    // Removing rows one range at a time tells the selection model about the deselection; a
    // compacting reset clears it silently. Either way the selection handler runs once, so the
    // preview follows the changed selection as it would after any other deselection.
    bool selectionSignalled = false;
    const QMetaObject::Connection watch =
        connect(qulist->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [&selectionSignalled] { selectionSignalled = true; });
    m_list->beginBulkUpdate();
    m_list->removeRowsAt(rows);
    writeCountToLaAnzahl();
    m_list->endBulkUpdate();
    disconnect(watch);
    if (!rows.isEmpty() && !selectionSignalled)
        qulistSelectItem();
}

void Tprog::BitBtn2Click()
{
    // Emptying the list deselects nothing one by one, so the preview stays as it is; its next
    // refresh numbers the entry by the numbering start alone.
    m_list->beginBulkUpdate();
    m_list->clear();
    writeCountToLaAnzahl();
    m_list->endBulkUpdate();
}

bool Tprog::PopupMenu1Popup()
{
    return qulist->selectionModel()->hasSelection();
}

void Tprog::MenuItem1Click()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    const QString path = m_list->text(rows.first(), qv::ColPath);
    if (isExistingFile(path))
        qv::platform().showItemInFolder(path);
}

void Tprog::MenuItem2Click()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    const QString path = m_list->text(rows.first(), qv::ColPath);
    if (isExistingFile(path))
        ShowFileProperties(path);
}

void Tprog::ShowFileProperties(const QString& path)
{
    qv::platform().showItemProperties(this, path);
}

void Tprog::MenuItem4Click()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    if (rows.size() == 1) {
        const QString path = m_list->text(rows.first(), qv::ColPath);
        if (isExistingFile(path))
            CopyFilesToClipboard({path});
        return;
    }
    // Several entries: folders and vanished files go along, exactly as listed.
    const QString programFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    QStringList paths;
    paths.reserve(rows.size());
    for (const int row : rows) {
        const QString path = m_list->text(row, qv::ColPath);
        paths.append(QDir::isAbsolutePath(path) ? path : programFolder + path);
    }
    CopyFilesToClipboard(paths);
}

void Tprog::CopyFilesToClipboard(const QStringList& paths)
{
    qv::platform().copyFilesToClipboard(paths);
}

QList<int> Tprog::selectedRows() const
{
    QList<int> rows;
    const QItemSelectionModel* selection = qulist->selectionModel();
    if (!selection)
        return rows;
    // Ranges come in the order they were selected; the list order is what callers need.
    for (const QItemSelectionRange& range : selection->selection()) {
        if (range.parent().isValid())
            continue;
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void Tprog::followListWidth()
{
    const int extra = std::max(0, qulist->width() - m_listDesignWidth);
    if (extra == m_pathExtra)
        return;
    const int base = storedColumnWidth(qv::ColPath);
    m_pathExtra = extra;
    setStoredColumnWidth(qv::ColPath, base);
}

int Tprog::storedColumnWidth(int column) const
{
    const int width = qulist->columnWidth(column);
    if (column != qv::ColPath)
        return width;
    // Narrowed by hand below what the window added: the column is as narrow as it goes.
    return std::max(qulist->header()->minimumSectionSize(), width - m_pathExtra);
}

void Tprog::setStoredColumnWidth(int column, int width)
{
    qulist->setColumnWidth(column, column == qv::ColPath ? width + m_pathExtra : width);
}
