#include "rename/journal.h"

#include "rename/rundisk.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qv {

namespace {

// A record is the two paths as bytes, each closed by NUL, which no path can hold.
const QByteArray header = QByteArrayLiteral("quorvel journal 1\n");

} // namespace

QString RenameJournal::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/last-run.journal");
}

RenameJournal::RenameJournal(QString fileName) : m_fileName(std::move(fileName)) {}

bool RenameJournal::record(const QString& from, const QString& to)
{
    if (!m_file.isOpen()) {
        QDir().mkpath(QFileInfo(m_fileName).absolutePath());
        m_file.setFileName(m_fileName);
        // Unbuffered: every record reaches the system at once, so a run killed right after a
        // rename still has it in the journal.
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            return false;
        if (m_file.write(header) != header.size())
            return false;
    }
    const QByteArray record = QFile::encodeName(from) + '\0' + QFile::encodeName(to) + '\0';
    return m_file.write(record) == record.size();
}

QVector<JournalMove> RenameJournal::moves() const
{
    QVector<JournalMove> moves;
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly))
        return moves;
    const QByteArray content = file.readAll();
    if (!content.startsWith(header))
        return moves;
    qsizetype pos = header.size();
    while (true) {
        const qsizetype fromEnd = content.indexOf('\0', pos);
        const qsizetype toEnd = fromEnd < 0 ? -1 : content.indexOf('\0', fromEnd + 1);
        if (toEnd < 0)
            break;
        moves.append({QFile::decodeName(content.mid(pos, fromEnd - pos)),
                      QFile::decodeName(content.mid(fromEnd + 1, toEnd - fromEnd - 1))});
        pos = toEnd + 1;
    }
    return moves;
}

void RenameJournal::remove()
{
    m_file.close();
    QFile::remove(m_fileName);
}

bool JournalingRenamer::rename(const QString& from, const QString& to)
{
    if (!m_renamer.rename(from, to))
        return false;
    m_journal.record(from, to);
    return true;
}

QVector<UndoStep> undoMoves(const QVector<JournalMove>& moves, RunDisk& disk,
                            const std::function<void(int, int)>& progress)
{
    QVector<UndoStep> steps;
    steps.reserve(moves.size());
    int restored = 0;
    int refused = 0;
    for (auto it = moves.crbegin(); it != moves.crend(); ++it) {
        UndoStep step{*it};
        if (disk.kind(it->to) == RunDisk::Kind::Missing) {
            step.outcome = UndoOutcome::Gone;
        } else if (disk.kind(it->from) != RunDisk::Kind::Missing) {
            step.outcome = UndoOutcome::Taken;
        } else if (disk.rename(it->to, it->from)) {
            step.outcome = UndoOutcome::Restored;
            step.folder = disk.kind(it->from) == RunDisk::Kind::Folder;
        }
        if (step.outcome == UndoOutcome::Restored)
            ++restored;
        else
            ++refused;
        steps.append(step);
        if (progress)
            progress(restored, refused);
    }
    return steps;
}

} // namespace qv
