#pragma once

#include "filelist/fileentry.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QHash>
#include <QStringList>
#include <QVector>

#include <functional>

namespace qv {

// The entries of the file list. Keeps a hash of the path column for the duplicate test and sorts
// itself whenever an entry's name changes to a different text. Inside a bulk update (they nest)
// additions and renames are only marked, and the list is sorted once when the outermost ends.
class FileListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit FileListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int count() const { return int(m_entries.size()); }
    const FileEntry& entry(int row) const { return m_entries[row]; }
    QString text(int row, int column) const;

    bool containsPath(const QString& path) const;
    // First row whose path column equals path exactly, or -1 (a linear walk).
    int rowOfPath(const QString& path) const;

    // Adds a complete entry: in place by the current order, or at the end inside a bulk update.
    void append(const FileEntry& entry);
    void setText(int row, int column, const QString& text);

    void removeRowsAt(QList<int> rows);
    void clear();

    void beginBulkUpdate();
    void endBulkUpdate();
    bool inBulkUpdate() const { return m_bulkDepth > 0; }

    // Sort state: column 0..4 and direction. sort() orders the whole list with compare().
    void setSortOrder(int column, bool descending);
    int sortColumn() const { return m_sortColumn; }
    bool sortDescending() const { return m_descending; }
    void sort();
    // Called now and then while a long sort works out the new order, before the list changes;
    // lets the window repaint. It must not touch the list.
    void setSortPause(std::function<void()> pause) { m_sortPause = std::move(pause); }
    // Negative when a goes before b by the current sort column and direction.
    int compare(const FileEntry& a, const FileEntry& b) const;

    void setHeaderTexts(const QStringList& captions);

private:
    void addPath(const QString& path);
    void dropPath(const QString& path);

    QVector<FileEntry> m_entries;
    QHash<QString, int> m_pathCount;
    QStringList m_headers;
    QCollator m_collator;
    int m_sortColumn = 0;
    bool m_descending = false;
    int m_bulkDepth = 0;
    bool m_sortPending = false;
    std::function<void()> m_sortPause;
    // False once a column of the current sort order changed without a sort, or the order itself.
    bool m_sorted = true;
};

} // namespace qv
