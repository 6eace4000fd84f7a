#pragma once

#include "filelist/asciicollation.h"
#include "filelist/fileentry.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QHash>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace qv {

struct RunEntry;

// The entries of the file list. An entry keeps its path, size and status; its name, type and
// size texts are formed from them when asked for, unless a text was set that differs from the
// formed one. Keeps a hash of the path column for the duplicate test and sorts itself whenever an
// entry's name changes to a different text. Inside a bulk update (they nest) additions and
// renames are only marked, and the list is sorted once when the outermost ends.
class FileListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit FileListModel(QObject* parent = nullptr);
    ~FileListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The entries listed. Inside a bulk update the rows added meanwhile count here at once, and
    // in rowCount() only from the end of that update on.
    int count() const { return int(m_items.size()); }
    // The five texts of a row.
    FileEntry entry(int row) const;
    QString text(int row, int column) const;
    // The row's path, and whether it was listed as a folder; without forming any text.
    const QString& path(int row) const { return m_items[row].path; }
    bool isFolder(int row) const { return m_items[row].folder; }

    bool containsPath(const QString& path) const;
    // First row whose path column equals path exactly, or -1 (a linear walk).
    int rowOfPath(const QString& path) const;

    // Adds an entry with exactly these texts: in place by the current order, or at the end inside
    // a bulk update.
    void append(const FileEntry& entry);
    // Add a file entry (size in bytes, -1 when unknown) or a folder entry formed from the path,
    // placed as append() places them. False, and nothing changes, when the path is listed already.
    bool appendFile(const QString& path, qint64 size, const QString& status);
    bool appendFolder(const QString& path, const QString& status);
    // A file of a scan whose paths differ from each other, into a list that was empty when the
    // scan's files began: none is tested for a duplicate.
    void appendScannedFile(const QString& path, qint64 size, const QString& status);
    void setText(int row, int column, const QString& text);

    void removeRowsAt(QList<int> rows);
    void clear();

    // Room for this many entries in all, so that a long list grows in one step.
    void reserve(int entries);

    void beginBulkUpdate();
    void endBulkUpdate();
    bool inBulkUpdate() const { return m_bulkDepth > 0; }

    // Sort state: column 0..4 and direction; the list starts sorted by name, ascending.
    // setSortOrder() takes effect with the next sort.
    void setSortOrder(int column, bool descending);
    int sortColumn() const { return m_sortColumn; }
    bool sortDescending() const { return m_descending; }
    Qt::SortOrder sortOrder() const
    {
        return m_descending ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    // Orders the whole list by the current sort column and direction.
    void sort();
    // The view's header sort: sets the order and sorts.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // Called now and then while a long sort works out the new order, before the list changes;
    // lets the window repaint. It must not touch the list.
    void setSortPause(std::function<void()> pause) { m_sortPause = std::move(pause); }
    // Negative when row a goes before row b by the current sort column and direction.
    int compareRows(int a, int b) const;

    void setHeaderTexts(const QStringList& captions);

    // Whether the digits in a text compare as the number they make ("Bild 2" before "Bild 10")
    // rather than character by character; off by default. A change re-sorts the list.
    void setNumbersByValue(bool byValue);
    bool numbersByValue() const { return m_collator.numericMode(); }

private:
    // Texts set by setText() or append() that differ from the ones formed from the entry.
    struct GivenTexts
    {
        QString name;
        QString type;
        QString size;
        quint8 columns = 0;
    };

    struct Item
    {
        QString path;
        QString status;
        // In bytes, for a file entry.
        qint64 size = 0;
        std::unique_ptr<GivenTexts> given;
        // The collation key of the name column, made when a sort first needs it and kept until
        // the name or the collation changes: a list is sorted by name far more often than
        // renamed.
        mutable std::optional<QCollatorSortKey> nameKey;
        bool folder = false;
    };

    // The text the entry shows in column, given or formed.
    QString shown(const Item& item, int column) const;
    QString formed(const Item& item, int column) const;
    void give(Item& item, int column, const QString& text);
    // The name column as a part of the path, or the name given.
    QStringView nameIn(const Item& item) const;
    const QCollatorSortKey& nameKey(const Item& item) const;
    const AsciiCollation& ascii() const;
    int compareNames(const Item& a, const Item& b) const;
    // Sorts order by name; false, and order unchanged, when a name is not printable ASCII.
    template <typename SortBy> bool sortAsciiNames(SortBy sortBy);
    // What the size sort compares: the number the size text reads as.
    double sizeNumber(const Item& item) const;
    int compareItems(const Item& a, const Item& b) const;
    void insertItem(Item&& item);
    // Lists a path not listed yet; false for a duplicate.
    bool appendNew(const QString& path, const QString& status, qint64 size, bool folder);
    // Tells the views of the rows added since they last heard.
    void announceRows();
    void addPath(const QString& path);
    void dropPath(const QString& path);
    // The index of listed paths, made from the rows when something first asks after a scan
    // filled the list without it. A run from the command line never asks: its list is one scan.
    void countPaths() const;
    // Whether a look-up walks the rows instead of making the index (see m_uncountedTests).
    bool walksInstead() const;

    std::vector<Item> m_items;
    // How often each path is listed; valid while m_pathsCounted, otherwise made anew.
    mutable QHash<QString, int> m_pathCount;
    mutable bool m_pathsCounted = true;
    // Paths looked for by a walk through the rows since the index was dropped: a few are (the
    // folder a scan's files came from), and the index is made for more (a drop of many files).
    mutable int m_uncountedTests = 0;
    QStringList m_headers;
    QCollator m_collator;
    // Made when first needed: building it asks the collator some ten thousand questions. Never
    // made while numbers compare by value: a digit's rank then depends on the digits around it.
    mutable std::optional<AsciiCollation> m_ascii;
    int m_sortColumn = 0;
    bool m_descending = false;
    int m_bulkDepth = 0;
    // The rows the views know of; the rest were added inside the current bulk update.
    int m_announced = 0;
    bool m_sortPending = false;
    std::function<void()> m_sortPause;
    // False once a column of the current sort order changed without a sort, or the order itself.
    bool m_sorted = true;
};

// The entries of the list in their order now, as a rename run takes them.
QVector<RunEntry> runEntriesOf(const FileListModel& list);

} // namespace qv
