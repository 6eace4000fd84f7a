#include "rename/folderlisting.h"

#ifndef Q_OS_WIN
#include <dirent.h>
#endif

namespace qv {

namespace {

// Names are found by a hash of 62 bits alone: the listing keeps no names. Two names of one
// folder sharing a hash would give one of them the other's identity; undo would then leave that
// file alone as changed, never rename another.
constexpr quint64 folderBit = 2;

} // namespace

quint64 FolderListing::hashOf(QByteArrayView name)
{
    quint64 hash = 14695981039346656037ull;
    for (const char c : name)
        hash = (hash ^ quint8(c)) * 1099511628211ull;
    return (hash | 1) & ~folderBit;
}

FolderListing FolderListing::read(const QByteArray& folder, const QByteArray& probe)
{
    FolderListing listing;
#ifndef Q_OS_WIN
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return listing;
    while (const dirent* entry = ::readdir(dir))
        listing.add(QByteArrayView(entry->d_name), entry->d_type, quint64(entry->d_ino));
    ::closedir(dir);
    listing.seal(QByteArrayView(probe).sliced(folder.size()), identityOf(probe));
#else
    Q_UNUSED(folder);
    Q_UNUSED(probe);
#endif
    return listing;
}

void FolderListing::add(QByteArrayView name, unsigned char type, quint64 inode)
{
#ifndef Q_OS_WIN
    m_typesKnown = m_typesKnown && type != DT_UNKNOWN;
    // Gathered unsorted for now; seal() spreads them over the table.
    m_table.push_back({hashOf(name) | (type == DT_DIR ? folderBit : 0), inode});
#else
    Q_UNUSED(name);
    Q_UNUSED(type);
    Q_UNUSED(inode);
#endif
}

void FolderListing::seal(QByteArrayView probeName, const FileIdentity& probed)
{
    std::vector<Slot> found;
    found.swap(m_table);
    if (!m_typesKnown || probed.inode == 0)
        return;
    // Filled to four fifths at most: each name looked up is there, found after a few slots.
    size_t capacity = 16;
    while (capacity * 4 < found.size() * 5)
        capacity *= 2;
    m_table.assign(capacity, {});
    m_mask = capacity - 1;
    for (const Slot& slot : found) {
        for (size_t i = (slot.key & ~folderBit) & m_mask;; i = (i + 1) & m_mask) {
            if (m_table[i].key == 0) {
                m_table[i] = slot;
                break;
            }
        }
    }
    const std::optional<Slot> listed = slotOf(hashOf(probeName));
    m_usable = listed && listed->inode == probed.inode;
    m_device = probed.device;
    if (!m_usable)
        m_table = {};
}

void FolderListing::prefetch(quint64 hash) const
{
#if defined(__GNUC__)
    if (!m_table.empty())
        __builtin_prefetch(&m_table[hash & m_mask]);
#else
    Q_UNUSED(hash);
#endif
}

std::optional<FolderListing::Slot> FolderListing::slotOf(quint64 hash) const
{
    if (m_table.empty())
        return std::nullopt;
    for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
        if ((m_table[i].key & ~folderBit) == hash)
            return m_table[i];
        if (m_table[i].key == 0)
            return std::nullopt;
    }
}

std::optional<FileIdentity> FolderListing::find(quint64 hash) const
{
    const std::optional<Slot> slot = m_usable ? slotOf(hash) : std::nullopt;
    if (!slot)
        return std::nullopt;
    return FileIdentity{m_device, slot->inode, (slot->key & folderBit) != 0};
}

} // namespace qv
