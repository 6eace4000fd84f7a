#include "rename/journalrecords.h"

#include "text/pathbytes.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qv {

// After the header, records: a 32-bit length of what follows it, a type byte, the fields, and a
// checksum of type and fields. Numbers are little-endian. A record cut short, or one whose
// checksum does not match, ends the journal: a run killed while writing it never made its
// rename.
const QByteArray journalHeader = QByteArrayLiteral("quorvel journal 2\n");

namespace {

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

bool isAbsolute(const QByteArray& path)
{
#ifdef Q_OS_WIN
    return QDir::isAbsolutePath(pathFromBytes(path));
#else
    return path.startsWith('/');
#endif
}

} // namespace

// The record of a rename, written for every entry of a run: built in place, in one piece.
void appendMoveRecord(QByteArray& out, QByteArrayView from, QByteArrayView to,
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
    appendMoveRecord(out, from, to, file);
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

QByteArray cancelRecord(const std::vector<quint32>& steps)
{
    QByteArray out;
    RecordWriter record(out, CancelRecord);
    record.number(steps.size(), 4);
    for (const quint32 step : steps)
        record.number(step, 4);
    return record.finish();
}

// The journal's bytes, read only when it is a regular file of a sane size: a FIFO would block,
// a device or a huge file exhaust memory.
bool readJournalFile(const QString& fileName, QByteArray* content, JournalProblem* problem)
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
    const QByteArray name = pathBytes(fileName);
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

bool parseJournal(const QByteArray& content, QVector<JournalStep>* steps)
{
    if (!content.startsWith(journalHeader))
        return true;
    qsizetype pos = journalHeader.size();
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
            step.move = {pathFromBytes(from), pathFromBytes(to)};
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
            placeholder.path = pathFromBytes(path);
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

} // namespace qv
