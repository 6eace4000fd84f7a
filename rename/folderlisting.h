#pragma once

#include "rename/journal.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHashFunctions>

#include <optional>
#include <unordered_map>
#include <vector>

namespace qv {

// A folder's names with the identities of their files, as the folder listed them once, found
// by the names' hashes. Where many of a folder's files are renamed, one read of the listing
// costs less than a look-up per file. The listing's inode numbers are the system's own only on
// some file systems: one look-up tells (see seal).
class FolderListing
{
public:
    // Reads the folder (a path ending in a separator); `probe` is a path in it to check with.
    static FolderListing read(const QByteArray& folder, const QByteArray& probe);

    // A name as the folder lists it: its type (a dirent's d_type) and inode number.
    void add(QByteArrayView name, unsigned char type, quint64 inode);
    // Every name is added: the listing is usable where each name's type was listed and the
    // listed inode of `probeName` is the one the system gives, `probed`.
    void seal(QByteArrayView probeName, const FileIdentity& probed);

    bool usable() const { return m_usable; }
    // Names are found by their hashes. A run looks up a block of names at once: each slot is
    // asked into the cache first (prefetch), so that the look-ups wait for memory together
    // instead of one after the other.
    static quint64 hashOf(QByteArrayView name);
    void prefetch(quint64 hash) const;
    // The identity of the file listed under the name of that hash, if it was listed.
    std::optional<FileIdentity> find(quint64 hash) const;

private:
    struct Slot
    {
        // The name's hash, with the bit worth 2 telling a folder; 0 for a free slot.
        quint64 key = 0;
        quint64 inode = 0;
    };
    std::optional<Slot> slotOf(quint64 hash) const;

    std::vector<Slot> m_table;
    size_t m_mask = 0;
    quint64 m_device = 0;
    bool m_typesKnown = true;
    bool m_usable = false;
};

// Listings by their folders' paths (ending in a separator). A listing stays where it is while
// others are added.
using FolderListings = std::unordered_map<QByteArray, FolderListing>;

} // namespace qv
