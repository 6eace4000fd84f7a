#include "rename/journal.h"

#include "rename/journalrecords.h"
#include "text/pathbytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <ctime>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qv {

namespace {

qint64 nowNs()
{
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

#ifndef Q_OS_WIN
bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}
#endif

} // namespace

QString RenameJournal::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/last-run.journal");
}

RenameJournal::RenameJournal(QString fileName) : m_fileName(std::move(fileName)) {}

RenameJournal::~RenameJournal()
{
    end();
}

bool RenameJournal::fail(JournalProblem problem)
{
    m_failed = true;
    m_problem = problem;
    if (m_reason.isEmpty())
        m_reason = systemReason(errno);
    return false;
}

#ifdef Q_OS_WIN

// Windows keeps the journal as before its identity checks; the program is built there, not run.
bool RenameJournal::takeLock()
{
    return true;
}
bool RenameJournal::begin()
{
    return true;
}
void RenameJournal::closeFile() {}
void RenameJournal::end() {}
bool RenameJournal::write(const QByteArray&)
{
    return true;
}
bool RenameJournal::openForUndo(quint32)
{
    return false;
}
bool RenameJournal::rewrite(const QVector<JournalStep>&)
{
    return false;
}
bool RenameJournal::recordMove(const QString&, const QString&, const FileIdentity&)
{
    return true;
}
bool RenameJournal::recordMoves(const QByteArray&, quint32)
{
    return true;
}

#else

bool RenameJournal::takeLock()
{
    if (m_lockFd >= 0)
        return true;
    // Where the folder cannot be made, opening the lock file says why.
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    const QByteArray lockName = pathBytes(m_fileName + QStringLiteral(".lock"));
    const int fd = ::open(lockName.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return fail(JournalProblem::NotWritable);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return fail(busy ? JournalProblem::Busy : JournalProblem::NotWritable);
    }
    m_lockFd = fd;
    return true;
}

bool RenameJournal::begin()
{
    if (!takeLock())
        return false;
    const QByteArray name = pathBytes(m_fileName + QStringLiteral(".new"));
    m_fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0 || !writeAll(m_fd, journalHeader))
        return fail(JournalProblem::NotWritable);
    m_goodSize = journalHeader.size();
    return true;
}

void RenameJournal::closeFile()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    if (!m_replaced)
        ::unlink(pathBytes(m_fileName + QStringLiteral(".new")).constData());
}

void RenameJournal::end()
{
    if (m_fd >= 0 && m_replaced) {
        const QByteArray previous = pathBytes(m_fileName + QStringLiteral(".previous"));
        if (m_renamedAny)
            ::unlink(previous.constData());
        else
            ::rename(previous.constData(), pathBytes(m_fileName).constData());
    }
    closeFile();
    if (m_lockFd >= 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
    }
}

bool RenameJournal::write(const QByteArray& record)
{
    if (m_failed || m_fd < 0)
        return false;
    if (writeAll(m_fd, record)) {
        m_goodSize += record.size();
        return true;
    }
    const int error = errno;
    // Half a record would hide every record after it; without it the journal stays whole.
    if (::ftruncate(m_fd, m_goodSize) != 0) {
    }
    errno = error;
    return fail(JournalProblem::NotWritable);
}

bool RenameJournal::takeOver()
{
    if (m_replaced)
        return true;
    // The run before stays undoable until this run is about to rename, and comes back should
    // this run rename nothing after all (every entry refused).
    const QByteArray name = pathBytes(m_fileName);
    const QByteArray fresh = pathBytes(m_fileName + QStringLiteral(".new"));
    const QByteArray previous = pathBytes(m_fileName + QStringLiteral(".previous"));
    if (::rename(name.constData(), previous.constData()) != 0 && errno != ENOENT)
        return fail(JournalProblem::NotWritable);
    if (::rename(fresh.constData(), name.constData()) != 0)
        return fail(JournalProblem::NotWritable);
    m_replaced = true;
    return true;
}

bool RenameJournal::recordMove(const QString& from, const QString& to, const FileIdentity& file)
{
    if (m_failed || m_fd < 0 || !takeOver())
        return false;
    if (!write(moveRecord(pathBytes(from), pathBytes(to), file)))
        return false;
    m_step = m_steps++;
    return true;
}

bool RenameJournal::recordMoves(const QByteArray& records, quint32 count)
{
    if (m_failed || m_fd < 0 || !takeOver() || !write(records))
        return false;
    m_steps += count;
    return true;
}

bool RenameJournal::openForUndo(quint32 steps)
{
    const QByteArray name = pathBytes(m_fileName);
    m_fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) {
        m_failed = true;
        return false;
    }
    m_goodSize = st.st_size;
    m_replaced = true;
    m_renamedAny = true;
    m_steps = steps;
    return true;
}

bool RenameJournal::rewrite(const QVector<JournalStep>& steps)
{
    QByteArray content = journalHeader;
    quint32 index = 0;
    for (const JournalStep& step : steps) {
        appendMoveRecord(content, pathBytes(step.move.from), pathBytes(step.move.to), step.file);
        for (const QString& passage : step.passages)
            content += passageRecord(index, pathBytes(passage));
        for (const JournalStep::Placeholder& p : step.placeholders) {
            content += p.made ? reservedRecord(index, pathBytes(p.path), p.device, p.inode)
                              : reservingRecord(index, pathBytes(p.path), p.reservedAt);
        }
        ++index;
    }
    const QByteArray fresh = pathBytes(m_fileName + QStringLiteral(".new"));
    const int fd = ::open(fresh.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    ::close(fd);
    if (written && ::rename(fresh.constData(), pathBytes(m_fileName).constData()) == 0)
        return true;
    ::unlink(fresh.constData());
    return false;
}

#endif

bool RenameJournal::recordPassage(const QByteArray& path)
{
    return write(passageRecord(m_step, path));
}

bool RenameJournal::recordReserving(const QByteArray& path)
{
    return write(reservingRecord(m_step, path, nowNs()));
}

bool RenameJournal::recordReserved(const QByteArray& path, quint64 device, quint64 inode)
{
    return write(reservedRecord(m_step, path, device, inode));
}

bool RenameJournal::recordCancelled(const std::vector<quint32>& steps)
{
    return write(cancelRecord(steps));
}

QVector<JournalStep> RenameJournal::steps(JournalProblem* problem) const
{
    QVector<JournalStep> steps;
    QByteArray content;
    JournalProblem found = JournalProblem::None;
    if (readJournalFile(m_fileName, &content, &found) && !parseJournal(content, &steps)) {
        found = JournalProblem::Damaged;
        steps.clear();
    }
    if (problem)
        *problem = found;
    return steps;
}

QVector<JournalMove> RenameJournal::moves() const
{
    QVector<JournalMove> moves;
    for (const JournalStep& step : steps())
        moves.append(step.move);
    return moves;
}

bool RenameJournal::isEmpty() const
{
    // Asked after every run: the file's size tells without reading it.
    const QFileInfo info(m_fileName);
    return !info.isFile() || info.size() <= journalHeader.size();
}

void RenameJournal::remove()
{
    QFile::remove(m_fileName);
}

FileIdentity identityOf(const QString& path)
{
    return identityOf(pathBytes(path));
}

FileIdentity identityOf(const QByteArray& path)
{
#ifdef Q_OS_WIN
    const QFileInfo info(pathFromBytes(path));
    return info.exists() ? FileIdentity{0, 1, info.isDir()} : FileIdentity{};
#else
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return {};
    return {quint64(st.st_dev), quint64(st.st_ino), S_ISDIR(st.st_mode)};
#endif
}

} // namespace qv
