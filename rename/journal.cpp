#include "rename/journal.h"

#include "rename/textutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <ctime>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qv {

namespace {

// After the header, records: a 32-bit length of what follows it, a type byte, the fields, and a
// checksum of type and fields. Numbers are little-endian. A record cut short, or one whose
// checksum does not match, ends the journal: a run killed while writing it never made its
// rename.
const QByteArray header = QByteArrayLiteral("quorvel journal 2\n");
// No run writes more: a million renames with long paths stay far below it. Anything larger is
// no journal of ours, and reading it whole would exhaust memory.
constexpr qint64 largestJournal = qint64(1) << 30;
constexpr quint32 largestRecord = 1u << 20;

enum RecordType : char
{
    MoveRecord = 'M',
    PassageRecord = 'T',
    ReservingRecord = 'R',
    ReservedRecord = 'P',
    // Renames written ahead that will not be made: a folder moved first and took their paths.
    CancelRecord = 'C',
};

quint32 checksum(const char* data, qsizetype size)
{
    // Eight bytes at a time, multiplied in as FNV does: enough to tell a record written whole
    // from bytes left by a failed write, and cheap beside the rename it precedes.
    quint64 hash = 14695981039346656037ull;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        hash = (hash ^ word) * 1099511628211ull;
    }
    for (; i < size; ++i)
        hash = (hash ^ quint8(data[i])) * 1099511628211ull;
    return quint32(hash ^ (hash >> 32));
}

char* put(char* at, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = char((value >> (8 * i)) & 0xff);
    return at + bytes;
}

// Appends one record to `out`: the length is filled in and the checksum added at the end.
class RecordWriter
{
public:
    RecordWriter(QByteArray& out, char type) : m_out(out), m_start(out.size())
    {
        m_out.append(4, '\0');
        m_out.append(type);
    }
    RecordWriter& number(quint64 value, int bytes)
    {
        char data[8];
        for (int i = 0; i < bytes; ++i)
            data[i] = char((value >> (8 * i)) & 0xff);
        m_out.append(data, bytes);
        return *this;
    }
    RecordWriter& bytes(const QByteArray& value)
    {
        number(quint64(value.size()), 4);
        m_out.append(value);
        return *this;
    }
    QByteArray& finish()
    {
        const qsizetype body = m_start + 4;
        const quint32 sum = checksum(m_out.constData() + body, m_out.size() - body);
        number(sum, 4);
        const quint32 size = quint32(m_out.size() - body);
        for (int i = 0; i < 4; ++i)
            m_out[m_start + i] = char((size >> (8 * i)) & 0xff);
        return m_out;
    }

private:
    QByteArray& m_out;
    qsizetype m_start;
};

class RecordReader
{
public:
    RecordReader(const char* data, qsizetype size) : m_data(data), m_size(size) {}
    quint64 number(int bytes)
    {
        quint64 value = 0;
        if (m_pos + bytes > m_size) {
            m_ok = false;
            return 0;
        }
        for (int i = 0; i < bytes; ++i)
            value |= quint64(quint8(m_data[m_pos + i])) << (8 * i);
        m_pos += bytes;
        return value;
    }
    QByteArray bytes()
    {
        const qsizetype size = qsizetype(number(4));
        if (!m_ok || size > m_size - m_pos) {
            m_ok = false;
            return {};
        }
        const QByteArray value(m_data + m_pos, size);
        m_pos += size;
        return value;
    }
    bool atEnd() const { return m_ok && m_pos == m_size; }

private:
    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

// The record of a rename, written for every entry of a run: built in place, in one piece.
void appendMove(QByteArray& out, const QByteArray& from, const QByteArray& to,
                const FileIdentity& file)
{
    const qsizetype start = out.size();
    const qsizetype body = 1 + 8 + 8 + 1 + 4 + from.size() + 4 + to.size();
    out.resize(start + 4 + body + 4);
    char* at = put(out.data() + start, quint64(body + 4), 4);
    char* const fields = at;
    *at++ = MoveRecord;
    at = put(at, file.device, 8);
    at = put(at, file.inode, 8);
    *at++ = file.folder ? 1 : 0;
    at = put(at, quint64(from.size()), 4);
    std::memcpy(at, from.constData(), size_t(from.size()));
    at = put(at + from.size(), quint64(to.size()), 4);
    std::memcpy(at, to.constData(), size_t(to.size()));
    put(at + to.size(), checksum(fields, body), 4);
}

QByteArray moveRecord(const QByteArray& from, const QByteArray& to, const FileIdentity& file)
{
    QByteArray out;
    out.reserve(from.size() + to.size() + 40);
    appendMove(out, from, to, file);
    return out;
}

QByteArray passageRecord(quint32 step, const QByteArray& path)
{
    QByteArray out;
    return RecordWriter(out, PassageRecord).number(step, 4).bytes(path).finish();
}

QByteArray reservingRecord(quint32 step, const QByteArray& path, qint64 at)
{
    QByteArray out;
    return RecordWriter(out, ReservingRecord)
        .number(step, 4)
        .number(quint64(at), 8)
        .bytes(path)
        .finish();
}

QByteArray reservedRecord(quint32 step, const QByteArray& path, quint64 device, quint64 inode)
{
    QByteArray out;
    return RecordWriter(out, ReservedRecord)
        .number(step, 4)
        .number(device, 8)
        .number(inode, 8)
        .bytes(path)
        .finish();
}

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

bool isAbsolute(const QByteArray& path)
{
#ifdef Q_OS_WIN
    return QDir::isAbsolutePath(QFile::decodeName(path));
#else
    return path.startsWith('/');
#endif
}

// The journal's bytes, read only when it is a regular file of a sane size: a FIFO would block,
// a device or a huge file exhaust memory.
bool readJournal(const QString& fileName, QByteArray* content, JournalProblem* problem)
{
    *problem = JournalProblem::None;
#ifdef Q_OS_WIN
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > largestJournal) {
        *problem = JournalProblem::Damaged;
        return false;
    }
    *content = file.readAll();
    return true;
#else
    const QByteArray name = QFile::encodeName(fileName);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT)
            *problem = JournalProblem::Damaged;
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > largestJournal) {
        ::close(fd);
        *problem = JournalProblem::Damaged;
        return false;
    }
    content->resize(qsizetype(st.st_size));
    qsizetype done = 0;
    while (done < content->size()) {
        const ssize_t n = ::read(fd, content->data() + done, size_t(content->size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
    content->resize(done);
    return true;
#endif
}

bool parseSteps(const QByteArray& content, QVector<JournalStep>* steps)
{
    if (!content.startsWith(header))
        return true;
    qsizetype pos = header.size();
    while (content.size() - pos >= 4) {
        RecordReader lengthReader(content.constData() + pos, 4);
        const quint32 length = quint32(lengthReader.number(4));
        if (length < 5 || length > largestRecord || length > content.size() - pos - 4)
            break;
        const char* body = content.constData() + pos + 4;
        const qsizetype bodySize = qsizetype(length) - 4;
        RecordReader sumReader(body + bodySize, 4);
        if (quint32(sumReader.number(4)) != checksum(body, bodySize))
            break;
        pos += 4 + length;
        RecordReader record(body + 1, bodySize - 1);
        switch (body[0]) {
        case MoveRecord: {
            JournalStep step;
            step.file.device = record.number(8);
            step.file.inode = record.number(8);
            step.file.folder = record.number(1) != 0;
            const QByteArray from = record.bytes();
            const QByteArray to = record.bytes();
            if (!record.atEnd() || !isAbsolute(from) || !isAbsolute(to))
                return false;
            step.move = {QFile::decodeName(from), QFile::decodeName(to)};
            steps->append(step);
            break;
        }
        case CancelRecord: {
            const quint32 count = quint32(record.number(4));
            for (quint32 i = 0; i < count; ++i) {
                const quint32 index = quint32(record.number(4));
                if (index >= quint32(steps->size()))
                    return false;
                (*steps)[qsizetype(index)].cancelled = true;
            }
            if (!record.atEnd())
                return false;
            break;
        }
        case PassageRecord:
        case ReservingRecord:
        case ReservedRecord: {
            const quint32 index = quint32(record.number(4));
            JournalStep::Placeholder placeholder;
            if (body[0] == ReservingRecord)
                placeholder.reservedAt = qint64(record.number(8));
            if (body[0] == ReservedRecord) {
                placeholder.made = true;
                placeholder.device = record.number(8);
                placeholder.inode = record.number(8);
            }
            const QByteArray path = record.bytes();
            if (!record.atEnd() || index >= quint32(steps->size()) || !isAbsolute(path))
                return false;
            JournalStep& step = (*steps)[qsizetype(index)];
            placeholder.path = QFile::decodeName(path);
            if (body[0] == PassageRecord)
                step.passages.append(placeholder.path);
            else
                step.placeholders.append(placeholder);
            break;
        }
        default:
            return false;
        }
    }
    return true;
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
    const QByteArray lockName = QFile::encodeName(m_fileName + QStringLiteral(".lock"));
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
    const QByteArray name = QFile::encodeName(m_fileName + QStringLiteral(".new"));
    m_fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0 || !writeAll(m_fd, header))
        return fail(JournalProblem::NotWritable);
    m_goodSize = header.size();
    return true;
}

void RenameJournal::closeFile()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    if (!m_replaced)
        ::unlink(QFile::encodeName(m_fileName + QStringLiteral(".new")).constData());
}

void RenameJournal::end()
{
    if (m_fd >= 0 && m_replaced) {
        const QByteArray previous = QFile::encodeName(m_fileName + QStringLiteral(".previous"));
        if (m_renamedAny)
            ::unlink(previous.constData());
        else
            ::rename(previous.constData(), QFile::encodeName(m_fileName).constData());
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
    const QByteArray name = QFile::encodeName(m_fileName);
    const QByteArray fresh = QFile::encodeName(m_fileName + QStringLiteral(".new"));
    const QByteArray previous = QFile::encodeName(m_fileName + QStringLiteral(".previous"));
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
    if (!write(moveRecord(QFile::encodeName(from), QFile::encodeName(to), file)))
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
    const QByteArray name = QFile::encodeName(m_fileName);
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
    QByteArray content = header;
    quint32 index = 0;
    for (const JournalStep& step : steps) {
        appendMove(content, QFile::encodeName(step.move.from), QFile::encodeName(step.move.to),
                   step.file);
        for (const QString& passage : step.passages)
            content += passageRecord(index, QFile::encodeName(passage));
        for (const JournalStep::Placeholder& p : step.placeholders) {
            content += p.made ? reservedRecord(index, QFile::encodeName(p.path), p.device, p.inode)
                              : reservingRecord(index, QFile::encodeName(p.path), p.reservedAt);
        }
        ++index;
    }
    const QByteArray fresh = QFile::encodeName(m_fileName + QStringLiteral(".new"));
    const int fd = ::open(fresh.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    ::close(fd);
    if (written && ::rename(fresh.constData(), QFile::encodeName(m_fileName).constData()) == 0)
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

QVector<JournalStep> RenameJournal::steps(JournalProblem* problem) const
{
    QVector<JournalStep> steps;
    QByteArray content;
    JournalProblem found = JournalProblem::None;
    if (readJournal(m_fileName, &content, &found) && !parseSteps(content, &steps)) {
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
    return !info.isFile() || info.size() <= header.size();
}

void RenameJournal::remove()
{
    QFile::remove(m_fileName);
}

void JournalingRenamer::expect(const QVector<QPair<QString, QString>>& renames)
{
    if (m_journal.failed())
        return;
    // Undo takes the records back last first, so a record written ahead may only serve
    // renames made in the order the records stand.
    m_expected.clear();
    m_next = 0;
    QByteArray records;
    records.reserve(renames.size() * 128);
    quint32 count = 0;
    const quint32 first = m_journal.stepCount();
    QByteArray folder;
    int inFolder = 0;
    for (const auto& [from, to] : renames) {
        const QByteArray source = QFile::encodeName(from);
        const qsizetype folderSize = source.lastIndexOf('/') + 1;
        if (QByteArrayView(source.constData(), folderSize) == QByteArrayView(folder)) {
            ++inFolder;
        } else {
            folder = source.left(folderSize);
            inFolder = 1;
        }
        const FileIdentity file = identityIn(source, folder, inFolder >= 16);
        if (file.inode == 0)
            continue;
        appendMove(records, source, QFile::encodeName(to), file);
        m_expected.push_back({from, to, first + count, file.folder});
        ++count;
    }
    if (count > 0 && !m_journal.recordMoves(records, count))
        m_expected.clear();
}

// A file's identity from its folder's listing where many of a folder's files are renamed: one
// read of the listing costs less than a look-up per file. The listing's inode numbers are the
// system's own only on some file systems; one look-up per folder tells. The listing stays true
// for the files still to be renamed: a rename into one of their names would have found the name
// free, so no listed file was there. Only a folder that moves changes what paths name.
FileIdentity JournalingRenamer::identityIn(const QByteArray& path, const QByteArray& folder,
                                           bool many)
{
#ifndef Q_OS_WIN
    auto known = m_listings.find(folder);
    if (known == m_listings.end() && many)
        known = m_listings.insert(folder, readListing(folder, path));
    if (known != m_listings.end() && known->usable) {
        const Inode* entry = known->find(QByteArrayView(path).sliced(folder.size()));
        if (entry)
            return {known->device, entry->inode, entry->folder};
    }
#else
    Q_UNUSED(folder);
    Q_UNUSED(many);
#endif
    return identityOf(QFile::decodeName(path));
}

namespace {

// Names are found by a 64-bit hash alone: the listing keeps no names. Two names of one folder
// sharing a hash would give one of them the other's identity; undo would then leave that file
// alone as changed, never rename another.
quint64 nameHash(QByteArrayView name)
{
    quint64 hash = 14695981039346656037ull;
    for (const char c : name)
        hash = (hash ^ quint8(c)) * 1099511628211ull;
    return hash | 1;
}

} // namespace

const JournalingRenamer::Inode* JournalingRenamer::Listing::find(QByteArrayView name) const
{
    if (table.empty())
        return nullptr;
    const quint64 hash = nameHash(name);
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        if (table[i].hash == hash)
            return &table[i].inode;
        if (table[i].hash == 0)
            return nullptr;
    }
}

JournalingRenamer::Listing JournalingRenamer::readListing(const QByteArray& folder,
                                                          const QByteArray& probe)
{
    Listing listing;
#ifndef Q_OS_WIN
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return listing;
    std::vector<std::pair<quint64, Inode>> found;
    bool known = true;
    while (const dirent* entry = ::readdir(dir)) {
        known = known && entry->d_type != DT_UNKNOWN;
        found.push_back({nameHash(QByteArrayView(entry->d_name)),
                         {quint64(entry->d_ino), entry->d_type == DT_DIR}});
    }
    ::closedir(dir);
    if (!known)
        return {};
    size_t capacity = 16;
    while (capacity < found.size() * 2)
        capacity *= 2;
    listing.table.assign(capacity, {});
    listing.mask = capacity - 1;
    for (const auto& [hash, inode] : found) {
        for (size_t i = hash & listing.mask;; i = (i + 1) & listing.mask) {
            if (listing.table[i].hash == 0) {
                listing.table[i] = {hash, inode};
                break;
            }
        }
    }
    struct stat st;
    const Inode* probed = listing.find(QByteArrayView(probe).sliced(folder.size()));
    listing.usable =
        probed && ::lstat(probe.constData(), &st) == 0 && quint64(st.st_ino) == probed->inode;
    listing.device = quint64(st.st_dev);
    if (!listing.usable)
        listing.table.clear();
#else
    Q_UNUSED(folder);
    Q_UNUSED(probe);
#endif
    return listing;
}

bool JournalingRenamer::useExpected(const QString& from, const QString& to, bool* folder)
{
    // Renames that were expected but skipped (an entry that waits, or was refused) stay in the
    // journal as intents never carried out; undo finds those files under their old names.
    constexpr size_t lookAhead = 64;
    for (size_t i = m_next; i < m_expected.size() && i < m_next + lookAhead; ++i) {
        if (m_expected[i].from == from && m_expected[i].to == to) {
            m_journal.setStep(m_expected[i].step);
            *folder = m_expected[i].folder;
            m_next = i + 1;
            return true;
        }
    }
    return false;
}

bool JournalingRenamer::renameBack(const QString& from, const QString& to)
{
    // Once the journal failed, only steps back to names it already holds still pass.
    return m_journal.failed() ? m_renamer.rename(from, to) : rename(from, to);
}

bool JournalingRenamer::rename(const QString& from, const QString& to)
{
    if (m_journal.failed()) {
        errno = EIO;
        return false;
    }
    bool folder = false;
    if (!useExpected(from, to, &folder)) {
        // A record of its own comes after every record written ahead: none of those may serve
        // a later rename.
        m_expected.clear();
        m_next = 0;
        const FileIdentity file = identityOf(from);
        if (file.inode == 0) {
            errno = ENOENT;
            return false;
        }
        if (!m_journal.recordMove(from, to, file)) {
            errno = EIO;
            return false;
        }
        folder = file.folder;
    }
    // Paths inside a folder that moves name other things now: the listings start afresh, and
    // renames written ahead of it (coming after its record) will not be made as written. Undo
    // would meet them before the folder is back, where their paths name nothing.
    if (folder) {
        m_listings.clear();
        if (m_next < m_expected.size()) {
            QByteArray cancel;
            RecordWriter record(cancel, CancelRecord);
            record.number(m_expected.size() - m_next, 4);
            for (size_t i = m_next; i < m_expected.size(); ++i)
                record.number(m_expected[i].step, 4);
            record.finish();
            m_expected.clear();
            m_next = 0;
            if (!m_journal.write(cancel)) {
                errno = EIO;
                return false;
            }
        }
    }
    m_renamer.setWitness(this);
    const bool renamed = m_renamer.rename(from, to);
    m_renamer.setWitness(nullptr);
    if (renamed)
        m_journal.m_renamedAny = true;
    return renamed;
}

bool JournalingRenamer::passesThrough(const QByteArray& path)
{
    return m_journal.recordPassage(path);
}

bool JournalingRenamer::reserving(const QByteArray& path)
{
    return m_journal.recordReserving(path);
}

bool JournalingRenamer::reserved(const QByteArray& path, quint64 device, quint64 inode)
{
    return m_journal.recordReserved(path, device, inode);
}

FileIdentity identityOf(const QString& path)
{
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    return info.exists() ? FileIdentity{0, 1, info.isDir()} : FileIdentity{};
#else
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {quint64(st.st_dev), quint64(st.st_ino), S_ISDIR(st.st_mode)};
#endif
}

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
    const QByteArray path = QFile::encodeName(placeholder.path);
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
    const bool caseOnly =
        differsOnlyInCase(QFile::encodeName(step.move.from), QFile::encodeName(step.move.to));
    if (caseOnly && isFile(atTo, step.file))
        return moveBack(renamer, step.move.to, step.move.from);
    const FileIdentity atFrom = caseOnly ? FileIdentity{} : identityOf(step.move.from);
    if (isFile(atTo, step.file) && isFile(atFrom, step.file)) {
        // Killed between link and unlink: the new name is our second link to the file.
        return ::unlink(QFile::encodeName(step.move.to).constData()) == 0 ? UndoOutcome::Restored
                                                                           : UndoOutcome::Error;
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
