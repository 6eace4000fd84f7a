#include "rename/journalingrenamer.h"

#include "rename/journalrecords.h"
#include "text/pathbytes.h"

#include <QFile>

#include <cerrno>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace qv {

void JournalingRenamer::expect(const QVector<QPair<QString, QString>>& renames)
{
    if (m_journal.failed())
        return;
    // Undo takes the records back last first, so a record written ahead may only serve
    // renames made in the order the records stand.
    m_expected.clear();
    m_next = 0;
    QByteArray records;
    records.reserve(renames.size() * 128);
    quint32 count = 0;
    const quint32 first = m_journal.stepCount();
    QByteArray folder;
    int inFolder = 0;
    for (const auto& [from, to] : renames) {
        const QByteArray source = pathBytes(from);
        const qsizetype folderSize = source.lastIndexOf('/') + 1;
        if (QByteArrayView(source.constData(), folderSize) == QByteArrayView(folder)) {
            ++inFolder;
        } else {
            folder = source.left(folderSize);
            inFolder = 1;
        }
        const FileIdentity file = identityIn(source, folder, inFolder >= 16);
        if (file.inode == 0)
            continue;
        appendMoveRecord(records, source, pathBytes(to), file);
        m_expected.push_back({from, to, first + count, file.folder});
        ++count;
    }
    if (count > 0 && !m_journal.recordMoves(records, count))
        m_expected.clear();
}

// A file's identity from its folder's listing where many of a folder's files are renamed: one
// read of the listing costs less than a look-up per file. The listing's inode numbers are the
// system's own only on some file systems; one look-up per folder tells. The listing stays true
// for the files still to be renamed: a rename into one of their names would have found the name
// free, so no listed file was there. Only a folder that moves changes what paths name.
FileIdentity JournalingRenamer::identityIn(const QByteArray& path, const QByteArray& folder,
                                           bool many)
{
#ifndef Q_OS_WIN
    auto known = m_listings.find(folder);
    if (known == m_listings.end() && many)
        known = m_listings.insert(folder, readListing(folder, path));
    if (known != m_listings.end() && known->usable) {
        const std::optional<Inode> entry = known->find(QByteArrayView(path).sliced(folder.size()));
        if (entry)
            return {known->device, entry->inode, entry->folder};
    }
#else
    Q_UNUSED(folder);
    Q_UNUSED(many);
#endif
    return identityOf(path);
}

namespace {

// Names are found by a hash of 62 bits alone: the listing keeps no names. Two names of one
// folder sharing a hash would give one of them the other's identity; undo would then leave that
// file alone as changed, never rename another.
constexpr quint64 folderBit = 2;

quint64 nameHash(QByteArrayView name)
{
    quint64 hash = 14695981039346656037ull;
    for (const char c : name)
        hash = (hash ^ quint8(c)) * 1099511628211ull;
    return (hash | 1) & ~folderBit;
}

} // namespace

std::optional<JournalingRenamer::Inode> JournalingRenamer::Listing::find(QByteArrayView name) const
{
    if (table.empty())
        return std::nullopt;
    const quint64 hash = nameHash(name);
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        if ((table[i].key & ~folderBit) == hash)
            return Inode{table[i].inode, (table[i].key & folderBit) != 0};
        if (table[i].key == 0)
            return std::nullopt;
    }
}

JournalingRenamer::Listing JournalingRenamer::readListing(const QByteArray& folder,
                                                          const QByteArray& probe)
{
    Listing listing;
#ifndef Q_OS_WIN
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return listing;
    std::vector<Listing::Slot> found;
    bool known = true;
    while (const dirent* entry = ::readdir(dir)) {
        known = known && entry->d_type != DT_UNKNOWN;
        found.push_back(
            {nameHash(QByteArrayView(entry->d_name)) | (entry->d_type == DT_DIR ? folderBit : 0),
             quint64(entry->d_ino)});
    }
    ::closedir(dir);
    if (!known)
        return {};
    // Filled to four fifths at most: each name looked up is there, found after a few slots.
    size_t capacity = 16;
    while (capacity * 4 < found.size() * 5)
        capacity *= 2;
    listing.table.assign(capacity, {});
    listing.mask = capacity - 1;
    for (const Listing::Slot& slot : found) {
        for (size_t i = (slot.key & ~folderBit) & listing.mask;; i = (i + 1) & listing.mask) {
            if (listing.table[i].key == 0) {
                listing.table[i] = slot;
                break;
            }
        }
    }
    struct stat st;
    const std::optional<Inode> probed = listing.find(QByteArrayView(probe).sliced(folder.size()));
    listing.usable =
        probed && ::lstat(probe.constData(), &st) == 0 && quint64(st.st_ino) == probed->inode;
    listing.device = quint64(st.st_dev);
    if (!listing.usable)
        listing.table.clear();
#else
    Q_UNUSED(folder);
    Q_UNUSED(probe);
#endif
    return listing;
}

bool JournalingRenamer::useExpected(const QString& from, const QString& to, bool* folder)
{
    // Renames that were expected but skipped (an entry that waits, or was refused) stay in the
    // journal as intents never carried out; undo finds those files under their old names.
    constexpr size_t lookAhead = 64;
    for (size_t i = m_next; i < m_expected.size() && i < m_next + lookAhead; ++i) {
        if (m_expected[i].from == from && m_expected[i].to == to) {
            m_journal.setStep(m_expected[i].step);
            *folder = m_expected[i].folder;
            m_next = i + 1;
            return true;
        }
    }
    return false;
}

bool JournalingRenamer::renameBack(const QString& from, const QString& to)
{
    // Once the journal failed, only steps back to names it already holds still pass.
    return m_journal.failed() ? m_renamer.rename(from, to) : rename(from, to);
}

bool JournalingRenamer::rename(const QString& from, const QString& to)
{
    if (m_journal.failed()) {
        errno = EIO;
        return false;
    }
    bool folder = false;
    if (!useExpected(from, to, &folder)) {
        // A record of its own comes after every record written ahead: none of those may serve
        // a later rename.
        m_expected.clear();
        m_next = 0;
        const FileIdentity file = identityOf(from);
        if (file.inode == 0) {
            errno = ENOENT;
            return false;
        }
        if (!m_journal.recordMove(from, to, file)) {
            errno = EIO;
            return false;
        }
        folder = file.folder;
    }
    // Paths inside a folder that moves name other things now: the listings start afresh, and
    // renames written ahead of it (coming after its record) will not be made as written. Undo
    // would meet them before the folder is back, where their paths name nothing.
    if (folder) {
        m_listings.clear();
        if (m_next < m_expected.size()) {
            std::vector<quint32> cancelled;
            for (size_t i = m_next; i < m_expected.size(); ++i)
                cancelled.push_back(m_expected[i].step);
            m_expected.clear();
            m_next = 0;
            if (!m_journal.recordCancelled(cancelled)) {
                errno = EIO;
                return false;
            }
        }
    }
    m_renamer.setWitness(this);
    const bool renamed = m_renamer.rename(from, to);
    m_renamer.setWitness(nullptr);
    if (renamed)
        m_journal.noteRenamed();
    return renamed;
}

bool JournalingRenamer::passesThrough(const QByteArray& path)
{
    return m_journal.recordPassage(path);
}

bool JournalingRenamer::reserving(const QByteArray& path)
{
    return m_journal.recordReserving(path);
}

bool JournalingRenamer::reserved(const QByteArray& path, quint64 device, quint64 inode)
{
    return m_journal.recordReserved(path, device, inode);
}

} // namespace qv
