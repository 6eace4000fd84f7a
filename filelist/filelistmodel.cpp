#include "filelist/filelistmodel.h"

#include "filelist/sizetext.h"

#include <QLocale>

#include <algorithm>
#include <numeric>
#include <vector>

namespace qv {

namespace {

constexpr int kColumnCount = 5;
// Below this many entries one collator call per comparison is cheaper than a key per entry.
constexpr int kSortKeyThreshold = 32;
// Pieces of a long sort between two pauses.
constexpr std::size_t kSortChunk = 8192;

// A stable sort in chunks merged pairwise, pausing between the pieces of work.
template <typename Less>
void stableSortPausing(std::vector<int>& order, Less less, const std::function<void()>& pause)
{
    const std::size_t n = order.size();
    if (!pause || n <= kSortChunk) {
        std::stable_sort(order.begin(), order.end(), less);
        return;
    }
    for (std::size_t lo = 0; lo < n; lo += kSortChunk) {
        std::stable_sort(order.begin() + lo, order.begin() + std::min(lo + kSortChunk, n), less);
        pause();
    }
    for (std::size_t width = kSortChunk; width < n; width *= 2) {
        for (std::size_t lo = 0; lo + width < n; lo += 2 * width) {
            std::inplace_merge(order.begin() + lo, order.begin() + lo + width,
                               order.begin() + std::min(lo + 2 * width, n), less);
            pause();
        }
    }
}

QLocale collationLocale()
{
    const QLocale system = QLocale::system();
    // Qt compares by code point under C/POSIX; the list must sort linguistically everywhere.
    if (system.language() == QLocale::C)
        return QLocale(QStringLiteral("en_US"));
    return system;
}

const QString& columnText(const FileEntry& e, int column)
{
    switch (column) {
    case ColName:
        return e.name;
    case ColType:
        return e.type;
    case ColSize:
        return e.size;
    case ColStatus:
        return e.status;
    default:
        return e.path;
    }
}

QString& columnText(FileEntry& e, int column)
{
    return const_cast<QString&>(columnText(std::as_const(e), column));
}

int sign(double a, double b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

FileListModel::FileListModel(QObject* parent)
    : QAbstractTableModel(parent), m_headers{QStringLiteral("Name"), QStringLiteral("Typ"),
                                             QStringLiteral("Größe"), QStringLiteral("Status"),
                                             QStringLiteral("Dateipfad")},
      m_collator(collationLocale())
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(false);
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count() || index.column() >= kColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return columnText(m_entries[index.row()], index.column());
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment horizontal = index.column() == ColSize ? Qt::AlignRight : Qt::AlignLeft;
        return QVariant::fromValue(horizontal | Qt::AlignVCenter);
    }
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return section < m_headers.size() ? m_headers[section] : QString();
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment horizontal = section == ColSize ? Qt::AlignRight : Qt::AlignLeft;
        return QVariant::fromValue(horizontal | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

QString FileListModel::text(int row, int column) const
{
    if (row < 0 || row >= count() || column < 0 || column >= kColumnCount)
        return {};
    return columnText(m_entries[row], column);
}

bool FileListModel::containsPath(const QString& path) const
{
    return m_pathCount.contains(path);
}

int FileListModel::rowOfPath(const QString& path) const
{
    for (int row = 0; row < count(); ++row) {
        if (m_entries[row].path == path)
            return row;
    }
    return -1;
}

void FileListModel::addPath(const QString& path)
{
    ++m_pathCount[path];
}

void FileListModel::dropPath(const QString& path)
{
    const auto it = m_pathCount.find(path);
    if (it == m_pathCount.end())
        return;
    if (--it.value() <= 0)
        m_pathCount.erase(it);
}

void FileListModel::append(const FileEntry& entry)
{
    int row = count();
    if (!inBulkUpdate()) {
        // Columns other than the name may have changed since the last sort; only a sorted list
        // can take a binary search.
        if (!m_sorted)
            sort();
        int low = 0;
        int high = count();
        while (low < high) {
            const int mid = low + (high - low) / 2;
            if (compare(entry, m_entries[mid]) < 0)
                high = mid;
            else
                low = mid + 1;
        }
        row = low;
    }
    beginInsertRows({}, row, row);
    m_entries.insert(row, entry);
    addPath(entry.path);
    endInsertRows();
    if (inBulkUpdate())
        m_sortPending = true;
}

void FileListModel::setText(int row, int column, const QString& text)
{
    if (row < 0 || row >= count() || column < 0 || column >= kColumnCount)
        return;
    QString& current = columnText(m_entries[row], column);
    if (current == text)
        return;
    if (column == ColPath) {
        dropPath(current);
        addPath(text);
    }
    current = text;
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});

    if (column == ColName) {
        // Sorting a list that is in order by another column would leave it as it is.
        if (m_sorted && m_sortColumn != ColName)
            return;
        if (inBulkUpdate())
            m_sortPending = true;
        else
            sort();
    } else if (column == m_sortColumn) {
        m_sorted = false;
    }
}

void FileListModel::removeRowsAt(QList<int> rows)
{
    const int n = count();
    rows.erase(std::remove_if(rows.begin(), rows.end(), [n](int r) { return r < 0 || r >= n; }),
               rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty())
        return;

    // Contiguous ranges, and the number of entries that removing them one by one would move.
    struct Range
    {
        int first;
        int last;
    };
    std::vector<Range> ranges;
    for (const int r : rows) {
        if (!ranges.empty() && ranges.back().last + 1 == r)
            ranges.back().last = r;
        else
            ranges.push_back({r, r});
    }
    qint64 moves = 0;
    for (const Range& range : ranges)
        moves += n - 1 - range.last;

    for (const int r : rows)
        dropPath(m_entries[r].path);

    if (ranges.size() <= 64 && moves <= 4 * qint64(n)) {
        // From the bottom up, so that the rows of the ranges still to go stay valid; views keep
        // their selection and current entry.
        for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
            beginRemoveRows({}, it->first, it->last);
            m_entries.remove(it->first, it->last - it->first + 1);
            endRemoveRows();
        }
        return;
    }

    // Many scattered rows: one compacting pass instead of shifting the tail once per range.
    beginResetModel();
    int write = 0;
    int next = 0;
    for (int read = 0; read < n; ++read) {
        if (next < rows.size() && rows[next] == read) {
            ++next;
            continue;
        }
        if (write != read)
            m_entries[write] = std::move(m_entries[read]);
        ++write;
    }
    m_entries.resize(write);
    endResetModel();
}

void FileListModel::clear()
{
    beginResetModel();
    m_entries.clear();
    m_pathCount.clear();
    m_sortPending = false;
    m_sorted = true;
    endResetModel();
}

void FileListModel::beginBulkUpdate()
{
    ++m_bulkDepth;
}

void FileListModel::endBulkUpdate()
{
    if (m_bulkDepth == 0)
        return;
    if (--m_bulkDepth == 0 && m_sortPending)
        sort();
}

void FileListModel::setSortOrder(int column, bool descending)
{
    column = qBound(0, column, kColumnCount - 1);
    if (column == m_sortColumn && descending == m_descending)
        return;
    m_sortColumn = column;
    m_descending = descending;
    m_sorted = false;
}

void FileListModel::sort()
{
    m_sortPending = false;
    m_sorted = true;
    const int n = count();
    if (n < 2)
        return;

    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    const bool descending = m_descending;
    auto sortBy = [&](auto less) {
        if (descending)
            stableSortPausing(
                order, [&](int a, int b) { return less(b, a); }, m_sortPause);
        else
            stableSortPausing(order, less, m_sortPause);
    };

    if (m_sortColumn == ColSize) {
        std::vector<double> sizes(n);
        for (int i = 0; i < n; ++i)
            sizes[i] = SizeTextToNumber(m_entries[i].size);
        sortBy([&](int a, int b) { return sizes[a] < sizes[b]; });
    } else if (n >= kSortKeyThreshold) {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(n);
        for (int i = 0; i < n; ++i) {
            keys.push_back(m_collator.sortKey(columnText(m_entries[i], m_sortColumn)));
            if (m_sortPause && i % 4096 == 4095)
                m_sortPause();
        }
        sortBy([&](int a, int b) { return keys[a].compare(keys[b]) < 0; });
    } else {
        // compare() swaps the operands itself when descending.
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return compare(m_entries[a], m_entries[b]) < 0; });
    }

    bool unchanged = true;
    for (int i = 0; i < n && unchanged; ++i)
        unchanged = order[i] == i;
    if (unchanged)
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRow(n);
    for (int i = 0; i < n; ++i)
        newRow[order[i]] = i;
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to.append(this->index(newRow[index.row()], index.column()));

    QVector<FileEntry> sorted;
    sorted.reserve(n);
    for (const int i : order)
        sorted.append(std::move(m_entries[i]));
    m_entries = std::move(sorted);

    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int FileListModel::compare(const FileEntry& a, const FileEntry& b) const
{
    const FileEntry& first = m_descending ? b : a;
    const FileEntry& second = m_descending ? a : b;
    if (m_sortColumn == ColSize)
        return sign(SizeTextToNumber(first.size), SizeTextToNumber(second.size));
    return m_collator.compare(columnText(first, m_sortColumn), columnText(second, m_sortColumn));
}

void FileListModel::setHeaderTexts(const QStringList& captions)
{
    m_headers = captions;
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

} // namespace qv
