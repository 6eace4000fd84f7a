#include "app/tprog.h"

#include "filelist/filelistmodel.h"

#include <QItemSelectionModel>
#include <QTreeView>

#include <algorithm>

void Tprog::qulistColumnClick(int) {}
void Tprog::qulistSelectItem() {}
bool Tprog::qulistKeyDown(int, Qt::KeyboardModifiers)
{
    return false;
}
void Tprog::BitBtn3Click() {}
void Tprog::BitBtn2Click() {}
bool Tprog::PopupMenu1Popup()
{
    return false;
}
void Tprog::MenuItem1Click() {}
void Tprog::MenuItem2Click() {}
void Tprog::MenuItem4Click() {}
void Tprog::CopyFilesToClipboard(const QStringList&) {}
void Tprog::ShowFileProperties(const QString&) {}

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
