#include "rename/undo.h"

#include "text/pathbytes.h"
#include "text/textutil.h"

#include <QFile>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qv {

namespace {

bool isFile(const FileIdentity& found, const FileIdentity& file)
{
    return found.inode != 0 && found.device == file.device && found.inode == file.inode;
}

// A placeholder a run made for this step and left behind: removed where it is still ours.
bool clearPlaceholder(const JournalStep::Placeholder& placeholder, const FileIdentity& file)
{
#ifdef Q_OS_WIN
    Q_UNUSED(placeholder);
    Q_UNUSED(file);
    return false;
#else
    const QByteArray path = pathBytes(placeholder.path);
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return false;
    if (quint64(st.st_ino) == file.inode && quint64(st.st_dev) == file.device)
        return false;
    const bool empty = S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && st.st_size == 0);
    if (!empty)
        return false;
    if (placeholder.made) {
        if (quint64(st.st_dev) != placeholder.device || quint64(st.st_ino) != placeholder.inode)
            return false;
    } else {
        // Killed between making it and noting which it is: an empty entry made within moments of
        // the note is ours (FAT keeps times to two seconds).
        const qint64 modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        if (qAbs(modified - placeholder.reservedAt) > qint64(3) * 1000000000)
            return false;
    }
    return S_ISDIR(st.st_mode) ? ::rmdir(path.constData()) == 0 : ::unlink(path.constData()) == 0;
#endif
}

class UndoWitness : public RenameWitness
{
public:
    UndoWitness(RenameJournal& journal, bool recording) : m_journal(journal), m_recording(recording)
    {
    }
    // An undo that cannot note its own temporary names still undoes: it only cannot be
    // resumed from a kill in the middle of a change of letter case.
    bool passesThrough(const QByteArray& path) override
    {
        if (m_recording)
            m_journal.recordPassage(path);
        return true;
    }
    bool reserving(const QByteArray& path) override
    {
        if (m_recording)
            m_journal.recordReserving(path);
        return true;
    }
    bool reserved(const QByteArray& path, quint64 device, quint64 inode) override
    {
        if (m_recording)
            m_journal.recordReserved(path, device, inode);
        return true;
    }

private:
    RenameJournal& m_journal;
    bool m_recording;
};

UndoOutcome moveBack(DiskRenamer& renamer, const QString& from, const QString& to)
{
    if (renamer.rename(from, to))
        return UndoOutcome::Restored;
    return identityOf(to).inode != 0 ? UndoOutcome::Taken : UndoOutcome::Error;
}

UndoOutcome undoStep(const JournalStep& step, DiskRenamer& renamer, int* cleared)
{
    for (auto it = step.placeholders.crbegin(); it != step.placeholders.crend(); ++it)
        *cleared += clearPlaceholder(*it, step.file);
    const FileIdentity atTo = identityOf(step.move.to);
    // A file system that ignores case finds the file under the old spelling too, and would go
    // on finding it there after the file has left: the old name is not asked for.
    const bool caseOnly = differsOnlyInCase(pathBytes(step.move.from), pathBytes(step.move.to));
    if (caseOnly && isFile(atTo, step.file))
        return moveBack(renamer, step.move.to, step.move.from);
    const FileIdentity atFrom = caseOnly ? FileIdentity{} : identityOf(step.move.from);
    if (isFile(atTo, step.file) && isFile(atFrom, step.file)) {
        // Killed between link and unlink: the new name is our second link to the file.
#ifdef Q_OS_WIN
        const bool removed = QFile::remove(step.move.to);
#else
        const bool removed = ::unlink(pathBytes(step.move.to).constData()) == 0;
#endif
        return removed ? UndoOutcome::Restored : UndoOutcome::Error;
    }
    if (isFile(atTo, step.file))
        return moveBack(renamer, step.move.to, step.move.from);
    for (const QString& passage : step.passages) {
        if (isFile(identityOf(passage), step.file))
            return moveBack(renamer, passage, step.move.from);
    }
    if (caseOnly ? isFile(identityOf(step.move.from), step.file) : isFile(atFrom, step.file))
        return UndoOutcome::AlreadyBack;
    return atTo.inode != 0 ? UndoOutcome::Changed : UndoOutcome::Gone;
}

} // namespace

UndoResult undoJournal(RenameJournal& journal, DiskRenamer& renamer,
                       const std::function<void(int, int)>& progress)
{
    UndoResult result;
    if (!journal.takeLock()) {
        result.problem = journal.problem();
        return result;
    }
    const QVector<JournalStep> steps = journal.steps(&result.problem);
    if (result.problem != JournalProblem::None || steps.isEmpty()) {
        journal.end();
        return result;
    }
    const bool recording = journal.openForUndo(quint32(steps.size()));
    UndoWitness witness(journal, recording);
    renamer.setWitness(&witness);
    QVector<JournalStep> left;
    int cleared = 0;
    for (qsizetype i = steps.size() - 1; i >= 0; --i) {
        const JournalStep& step = steps[i];
        if (step.cancelled)
            continue;
        journal.setStep(quint32(i));
        UndoStep done{step.move, undoStep(step, renamer, &cleared), false};
        done.folder = done.outcome == UndoOutcome::Restored && identityOf(step.move.from).folder;
        // A step back to a name a circle only passed through is no file of its own to count.
        if (!isParkingName(fileNameIn(step.move.from))) {
            if (done.outcome == UndoOutcome::Restored)
                ++result.restored;
            else if (done.outcome != UndoOutcome::AlreadyBack)
                ++result.refused;
        }
        if (done.outcome == UndoOutcome::Taken || done.outcome == UndoOutcome::Error)
            left.prepend(step);
        result.steps.append(done);
        if (progress)
            progress(result.restored, result.refused);
    }
    renamer.setWitness(nullptr);
    renamer.release();
    result.cleared = cleared;
    journal.closeFile();
    if (left.isEmpty())
        journal.remove();
    else
        journal.rewrite(left);
    journal.end();
    return result;
}

} // namespace qv
