#include "config/profilefile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <limits>

namespace qv {

namespace {

// The value buffer of the classic reader holds 2048 characters including the terminating zero.
constexpr qsizetype MaxValueLength = 2047;

enum class Encoding
{
    Utf8,
    Utf16
};

// How the bytes of a file are to be taken: the encoding and the length of the byte order mark,
// which is never part of the text and is kept as it is on writing.
struct Layout
{
    Encoding encoding = Encoding::Utf8;
    qsizetype markLength = 0;
    // Text units after the mark: bytes for UTF-8, 16-bit units for UTF-16. An odd last byte of
    // a UTF-16 file is no unit; it stays behind the text untouched.
    qsizetype unitCount = 0;
};

Layout layoutOf(const QByteArray& content)
{
    const auto* b = reinterpret_cast<const uchar*>(content.constData());
    const qsizetype size = content.size();
    if (size >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return {Encoding::Utf16, 2, (size - 2) / 2};
    // Not written by us, but editors add it; without skipping it the first section is lost.
    if (size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return {Encoding::Utf8, 3, size - 3};
    return {Encoding::Utf8, 0, size};
}

qsizetype byteOffset(const Layout& layout, qsizetype unit)
{
    return layout.markLength + (layout.encoding == Encoding::Utf16 ? unit * 2 : unit);
}

QString utf16Units(const QByteArray& content, const Layout& layout)
{
    QString text(layout.unitCount, Qt::Uninitialized);
    qFromLittleEndian<quint16>(content.constData() + layout.markLength, layout.unitCount,
                               text.data());
    return text;
}

QByteArray encode(const QString& text, Encoding encoding)
{
    if (encoding == Encoding::Utf8)
        return text.toUtf8();
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    qToLittleEndian<quint16>(reinterpret_cast<const char16_t*>(text.constData()), text.size(),
                             bytes.data());
    return bytes;
}

template <typename Unit> bool isBlank(Unit c)
{
    return c == Unit(' ') || c == Unit('\t');
}

template <typename Unit> bool isLineBreak(Unit c)
{
    return c == Unit('\r') || c == Unit('\n');
}

QString decode(const char* units, qsizetype count)
{
    return QString::fromUtf8(units, count);
}

QString decode(const char16_t* units, qsizetype count)
{
    return QString(reinterpret_cast<const QChar*>(units), count);
}

QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin].unicode()))
        ++begin;
    while (end > begin && isBlank(text[end - 1].unicode()))
        --end;
    return text.mid(begin, end - begin);
}

// A line break inside a name or value would split its line and could forge other entries.
QString singleLine(QString text)
{
    for (QChar& c : text) {
        if (isLineBreak(c.unicode()))
            c = QLatin1Char(' ');
    }
    return text;
}

template <typename Unit>
bool nameEquals(const Unit* units, qsizetype begin, qsizetype end, const QString& name)
{
    while (begin < end && isBlank(units[begin]))
        ++begin;
    while (end > begin && isBlank(units[end - 1]))
        --end;
    return QString::compare(decode(units + begin, end - begin), name, Qt::CaseInsensitive) == 0;
}

// Where an entry lives in the text, in units. Only the first section of the name counts, and in
// it only the first key of the name, as with the classic functions.
struct Location
{
    bool sectionFound = false;
    bool keyFound = false;
    qsizetype valueBegin = 0;
    qsizetype valueEnd = 0;
    // Behind the last non-blank line of the section: a new key goes here, so that blank lines
    // between sections stay between sections.
    qsizetype sectionEnd = 0;
    bool sectionEndsWithBreak = true;
};

// One pass over the lines, stopping at the key or at the end of its section; every unit is
// looked at a bounded number of times, whatever the bytes are.
template <typename Unit>
Location locate(const Unit* units, qsizetype count, const QString& section, const QString& key)
{
    Location location;
    qsizetype pos = 0;
    while (pos < count) {
        qsizetype lineEnd = pos;
        while (lineEnd < count && !isLineBreak(units[lineEnd]))
            ++lineEnd;
        qsizetype next = lineEnd;
        if (next < count) {
            const bool crlf =
                units[next] == Unit('\r') && next + 1 < count && units[next + 1] == Unit('\n');
            next += crlf ? 2 : 1;
        }
        qsizetype first = pos;
        while (first < lineEnd && isBlank(units[first]))
            ++first;
        pos = next;
        if (first == lineEnd)
            continue;

        if (units[first] == Unit('[')) {
            qsizetype close = lineEnd - 1;
            while (close > first && units[close] != Unit(']'))
                --close;
            if (close > first) {
                if (location.sectionFound)
                    return location;
                if (nameEquals(units, first + 1, close, section)) {
                    location.sectionFound = true;
                    location.sectionEnd = next;
                    location.sectionEndsWithBreak = next > lineEnd;
                }
                continue;
            }
            // Without a closing bracket the line is no section header; it may still be a key.
        }
        if (!location.sectionFound)
            continue;
        location.sectionEnd = next;
        location.sectionEndsWithBreak = next > lineEnd;
        const Unit* equals = std::find(units + first, units + lineEnd, Unit('='));
        if (equals != units + lineEnd && nameEquals(units, first, equals - units, key)) {
            location.keyFound = true;
            location.valueBegin = equals - units + 1;
            location.valueEnd = lineEnd;
            return location;
        }
    }
    return location;
}

// The stored value as the classic reader hands it over: blanks and tabs trimmed, then one outer
// pair of equal quotes removed, then cut to the buffer. Unquoting before cutting keeps a long
// quoted value's text instead of its opening quote; it equals what the classic reader returns.
template <typename Unit> QString valueText(const Unit* units, qsizetype begin, qsizetype end)
{
    while (begin < end && isBlank(units[begin]))
        ++begin;
    while (end > begin && isBlank(units[end - 1]))
        --end;
    if (end - begin >= 2 && units[begin] == units[end - 1] &&
        (units[begin] == Unit('\'') || units[begin] == Unit('"'))) {
        ++begin;
        --end;
    }
    // A UTF-8 character takes at most four bytes, so this many bytes still yield the whole
    // 2047 units of the result; a megabyte value is not decoded in full only to be cut.
    constexpr qsizetype maxUnits = sizeof(Unit) == 1 ? (MaxValueLength + 1) * 4 : MaxValueLength;
    QString text = decode(units + begin, std::min(end - begin, maxUnits));
    if (text.size() > MaxValueLength) {
        // Half a surrogate pair is no character; it would end up in a control or a file name.
        const bool splitsPair =
            text[MaxValueLength - 1].isHighSurrogate() && text[MaxValueLength].isLowSurrogate();
        text.truncate(splitsPair ? MaxValueLength - 1 : MaxValueLength);
    }
    return text;
}

template <typename Unit>
std::optional<QString> findValue(const Unit* units, qsizetype count, const QString& section,
                                 const QString& key)
{
    const Location location = locate(units, count, section, key);
    if (!location.keyFound)
        return std::nullopt;
    return valueText(units, location.valueBegin, location.valueEnd);
}

// A change of the content: replace `removed` units at `at` with `inserted` text.
struct Edit
{
    qsizetype at = 0;
    qsizetype removed = 0;
    QString inserted;
};

template <typename Unit>
Edit editFor(const Unit* units, qsizetype count, const QString& section, const QString& key,
             const QString& value)
{
    const QString crlf = QStringLiteral("\r\n");
    const Location location = locate(units, count, section, key);
    if (location.keyFound)
        return {location.valueBegin, location.valueEnd - location.valueBegin, value};
    const QString keyLine = key + QLatin1Char('=') + value + crlf;
    if (location.sectionFound) {
        return {location.sectionEnd, 0,
                (location.sectionEndsWithBreak ? QString() : crlf) + keyLine};
    }
    const bool endsWithBreak = count == 0 || isLineBreak(units[count - 1]);
    return {count, 0,
            (endsWithBreak ? QString() : crlf) + QLatin1Char('[') + section + QLatin1Char(']') +
                crlf + keyLine};
}

bool isImageFileName(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    for (const char* image : {"bmp", "gif", "jpg", "jpeg"}) {
        if (suffix.compare(QLatin1String(image), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

constexpr qint64 NoSizeLimit = std::numeric_limits<qint64>::max();

// The whole content of an open file, unless it holds more than maxSize bytes or cannot be read.
bool readUpTo(QFile& file, qint64 maxSize, QByteArray& content)
{
    if (maxSize == NoSizeLimit) {
        content = file.readAll();
    } else {
        if (file.size() > maxSize)
            return false;
        // One byte more than allowed tells a file that grew in the meantime.
        content = file.read(maxSize + 1);
        content.squeeze();
    }
    return file.error() == QFileDevice::NoError && content.size() <= maxSize;
}

// Brings the file from `from` to `to` by rewriting only the bytes from the first change on.
// Should that fail half-way (a full disk), the old bytes go back, which fit where they came from.
bool rewrite(QFile& file, const QByteArray& from, const QByteArray& to, qint64 maxSize)
{
    const qsizetype same =
        std::mismatch(from.begin(), from.end(), to.begin(), to.end()).first - from.begin();
    if (same == from.size() && same == to.size())
        return true;
    if (to.size() > maxSize)
        return false;
    const auto writeFromChange = [&](const QByteArray& content) {
        const qsizetype length = content.size() - same;
        return file.seek(same) && file.write(content.constData() + same, length) == length &&
               file.flush() && file.resize(content.size());
    };
    if (writeFromChange(to))
        return true;
    file.unsetError();
    writeFromChange(from);
    return false;
}

// The value of the key in content; utf16Text is the content's text when it is UTF-16, decoded by
// the caller so that it can be kept for further look-ups.
std::optional<QString> lookUp(const QByteArray& content, const QString* utf16Text,
                              const QString& section, const QString& key)
{
    const QString sectionName = trimBlanks(section);
    const QString keyName = trimBlanks(key);
    if (utf16Text) {
        return findValue(reinterpret_cast<const char16_t*>(utf16Text->constData()),
                         utf16Text->size(), sectionName, keyName);
    }
    const Layout layout = layoutOf(content);
    return findValue(content.constData() + layout.markLength, layout.unitCount, sectionName,
                     keyName);
}

} // namespace

ProfileFile::ProfileFile(const QString& fileName) : m_fileName(fileName) {}

void ProfileFile::createIfMissing() const
{
    if (QFileInfo::exists(m_fileName) || isImageFileName(m_fileName))
        return;
    QFile file(m_fileName);
    const auto failure = [&] {
        return ProfileError(QStringLiteral("Cannot create file \"%1\". %2")
                                .arg(QFileInfo(m_fileName).absoluteFilePath(), file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (QFileInfo::exists(m_fileName))
            return;
        throw failure();
    }
    if (file.write("\xFF\xFE", 2) != 2 || !file.flush()) {
        const ProfileError error = failure();
        file.remove();
        throw error;
    }
}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& def) const
{
    return ProfileSnapshot(m_fileName, NoSizeLimit).readString(section, key, def);
}

int ProfileFile::readInteger(const QString& section, const QString& key, int def) const
{
    return ProfileSnapshot(m_fileName, NoSizeLimit).readInteger(section, key, def);
}

bool ProfileFile::readBool(const QString& section, const QString& key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void ProfileFile::writeString(const QString& section, const QString& key,
                              const QString& value) const
{
    ProfileUpdate update(m_fileName, NoSizeLimit);
    update.writeString(section, key, value);
    update.commit();
}

void ProfileFile::writeInteger(const QString& section, const QString& key, int value) const
{
    writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(const QString& section, const QString& key, bool value) const
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString ProfileFile::protectQuotes(const QString& text)
{
    if (text.size() < 2 || text.front() != text.back())
        return text;
    if (text.front() == QLatin1Char('\'') || text.front() == QLatin1Char('"'))
        return text.front() + text + text.back();
    return text;
}

std::optional<QString> ProfileFile::valueIn(const QByteArray& content, const QString& section,
                                            const QString& key)
{
    const Layout layout = layoutOf(content);
    if (layout.encoding == Encoding::Utf16) {
        const QString text = utf16Units(content, layout);
        return lookUp(content, &text, section, key);
    }
    return lookUp(content, nullptr, section, key);
}

QByteArray ProfileFile::withValue(const QByteArray& content, const QString& section,
                                  const QString& key, const QString& value)
{
    const Layout layout = layoutOf(content);
    const QString sectionName = trimBlanks(singleLine(section));
    const QString keyName = trimBlanks(singleLine(key));
    const QString line = singleLine(value);
    Edit edit;
    if (layout.encoding == Encoding::Utf16) {
        const QString text = utf16Units(content, layout);
        edit = editFor(reinterpret_cast<const char16_t*>(text.constData()), text.size(),
                       sectionName, keyName, line);
    } else {
        edit = editFor(content.constData() + layout.markLength, layout.unitCount, sectionName,
                       keyName, line);
    }
    const qsizetype begin = byteOffset(layout, edit.at);
    const qsizetype end = byteOffset(layout, edit.at + edit.removed);
    QByteArray result = content.left(begin);
    result += encode(edit.inserted, layout.encoding);
    result += QByteArrayView(content).sliced(end);
    return result;
}

int ProfileFile::toInteger(const QString& value, int def)
{
    const qsizetype size = value.size();
    qsizetype pos = 0;
    int base = 10;
    bool negative = false;
    if (size > 2 && value[0] == QLatin1Char('0') &&
        (value[1] == QLatin1Char('x') || value[1] == QLatin1Char('X'))) {
        base = 16;
        pos = 2;
    } else if (size > 0 && value[0] == QLatin1Char('$')) {
        base = 16;
        pos = 1;
    } else if (size > 0 && (value[0] == QLatin1Char('-') || value[0] == QLatin1Char('+'))) {
        negative = value[0] == QLatin1Char('-');
        pos = 1;
    }
    if (pos == size)
        return def;
    // Hexadecimal covers all 32 bits, so "0xFFFFFFFF" is -1; decimal must fit the signed range.
    const qint64 limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
    qint64 number = 0;
    for (; pos < size; ++pos) {
        const char16_t c = value[pos].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return def;
        number = number * base + digit;
        if (number > limit)
            return def;
    }
    if (base == 16)
        return static_cast<int>(static_cast<quint32>(number));
    return static_cast<int>(negative ? -number : number);
}

ProfileSnapshot::ProfileSnapshot(const QString& fileName, qint64 maxSize)
{
    // Devices and pipes are not settings files: reading one might never end.
    if (!QFileInfo(fileName).isFile())
        return;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || !readUpTo(file, maxSize, m_content)) {
        m_content.clear();
        return;
    }
    const Layout layout = layoutOf(m_content);
    if (layout.encoding == Encoding::Utf16) {
        m_utf16 = true;
        m_utf16Text = utf16Units(m_content, layout);
    }
}

std::optional<QString> ProfileSnapshot::value(const QString& section, const QString& key) const
{
    return lookUp(m_content, m_utf16 ? &m_utf16Text : nullptr, section, key);
}

QString ProfileSnapshot::readString(const QString& section, const QString& key,
                                    const QString& def) const
{
    return value(section, key).value_or(def);
}

int ProfileSnapshot::readInteger(const QString& section, const QString& key, int def) const
{
    const std::optional<QString> text = value(section, key);
    return text ? ProfileFile::toInteger(*text, def) : def;
}

bool ProfileSnapshot::readBool(const QString& section, const QString& key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

ProfileUpdate::ProfileUpdate(const QString& fileName, qint64 maxSize)
    : m_fileName(fileName), m_maxSize(maxSize)
{
}

void ProfileUpdate::writeString(const QString& section, const QString& key, const QString& value)
{
    m_writes.append({section, key, value, false});
}

void ProfileUpdate::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void ProfileUpdate::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ProfileUpdate::writeBoolIfPresent(const QString& section, const QString& key, bool value)
{
    m_writes.append({section, key, value ? QStringLiteral("1") : QStringLiteral("0"), true});
}

void ProfileUpdate::writeStringIfPresent(const QString& section, const QString& key,
                                         const QString& value)
{
    m_writes.append({section, key, value, true});
}

QByteArray ProfileUpdate::applied(const QByteArray& content, const Write& write)
{
    if (write.onlyIfPresent && !ProfileFile::valueIn(content, write.section, write.key))
        return content;
    return ProfileFile::withValue(content, write.section, write.key, write.value);
}

void ProfileUpdate::commit()
{
    if (m_writes.isEmpty())
        return;
    const ProfileError failure(QStringLiteral("Unable to write to %1").arg(m_fileName));
    const QFileInfo info(m_fileName);
    if (info.exists() && !info.isFile())
        throw failure;
    // Opening for reading and writing checks the permission without truncating anything.
    // Unbuffered: bytes a failed write left in a buffer would block writing the old ones back.
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        throw failure;
    QByteArray before;
    if (!readUpTo(file, m_maxSize, before))
        throw failure;
    QByteArray after = before;
    for (const Write& write : std::as_const(m_writes))
        after = applied(after, write);
    if (rewrite(file, before, after, m_maxSize))
        return;
    // The file holds its old bytes again. Writing the entries one by one finds the first that
    // cannot be written and keeps those before it, as a save key by key always has.
    QByteArray current = before;
    for (const Write& write : std::as_const(m_writes)) {
        QByteArray next = applied(current, write);
        if (!rewrite(file, current, next, m_maxSize))
            throw failure;
        current = std::move(next);
    }
}

} // namespace qv
