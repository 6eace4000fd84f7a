#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <vector>

namespace qv {

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
    // Renames written ahead that will not be made.
    bool recordCancelled(const std::vector<quint32>& steps);
    // One of the recorded renames was made: the journal of the run before goes for good.
    void noteRenamed() { m_renamedAny = true; }
    // The step the records of passages and placeholders that follow belong to.
    void setStep(quint32 step) { m_step = step; }

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

    // For undo: the lock alone; the existing journal opened to append the records of an undo;
    // `steps` written as the whole journal, in place of what it holds.
    bool takeLock();
    bool openForUndo(quint32 steps);
    void closeFile();
    bool rewrite(const QVector<JournalStep>& steps);

private:
    bool takeOver();
    bool write(const QByteArray& record);
    bool fail(JournalProblem problem);

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

// What the system holds under a path now: nothing found is a zero inode.
FileIdentity identityOf(const QString& path);
FileIdentity identityOf(const QByteArray& path);

} // namespace qv
