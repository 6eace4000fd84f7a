#include "filelist/filelistmodel.h"

#include "filelist/sizetext.h"
#include "rename/renamerun.h"
#include "text/pathbytes.h"

#include <QLocale>

#include <algorithm>
#include <numeric>
#include <vector>

namespace qv {

namespace {

constexpr int kColumnCount = 5;
// Pieces of a long sort between two pauses.
constexpr std::size_t kSortChunk = 8192;

// A stable sort in chunks merged pairwise, pausing between the pieces of work; the merges pause
// every chunk too, so that the last ones over a million entries do not hold the window still.
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
    std::vector<int> merged(n);
    for (std::size_t width = kSortChunk; width < n; width *= 2) {
        std::size_t out = 0;
        std::size_t sincePause = 0;
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            std::size_t left = lo;
            const std::size_t leftEnd = std::min(lo + width, n);
            std::size_t right = leftEnd;
            const std::size_t rightEnd = std::min(lo + 2 * width, n);
            while (left < leftEnd || right < rightEnd) {
                // Equal entries keep their order: the left one goes first.
                if (right == rightEnd || (left < leftEnd && !less(order[right], order[left])))
                    merged[out++] = order[left++];
                else
                    merged[out++] = order[right++];
                if (++sincePause == kSortChunk) {
                    sincePause = 0;
                    pause();
                }
            }
        }
        order.swap(merged);
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

constexpr quint8 columnBit(int column)
{
    return quint8(1u << column);
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
    return parent.isValid() ? 0 : m_announced;
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

FileListModel::~FileListModel() = default;

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count() || index.column() >= kColumnCount)
        return {};
    if (role == Qt::DisplayRole) {
        // The path stays the entry's exact name for the program; the user sees it readable.
        const QString text = shown(m_items[index.row()], index.column());
        return index.column() == ColPath ? shownText(text) : text;
    }
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
    // A header click on another column sorts it ascending, whatever the direction was.
    if (role == Qt::InitialSortOrderRole)
        return int(Qt::AscendingOrder);
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

QString FileListModel::formed(const Item& item, int column) const
{
    switch (column) {
    case ColName:
        return item.folder ? folderEntryName(item.path) : fileEntryName(item.path);
    case ColType:
        return item.folder ? QStringLiteral("DIR") : fileEntryType(item.path);
    case ColSize:
        return item.folder ? QString() : SizeText(item.size);
    case ColStatus:
        return item.status;
    default:
        return item.path;
    }
}

QString FileListModel::shown(const Item& item, int column) const
{
    if (column == ColName || column == ColType || column == ColSize) {
        const GivenTexts* given = item.given.get();
        if (given && (given->columns & columnBit(column)))
            return column == ColName ? given->name : column == ColType ? given->type : given->size;
    }
    return formed(item, column);
}

void FileListModel::give(Item& item, int column, const QString& text)
{
    if (text == formed(item, column)) {
        if (item.given) {
            item.given->columns &= quint8(~columnBit(column));
            if (item.given->columns == 0)
                item.given.reset();
        }
        return;
    }
    if (!item.given)
        item.given = std::make_unique<GivenTexts>();
    item.given->columns |= columnBit(column);
    (column == ColName   ? item.given->name
     : column == ColType ? item.given->type
                         : item.given->size) = text;
}

FileEntry FileListModel::entry(int row) const
{
    if (row < 0 || row >= count())
        return {};
    const Item& item = m_items[row];
    return {shown(item, ColName), shown(item, ColType), shown(item, ColSize), item.status,
            item.path};
}

QString FileListModel::text(int row, int column) const
{
    if (row < 0 || row >= count() || column < 0 || column >= kColumnCount)
        return {};
    return shown(m_items[row], column);
}

bool FileListModel::containsPath(const QString& path) const
{
    if (walksInstead())
        return rowOfPath(path) >= 0;
    countPaths();
    return m_pathCount.contains(path);
}

bool FileListModel::walksInstead() const
{
    return !m_pathsCounted && ++m_uncountedTests <= 8;
}

void FileListModel::countPaths() const
{
    if (m_pathsCounted)
        return;
    m_pathCount.clear();
    m_pathCount.reserve(qsizetype(m_items.capacity()));
    for (const Item& item : m_items)
        ++m_pathCount[item.path];
    m_pathsCounted = true;
}

int FileListModel::rowOfPath(const QString& path) const
{
    for (int row = 0; row < count(); ++row) {
        if (m_items[row].path == path)
            return row;
    }
    return -1;
}

void FileListModel::addPath(const QString& path)
{
    if (m_pathsCounted)
        ++m_pathCount[path];
}

void FileListModel::dropPath(const QString& path)
{
    if (!m_pathsCounted)
        return;
    const auto it = m_pathCount.find(path);
    if (it == m_pathCount.end())
        return;
    if (--it.value() <= 0)
        m_pathCount.erase(it);
}

void FileListModel::announceRows()
{
    if (m_announced == count())
        return;
    beginInsertRows({}, m_announced, count() - 1);
    m_announced = count();
    endInsertRows();
}

void FileListModel::insertItem(Item&& item)
{
    if (inBulkUpdate()) {
        // Views learn of the new rows when the bulk update ends, all at once: one notice per row
        // cost a folder load more than the rows themselves.
        m_items.push_back(std::move(item));
        m_sortPending = true;
        return;
    }
    // Columns other than the name may have changed since the last sort; only a sorted list can
    // take a binary search.
    if (!m_sorted)
        sort();
    int row = 0;
    int high = count();
    while (row < high) {
        const int mid = row + (high - row) / 2;
        if (compareItems(item, m_items[mid]) < 0)
            high = mid;
        else
            row = mid + 1;
    }
    beginInsertRows({}, row, row);
    m_items.insert(m_items.begin() + row, std::move(item));
    m_announced = count();
    endInsertRows();
}

void FileListModel::append(const FileEntry& entry)
{
    Item item;
    item.path = entry.path;
    item.status = entry.status;
    item.folder = entry.type == QLatin1String("DIR");
    give(item, ColName, entry.name);
    give(item, ColType, entry.type);
    give(item, ColSize, entry.size);
    addPath(item.path);
    insertItem(std::move(item));
}

bool FileListModel::appendFile(const QString& path, qint64 size, const QString& status)
{
    return appendNew(path, status, size, false);
}

bool FileListModel::appendFolder(const QString& path, const QString& status)
{
    return appendNew(path, status, 0, true);
}

void FileListModel::appendScannedFile(const QString& path, qint64 size, const QString& status)
{
    if (m_items.empty()) {
        m_pathsCounted = false;
        m_uncountedTests = 0;
        m_pathCount.clear();
    }
    Item item;
    item.path = path;
    item.status = status;
    item.size = size;
    addPath(path);
    insertItem(std::move(item));
}

bool FileListModel::appendNew(const QString& path, const QString& status, qint64 size, bool folder)
{
    if (walksInstead()) {
        if (rowOfPath(path) >= 0)
            return false;
    } else {
        countPaths();
        // One hash look-up for the test and the insertion: an addition is mostly this.
        int& listed = m_pathCount[path];
        if (listed > 0)
            return false;
        listed = 1;
    }
    Item item;
    item.path = path;
    item.status = status;
    item.size = size;
    item.folder = folder;
    insertItem(std::move(item));
    return true;
}

void FileListModel::setText(int row, int column, const QString& text)
{
    if (row < 0 || row >= count() || column < 0 || column >= kColumnCount)
        return;
    Item& item = m_items[row];
    if (shown(item, column) == text)
        return;
    if (column == ColPath) {
        // The other columns keep their texts, though they were formed from the old path.
        const QString name = shown(item, ColName);
        const QString type = shown(item, ColType);
        dropPath(item.path);
        addPath(text);
        item.path = text;
        give(item, ColName, name);
        give(item, ColType, type);
    } else if (column == ColStatus) {
        item.status = text;
    } else {
        give(item, column, text);
        if (column == ColName)
            item.nameKey.reset();
    }
    if (row < m_announced) {
        const QModelIndex cell = index(row, column);
        emit dataChanged(cell, cell, {Qt::DisplayRole});
    }

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
    announceRows();
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
        dropPath(m_items[r].path);

    if (ranges.size() <= 64 && moves <= 4 * qint64(n)) {
        // From the bottom up, so that the rows of the ranges still to go stay valid; views keep
        // their selection and current entry.
        for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
            beginRemoveRows({}, it->first, it->last);
            m_items.erase(m_items.begin() + it->first, m_items.begin() + it->last + 1);
            m_announced = count();
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
            m_items[write] = std::move(m_items[read]);
        ++write;
    }
    m_items.resize(write);
    m_announced = count();
    endResetModel();
}

void FileListModel::clear()
{
    beginResetModel();
    // Gives the memory back: shrink_to_fit() keeps it for items whose move may throw.
    std::vector<Item>().swap(m_items);
    m_announced = 0;
    m_pathCount.clear();
    m_pathsCounted = true;
    m_sortPending = false;
    m_sorted = true;
    endResetModel();
}

void FileListModel::reserve(int entries)
{
    // Adding many small folders one after the other must still grow the list geometrically.
    if (size_t(entries) <= m_items.capacity())
        return;
    const size_t capacity = std::max(size_t(entries), m_items.capacity() + m_items.capacity() / 2);
    m_items.reserve(capacity);
    if (m_pathsCounted)
        m_pathCount.reserve(qsizetype(capacity));
}

void FileListModel::beginBulkUpdate()
{
    ++m_bulkDepth;
}

void FileListModel::endBulkUpdate()
{
    if (m_bulkDepth == 0)
        return;
    // A nested update ends with its rows known, as a folder loaded inside a drop selects one.
    announceRows();
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

void FileListModel::sort(int column, Qt::SortOrder order)
{
    setSortOrder(column, order == Qt::DescendingOrder);
    sort();
}

QStringView FileListModel::nameIn(const Item& item) const
{
    if (item.given && (item.given->columns & columnBit(ColName)))
        return item.given->name;
    return item.folder ? folderEntryNameIn(item.path) : fileEntryNameIn(item.path);
}

const AsciiCollation& FileListModel::ascii() const
{
    if (!m_ascii)
        m_ascii.emplace(m_collator);
    return *m_ascii;
}

int FileListModel::compareNames(const Item& a, const Item& b) const
{
    const QStringView nameA = nameIn(a);
    const QStringView nameB = nameIn(b);
    if (!numbersByValue() && ascii().usable() && AsciiCollation::covers(nameA) &&
        AsciiCollation::covers(nameB))
        return ascii().compare(nameA, nameB);
    return nameKey(a).compare(nameKey(b));
}

template <typename SortBy> bool FileListModel::sortAsciiNames(SortBy sortBy)
{
    if (numbersByValue())
        return false;
    const AsciiCollation& table = ascii();
    if (!table.usable())
        return false;
    const int n = count();
    std::vector<QStringView> names(n);
    std::vector<quint64> prefixes(n);
    for (int i = 0; i < n; ++i) {
        names[i] = nameIn(m_items[i]);
        if (!AsciiCollation::covers(names[i]))
            return false;
        prefixes[i] = table.prefix(names[i]);
    }
    sortBy([&](int a, int b) {
        if (prefixes[a] != prefixes[b])
            return prefixes[a] < prefixes[b];
        return table.compareAfterPrefix(names[a], names[b]) < 0;
    });
    return true;
}

const QCollatorSortKey& FileListModel::nameKey(const Item& item) const
{
    if (!item.nameKey)
        item.nameKey = m_collator.sortKey(shown(item, ColName));
    return *item.nameKey;
}

double FileListModel::sizeNumber(const Item& item) const
{
    if (item.given && (item.given->columns & columnBit(ColSize)))
        return SizeTextToNumber(item.given->size);
    return item.folder ? 0.0 : SizeNumber(item.size);
}

void FileListModel::sort()
{
    announceRows();
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
    const auto pauseNowAndThen = [this](int i) {
        if (m_sortPause && i % 4096 == 4095)
            m_sortPause();
    };

    if (m_sortColumn == ColSize) {
        std::vector<double> sizes(n);
        for (int i = 0; i < n; ++i)
            sizes[i] = sizeNumber(m_items[i]);
        sortBy([&](int a, int b) { return sizes[a] < sizes[b]; });
    } else if (m_sortColumn == ColName) {
        if (!sortAsciiNames(sortBy)) {
            for (int i = 0; i < n; ++i) {
                if (!m_items[i].nameKey) {
                    nameKey(m_items[i]);
                    pauseNowAndThen(i);
                }
            }
            sortBy(
                [&](int a, int b) { return m_items[a].nameKey->compare(*m_items[b].nameKey) < 0; });
        }
    } else if (m_sortColumn == ColPath) {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(n);
        for (int i = 0; i < n; ++i) {
            keys.push_back(m_collator.sortKey(m_items[i].path));
            pauseNowAndThen(i);
        }
        sortBy([&](int a, int b) { return keys[a].compare(keys[b]) < 0; });
    } else {
        // Types and statuses repeat: each distinct text is ranked once, and the entries compare
        // by rank; texts the collation finds equal share one.
        QHash<QString, int> distinctIndex;
        QStringList distinct;
        std::vector<int> ranks(n);
        for (int i = 0; i < n; ++i) {
            const QString text = shown(m_items[i], m_sortColumn);
            auto it = distinctIndex.constFind(text);
            if (it == distinctIndex.constEnd()) {
                it = distinctIndex.insert(text, int(distinct.size()));
                distinct.append(text);
            }
            ranks[i] = it.value();
        }
        std::vector<QCollatorSortKey> keys;
        keys.reserve(distinct.size());
        for (const QString& text : std::as_const(distinct))
            keys.push_back(m_collator.sortKey(text));
        std::vector<int> byKey(distinct.size());
        std::iota(byKey.begin(), byKey.end(), 0);
        std::sort(byKey.begin(), byKey.end(),
                  [&](int a, int b) { return keys[a].compare(keys[b]) < 0; });
        std::vector<int> rankOf(distinct.size());
        int rank = 0;
        for (std::size_t i = 0; i < byKey.size(); ++i) {
            if (i > 0 && keys[byKey[i - 1]].compare(keys[byKey[i]]) != 0)
                ++rank;
            rankOf[byKey[i]] = rank;
        }
        for (int& r : ranks)
            r = rankOf[r];
        sortBy([&](int a, int b) { return ranks[a] < ranks[b]; });
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

    // The items move round the cycles of the order in place: a second list of them would double
    // the memory of a long list at its peak.
    for (int start = 0; start < n; ++start) {
        if (order[start] == start)
            continue;
        Item held = std::move(m_items[start]);
        int at = start;
        while (order[at] != start) {
            const int source = order[at];
            m_items[at] = std::move(m_items[source]);
            order[at] = at;
            at = source;
        }
        m_items[at] = std::move(held);
        order[at] = at;
    }

    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int FileListModel::compareItems(const Item& a, const Item& b) const
{
    const Item& first = m_descending ? b : a;
    const Item& second = m_descending ? a : b;
    switch (m_sortColumn) {
    case ColName:
        return compareNames(first, second);
    case ColSize:
        return sign(sizeNumber(first), sizeNumber(second));
    default:
        return m_collator.compare(shown(first, m_sortColumn), shown(second, m_sortColumn));
    }
}

int FileListModel::compareRows(int a, int b) const
{
    return compareItems(m_items[a], m_items[b]);
}

void FileListModel::setNumbersByValue(bool byValue)
{
    if (byValue == numbersByValue())
        return;
    // The ASCII table is kept: it serves only while numbers compare as characters, and that
    // order does not change.
    m_collator.setNumericMode(byValue);
    for (const Item& item : m_items)
        item.nameKey.reset();
    if (inBulkUpdate()) {
        m_sortPending = true;
        m_sorted = false;
    } else {
        sort();
    }
}

void FileListModel::setHeaderTexts(const QStringList& captions)
{
    m_headers = captions;
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

QVector<RunEntry> runEntriesOf(const FileListModel& list)
{
    QVector<RunEntry> entries;
    entries.reserve(list.count());
    for (int row = 0; row < list.count(); ++row)
        entries.append({list.path(row), list.isFolder(row)});
    return entries;
}

} // namespace qv
