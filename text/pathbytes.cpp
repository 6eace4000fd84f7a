#include "text/pathbytes.h"

#include <QUrl>

namespace qv {

namespace {

constexpr char16_t rawByteBase = 0xdc00;

bool isRawByte(char16_t unit)
{
    return unit >= 0xdc80 && unit <= 0xdcff;
}

// The length of the valid UTF-8 sequence at `at` (code point in *code), or 0. Over-long forms,
// surrogates and values past U+10FFFF are not valid: their bytes are kept one by one.
int sequenceAt(const uchar* at, const uchar* end, char32_t* code)
{
    const uchar lead = *at;
    int length;
    char32_t value;
    char32_t least;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        value = lead & 0x1f;
        least = 0x80;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        value = lead & 0x0f;
        least = 0x800;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        value = lead & 0x07;
        least = 0x10000;
    } else {
        return 0;
    }
    if (end - at < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((at[i] & 0xc0) != 0x80)
            return 0;
        value = (value << 6) | (at[i] & 0x3f);
    }
    if (value < least || value > 0x10ffff || (value >= 0xd800 && value <= 0xdfff))
        return 0;
    *code = value;
    return length;
}

} // namespace

QString pathFromBytes(QByteArrayView bytes)
{
    const uchar* at = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* end = at + bytes.size();
    const uchar* ascii = at;
    while (ascii != end && *ascii < 0x80)
        ++ascii;
    if (ascii == end)
        return QString::fromLatin1(bytes.data(), bytes.size());

    QString text;
    text.reserve(bytes.size());
    text.append(QLatin1StringView(bytes.data(), ascii - at));
    at = ascii;
    while (at != end) {
        if (*at < 0x80) {
            text.append(QChar(char16_t(*at++)));
            continue;
        }
        char32_t code;
        const int length = sequenceAt(at, end, &code);
        if (length == 0) {
            text.append(QChar(char16_t(rawByteBase + *at++)));
            continue;
        }
        at += length;
        if (code >= 0x10000) {
            text.append(QChar(QChar::highSurrogate(code)));
            text.append(QChar(QChar::lowSurrogate(code)));
        } else {
            text.append(QChar(char16_t(code)));
        }
    }
    return text;
}

bool pathToBytes(QStringView path, QByteArray* bytes)
{
    const char16_t* units = path.utf16();
    const qsizetype size = path.size();
    // Most paths are ASCII: their bytes are their units, copied in the pass that checks them,
    // into the caller's buffer, which a caller converting path after path keeps.
    bytes->resize(size);
    char* ascii = bytes->data();
    qsizetype plain = 0;
    while (plain < size && units[plain] < 0x80 && units[plain] != 0) {
        ascii[plain] = char(units[plain]);
        ++plain;
    }
    if (plain == size)
        return true;
    while (plain < size && units[plain] < 0xd800 && units[plain] != 0)
        ++plain;
    if (plain == size) {
        *bytes = path.toUtf8();
        return true;
    }

    QByteArray out = path.first(plain).toUtf8();
    out.reserve(size * 3);
    for (qsizetype i = plain; i < size; ++i) {
        const char16_t unit = units[i];
        if (unit == 0)
            return false;
        if (QChar::isHighSurrogate(unit)) {
            if (i + 1 == size || !QChar::isLowSurrogate(units[i + 1]))
                return false;
            out += path.sliced(i, 2).toUtf8();
            ++i;
        } else if (isRawByte(unit)) {
            out += char(unit - rawByteBase);
        } else if (QChar::isLowSurrogate(unit)) {
            return false;
        } else {
            out += QStringView(units + i, 1).toUtf8();
        }
    }
    *bytes = std::move(out);
    return true;
}

QByteArray pathBytes(QStringView path)
{
    QByteArray bytes;
    return pathToBytes(path, &bytes) ? bytes : QByteArray();
}

QString pathFromUrl(const QUrl& url)
{
#ifdef Q_OS_WIN
    return url.toLocalFile();
#else
    if (!url.isLocalFile() || !url.host().isEmpty())
        return url.toLocalFile();
    return pathFromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
#endif
}

QUrl urlFromPath(const QString& path)
{
    if (!hasRawBytes(path))
        return QUrl::fromLocalFile(path);
    QUrl url;
    url.setScheme(QStringLiteral("file"));
    url.setPath(QString::fromLatin1(pathBytes(path).toPercentEncoding("/")), QUrl::TolerantMode);
    return url;
}

bool hasRawBytes(QStringView text)
{
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (units[i] < 0xd800)
            continue;
        if (QChar::isHighSurrogate(units[i]) && i + 1 < text.size() &&
            QChar::isLowSurrogate(units[i + 1]))
            ++i;
        else if (isRawByte(units[i]))
            return true;
    }
    return false;
}

namespace {

template <typename Write> QString replacedRawBytes(const QString& text, Write write)
{
    if (!hasRawBytes(text))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    const char16_t* units = QStringView(text).utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (QChar::isHighSurrogate(units[i]) && i + 1 < text.size() &&
            QChar::isLowSurrogate(units[i + 1])) {
            out.append(QChar(units[i]));
            out.append(QChar(units[++i]));
        } else if (isRawByte(units[i])) {
            write(out, uchar(units[i] - rawByteBase));
        } else {
            out.append(QChar(units[i]));
        }
    }
    return out;
}

} // namespace

QString shownText(const QString& text)
{
    return replacedRawBytes(text,
                            [](QString& out, uchar) { out.append(QChar::ReplacementCharacter); });
}

QString escapedRawBytes(const QString& text)
{
    return replacedRawBytes(text, [](QString& out, uchar byte) {
        out.append(QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0')));
    });
}

} // namespace qv
