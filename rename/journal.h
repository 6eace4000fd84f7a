#pragma once

#include "rename/diskrename.h"

#include <QByteArray>
#include <QHash>
#include <QPair>
#include <QString>
#include <QVector>

#include <functional>
#include <vector>

namespace qv {

class RunDisk;

// One rename of a run, as undo sees it.
struct JournalMove
{
    QString from;
    QString to;
};

// Which file a rename moved: the same device and inode under the new name mean the rename was
// made and nothing replaced the file since.
struct FileIdentity
{
    quint64 device = 0;
    quint64 inode = 0;
    bool folder = false;
};

// A rename the run meant to make, with what it met on its way.
struct JournalStep
{
    JournalMove move;
    FileIdentity file;
    // Temporary names the file passed through, for a change of letter case only.
    QStringList passages;
    struct Placeholder
    {
        QString path;
        // Written before the placeholder was made; its identity once it was.
        qint64 reservedAt = 0;
        bool made = false;
        quint64 device = 0;
        quint64 inode = 0;
    };
    QVector<Placeholder> placeholders;
    // Written ahead, then given up before it was tried.
    bool cancelled = false;
};

struct UndoResult;

// Why a journal could not be used.
enum class JournalProblem : quint8
{
    None,
    // The data folder or the file cannot be written: a run would not be undoable.
    NotWritable,
    // Another run or undo holds the journal.
    Busy,
    // Not a regular file, larger than any run writes, or records that no run writes.
    Damaged,
};

// The renames of the last run, kept in a file so that they can be undone, also after a restart
// or after the run was killed at any moment. Each rename is written before it is made
// (write-ahead), with the identity of the file it moves, so undo tells a rename that was made
// from one that was not by what lies under each name, and never touches a file the run did not
// move. One run or undo at a time holds the journal's lock.
class RenameJournal
{
public:
    // The journal in the user's data folder.
    static QString defaultPath();

    explicit RenameJournal(QString fileName = defaultPath());
    ~RenameJournal();
    RenameJournal(const RenameJournal&) = delete;
    RenameJournal& operator=(const RenameJournal&) = delete;

    // Takes the lock and makes sure a journal can be written, before the first rename. The
    // journal of the run before stays until this run records its first rename.
    bool begin();
    // Releases the lock; the journal of the run before stays when nothing was recorded.
    void end();

    // Write-ahead: false when the record could not be written, and from then on.
    bool recordMove(const QString& from, const QString& to, const FileIdentity& file);
    // Several renames about to be made, in one write: `count` move records.
    bool recordMoves(const QByteArray& records, quint32 count);
    quint32 stepCount() const { return m_steps; }
    bool recordPassage(const QByteArray& path);
    bool recordReserving(const QByteArray& path);
    bool recordReserved(const QByteArray& path, quint64 device, quint64 inode);

    bool failed() const { return m_failed; }
    JournalProblem problem() const { return m_problem; }
    // The system's words for what failed, e.g. "No space left on device".
    const QString& reason() const { return m_reason; }

    // The steps in the file, in the order they were recorded. A record cut short by a run
    // that was killed while writing it, and anything after it, is left out.
    QVector<JournalStep> steps(JournalProblem* problem = nullptr) const;
    QVector<JournalMove> moves() const;
    bool isEmpty() const;
    void remove();

    const QString& fileName() const { return m_fileName; }

private:
    friend UndoResult undoJournal(RenameJournal&, DiskRenamer&,
                                  const std::function<void(int, int)>&);
    bool takeLock();
    bool takeOver();
    void closeFile();
    bool write(const QByteArray& record);
    bool fail(JournalProblem problem);
    // Opens the existing journal to append the records of an undo to it.
    bool openForUndo(quint32 steps);
    // Writes `steps` as the whole journal, in place of what it holds.
    bool rewrite(const QVector<JournalStep>& steps);
    void setStep(quint32 step) { m_step = step; }
    friend class JournalingRenamer;

    QString m_fileName;
    int m_lockFd = -1;
    int m_fd = -1;
    // The new journal is written beside the old one and takes its place with the first record.
    bool m_replaced = false;
    // Whether a rename recorded here was made; a run that made none leaves the journal of the
    // run before as it was.
    bool m_renamedAny = false;
    bool m_failed = false;
    JournalProblem m_problem = JournalProblem::None;
    QString m_reason;
    // The step the records of passages and placeholders belong to.
    quint32 m_step = 0;
    quint32 m_steps = 0;
    qint64 m_goodSize = 0;
};

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
            quint64 hash = 0;
            Inode inode;
        };
        std::vector<Slot> table;
        size_t mask = 0;
        quint64 device = 0;
        bool usable = false;
        const Inode* find(QByteArrayView name) const;
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

// What the system holds under a path now: nothing found is a zero inode.
FileIdentity identityOf(const QString& path);

// What undoing one rename of the journal did.
enum class UndoOutcome : quint8
{
    Restored,
    // The file is under its old name already: the run never made this rename, or an undo
    // before took it back.
    AlreadyBack,
    // Nothing is under the new name any more: left alone.
    Gone,
    // Something took the old name since: left alone.
    Taken,
    // Another file is under the new name now (saved there after the run): left alone.
    Changed,
    Error
};

struct UndoStep
{
    JournalMove move;
    UndoOutcome outcome = UndoOutcome::Error;
    // A folder went back, and whatever lies inside it with it.
    bool folder = false;
};

struct UndoResult
{
    // In the order they were undone, the last rename first.
    QVector<UndoStep> steps;
    JournalProblem problem = JournalProblem::None;
    // Files renamed back, and files that could not be, not counting the temporary names a
    // circle passed through.
    int restored = 0;
    int refused = 0;
    // Placeholders a killed run left, removed.
    int cleared = 0;
};

// Renames the journal's renames back, the last first, never replacing anything, each only
// where the file under the new name is the one the run moved. Placeholders and temporary names
// a killed run left are cleared up. The steps that could not be taken back stay in the journal
// for another try; once none is left, the journal is removed.
UndoResult undoJournal(RenameJournal& journal, DiskRenamer& renamer,
                       const std::function<void(int restored, int refused)>& progress = {});

} // namespace qv
