#pragma once

#include "rename/diskrename.h"
#include "rename/journal.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QPair>
#include <QString>
#include <QVector>

#include <optional>
#include <vector>

namespace qv {

// Renames through another renamer and writes every rename into the journal before it is made,
// together with every temporary name and placeholder on its way. Once the journal could not
// be written, it renames nothing more: only a circle's steps being taken back still pass, since
// they bring files back to names the journal already holds.
class JournalingRenamer : public DiskRenamer, private RenameWitness
{
public:
    JournalingRenamer(DiskRenamer& renamer, RenameJournal& journal)
        : m_renamer(renamer), m_journal(journal)
    {
    }
    bool rename(const QString& from, const QString& to) override;
    bool renameBack(const QString& from, const QString& to) override;
    // Writes the renames the run is about to make in one go; each is then made without a
    // write of its own. A rename the run makes otherwise is written on its own.
    void expect(const QVector<QPair<QString, QString>>& renames) override;
    void release() override { m_renamer.release(); }

private:
    struct Expected
    {
        QString from;
        QString to;
        quint32 step;
        bool folder;
    };
    struct Inode
    {
        quint64 inode = 0;
        bool folder = false;
    };
    // A folder's names with their inodes, as read once, found by the names' hashes.
    struct Listing
    {
        struct Slot
        {
            // The name's hash, with the bit worth 2 telling a folder; 0 for a free slot.
            quint64 key = 0;
            quint64 inode = 0;
        };
        std::vector<Slot> table;
        size_t mask = 0;
        quint64 device = 0;
        bool usable = false;
        std::optional<Inode> find(QByteArrayView name) const;
    };
    bool useExpected(const QString& from, const QString& to, bool* folder);
    FileIdentity identityIn(const QByteArray& path, const QByteArray& folder, bool many);
    static Listing readListing(const QByteArray& folder, const QByteArray& probe);
    bool passesThrough(const QByteArray& path) override;
    bool reserving(const QByteArray& path) override;
    bool reserved(const QByteArray& path, quint64 device, quint64 inode) override;

    DiskRenamer& m_renamer;
    RenameJournal& m_journal;
    std::vector<Expected> m_expected;
    size_t m_next = 0;
    QHash<QByteArray, Listing> m_listings;
};

} // namespace qv
