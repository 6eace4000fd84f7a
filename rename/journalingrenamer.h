#pragma once

#include "rename/diskrename.h"
#include "rename/folderlisting.h"
#include "rename/journal.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QPair>
#include <QString>
#include <QVector>

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
    // Listings of the folders read just before the run (by the scan that found its entries),
    // so that the files' identities need no second read of each folder.
    void useListings(FolderListings listings) { m_listings = std::move(listings); }

private:
    struct Expected
    {
        QString from;
        QString to;
        quint32 step;
        bool folder;
    };
    bool useExpected(const QString& from, const QString& to, bool* folder);
    const FolderListing* listingOf(const QByteArray& folder, const QByteArray& path, bool many);
    bool passesThrough(const QByteArray& path) override;
    bool reserving(const QByteArray& path) override;
    bool reserved(const QByteArray& path, quint64 device, quint64 inode) override;

    DiskRenamer& m_renamer;
    RenameJournal& m_journal;
    std::vector<Expected> m_expected;
    size_t m_next = 0;
    FolderListings m_listings;
    // What expect() announces, kept from block to block: the sources' bytes and where each lies.
    struct Source
    {
        qsizetype start;
        qsizetype size;
        quint64 hash;
        const FolderListing* listing;
    };
    QByteArray m_sourceBytes;
    std::vector<Source> m_sources;
    QByteArray m_pathBytes;
};

} // namespace qv
