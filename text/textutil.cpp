#include "text/textutil.h"

#include "text/pathbytes.h"

#include <QDir>
#include <QList>
#include <QVarLengthArray>

#include <cerrno>
#include <cstdint>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace qv {

bool isPathSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == u'\\' || c == u':' || c == u'/';
#else
    // A Linux file name may hold '\' and ':'; only '/' separates.
    return c == u'/';
#endif
}

#ifndef Q_OS_WIN
namespace {

// The working folder by its bytes: Qt's own answer replaces what is not UTF-8.
QString workingFolder()
{
    QByteArray buffer(4096, Qt::Uninitialized);
    while (::getcwd(buffer.data(), size_t(buffer.size())) == nullptr) {
        if (errno != ERANGE)
            return QDir::currentPath();
        buffer.resize(buffer.size() * 2);
    }
    return pathFromBytes(buffer.constData());
}

} // namespace
#endif

QString absoluteCleanPath(const QString& path)
{
    if (path.isEmpty())
        return path;
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
#else
    const QString absolute = path.startsWith(u'/') ? path : workingFolder() + u'/' + path;
    QList<QStringView> parts;
    for (const QStringView part : QStringView(absolute).split(u'/', Qt::SkipEmptyParts)) {
        if (part == u".")
            continue;
        if (part == u"..") {
            // Above the root is the root.
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    QString clean;
    clean.reserve(absolute.size());
    for (const QStringView part : parts) {
        clean.append(u'/');
        clean.append(part);
    }
    return clean.isEmpty() ? QStringLiteral("/") : clean;
#endif
}

namespace {

qsizetype lastSeparator(QStringView path)
{
#ifndef Q_OS_WIN
    // One separator only: a plain loop over the units, which a run does for every entry.
    const char16_t* units = path.utf16();
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (units[i] == u'/')
            return i;
    }
    return -1;
#else
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isPathSeparator(path.at(i)))
            return i;
    }
    return -1;
#endif
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

int decimalDigit(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'0' && u <= u'9' ? u - u'0' : -1;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

QString fileName(const QString& path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString folderPart(const QString& path)
{
    return path.left(lastSeparator(path) + 1);
}

QStringView fileNameIn(QStringView path)
{
    return path.mid(lastSeparator(path) + 1);
}

QStringView folderPartIn(QStringView path)
{
    return path.left(lastSeparator(path) + 1);
}

QString extension(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || dot < lastSeparator(path))
        return {};
    return path.mid(dot);
}

QString baseName(const QString& path)
{
    const QString name = fileName(path);
    return name.left(name.size() - extension(name).size());
}

bool IsNumber(const QString& text, int* value)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(text.at(i)))
        ++i;

    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }

    bool hex = false;
    if (i < n && (text.at(i) == u'$' || text.at(i) == u'x' || text.at(i) == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text.at(i) == u'0' &&
               (text.at(i + 1) == u'x' || text.at(i + 1) == u'X')) {
        hex = true;
        i += 2;
    }

    if (i == n)
        return false; // empty, blanks only, a lone sign or a hex prefix without digits

    // Hexadecimal text is a 32-bit pattern, as the classic conversion reads it: "$FFFFFFFF" is -1
    // and "$80000000" the smallest int. Configuration files written by older builds rely on
    // this, and the pattern still fits the 32 bits the value must fit into. Decimal text has to
    // lie within the signed range.
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = hex ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
    for (; i < n; ++i) {
        const int digit = hex ? hexDigit(text.at(i)) : decimalDigit(text.at(i));
        if (digit < 0)
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + std::uint64_t(digit);
        if (magnitude > limit)
            return false;
    }

    if (value) {
        std::uint32_t bits = std::uint32_t(magnitude);
        if (negative)
            bits = 0u - bits;
        *value = static_cast<std::int32_t>(bits);
    }
    return true;
}

int StrToIntDef(const QString& text, int def)
{
    int value = def;
    return IsNumber(text, &value) ? value : def;
}

QString ReplaceAll(const QString& source, const QString& old, const QString& neu,
                   Qt::CaseSensitivity sensitivity)
{
    // Without regard to case, a text replaced by itself may still change its letters' case.
    if (source.isEmpty() || old.isEmpty() || (old == neu && sensitivity == Qt::CaseSensitive))
        return source;

    // Names hold few placeholders: the positions fit on the stack.
    QVarLengthArray<qsizetype, 8> matches;
    for (qsizetype at = source.indexOf(old, 0, sensitivity); at >= 0;
         at = source.indexOf(old, at + old.size(), sensitivity))
        matches.append(at);
    if (matches.isEmpty())
        return source;

    QString result;
    result.reserve(source.size() + matches.size() * (neu.size() - old.size()));
    qsizetype copied = 0;
    for (const qsizetype at : matches) {
        result.append(QStringView(source).sliced(copied, at - copied));
        result.append(neu);
        copied = at + old.size();
    }
    result.append(QStringView(source).sliced(copied));
    return result;
}

} // namespace qv
