#include "rename/journalingrenamer.h"

#include "rename/journalrecords.h"
#include "text/pathbytes.h"

#include <cerrno>

namespace qv {

void JournalingRenamer::expect(const QVector<QPair<QString, QString>>& renames)
{
    if (m_journal.failed())
        return;
    // Undo takes the records back last first, so a record written ahead may only serve
    // renames made in the order the records stand.
    m_expected.clear();
    m_next = 0;
    // First the sources' bytes, side by side in one buffer, with each listing slot asked into
    // the cache (see FolderListing); then the records.
    m_sourceBytes.clear();
    m_sources.clear();
    QByteArray& path = m_pathBytes;
    QByteArray folder;
    int inFolder = 0;
    const FolderListing* listing = nullptr;
    for (const auto& [from, to] : renames) {
        if (!pathToBytes(from, &path))
            path.clear();
        const qsizetype folderSize = path.lastIndexOf('/') + 1;
        if (QByteArrayView(path).first(folderSize) == QByteArrayView(folder)) {
            ++inFolder;
        } else {
            folder = path.left(folderSize);
            inFolder = 1;
            listing = nullptr;
        }
        if (!listing)
            listing = listingOf(folder, path, inFolder >= 16);
        const quint64 hash =
            listing ? FolderListing::hashOf(QByteArrayView(path).sliced(folderSize)) : 0;
        if (listing)
            listing->prefetch(hash);
        m_sources.push_back({m_sourceBytes.size(), path.size(), hash, listing});
        m_sourceBytes += path;
    }

    QByteArray records;
    records.reserve(renames.size() * 128);
    quint32 count = 0;
    const quint32 first = m_journal.stepCount();
    for (qsizetype i = 0; i < renames.size(); ++i) {
        const Source& source = m_sources[size_t(i)];
        const QByteArrayView bytes(m_sourceBytes.constData() + source.start, source.size);
        std::optional<FileIdentity> listed;
        if (source.listing)
            listed = source.listing->find(source.hash);
        const FileIdentity file = listed ? *listed : identityOf(bytes.toByteArray());
        if (file.inode == 0)
            continue;
        const auto& [from, to] = renames[i];
        if (!pathToBytes(to, &path))
            path.clear();
        appendMoveRecord(records, bytes, path, file);
        m_expected.push_back({from, to, first + count, file.folder});
        ++count;
    }
    if (count > 0 && !m_journal.recordMoves(records, count))
        m_expected.clear();
}

// The listing of the folder where many of its files are renamed, or where it was read already.
// The listing stays true for the files still to be renamed: a rename into one of their names
// would have found the name free, so no listed file was there. Only a folder that moves changes
// what paths name.
const FolderListing* JournalingRenamer::listingOf(const QByteArray& folder, const QByteArray& path,
                                                  bool many)
{
    auto known = m_listings.find(folder);
    if (known == m_listings.end() && many)
        known = m_listings.emplace(folder, FolderListing::read(folder, path)).first;
    return known != m_listings.end() && known->second.usable() ? &known->second : nullptr;
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
