#pragma once

#include "rename/diskrename.h"

#include <QFile>
#include <QString>
#include <QVector>

#include <functional>

namespace qv {

class RunDisk;

// One rename made on disk.
struct JournalMove
{
    QString from;
    QString to;
};

// The renames of the last run that renamed anything, kept in a file so that they can be undone,
// also after a restart or after the run was killed half-way: each rename is appended and handed
// to the system as soon as it has succeeded. The first rename of a run replaces the journal of
// the run before.
class RenameJournal
{
public:
    // The journal in the user's data folder.
    static QString defaultPath();

    explicit RenameJournal(QString fileName = defaultPath());

    // Appends a rename; the first one of this object starts the file afresh. False when the
    // journal could not be written (the rename itself stays done).
    bool record(const QString& from, const QString& to);

    // The renames in the file, in the order they were made. A record cut short by a run that was
    // killed while writing it is left out.
    QVector<JournalMove> moves() const;
    bool isEmpty() const { return moves().isEmpty(); }
    void remove();

    const QString& fileName() const { return m_fileName; }

private:
    QString m_fileName;
    QFile m_file;
};

// Renames through another renamer and notes every rename that succeeded in a journal.
class JournalingRenamer : public DiskRenamer
{
public:
    JournalingRenamer(DiskRenamer& renamer, RenameJournal& journal)
        : m_renamer(renamer), m_journal(journal)
    {
    }
    bool rename(const QString& from, const QString& to) override;

private:
    DiskRenamer& m_renamer;
    RenameJournal& m_journal;
};

// What undoing one rename of the journal did.
enum class UndoOutcome : quint8
{
    Restored,
    // Nothing is under the new name any more: left alone.
    Gone,
    // Something took the old name since: left alone.
    Taken,
    Error
};

struct UndoStep
{
    JournalMove move;
    UndoOutcome outcome = UndoOutcome::Error;
    // A folder went back, and whatever lies inside it with it.
    bool folder = false;
};

// Renames the journal's renames back, the last first, never replacing anything. The steps come
// back in the order they were undone.
QVector<UndoStep> undoMoves(const QVector<JournalMove>& moves, RunDisk& disk,
                            const std::function<void(int restored, int refused)>& progress = {});

} // namespace qv
