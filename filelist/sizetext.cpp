#include "filelist/sizetext.h"

#include "text/pathbytes.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace qv {

namespace {

constexpr quint64 kPow10[] = {1ull,
                              10ull,
                              100ull,
                              1000ull,
                              10000ull,
                              100000ull,
                              1000000ull,
                              10000000ull,
                              100000000ull,
                              1000000000ull,
                              10000000000ull,
                              100000000000ull,
                              1000000000000ull,
                              10000000000000ull,
                              100000000000000ull,
                              1000000000000000ull,
                              10000000000000000ull,
                              100000000000000000ull,
                              1000000000000000000ull,
                              10000000000000000000ull};

int digitCount(quint64 v)
{
    int n = 1;
    while (n < 20 && v >= kPow10[n])
        ++n;
    return n;
}

// magnitude / 1024 in thousandths of a KB is magnitude * 125 / 128. Splitting magnitude at 128
// keeps every step exact in 64 bits, so the half-way cases round the same way as the exact value
// would, which no floating-point formatting guarantees.
quint64 roundedThousandths(quint64 magnitude)
{
    const quint64 whole = (magnitude / 128) * 125 + (magnitude % 128) * 125 / 128;
    const quint64 fraction128 = (magnitude % 128) * 125 % 128; // the rest, in 1/128 thousandths

    // Eight significant digits are coarser than three decimals from 100,000 KB on.
    const int digits = digitCount(whole);
    const quint64 step = digits > 8 ? kPow10[digits - 8] : 1;
    const quint64 below = whole % step;
    quint64 rounded = whole - below;
    if (below * 128 + fraction128 >= step * 64)
        rounded += step;
    return rounded;
}

} // namespace

QChar decimalSeparator()
{
    static const QChar separator = [] {
        const QString point = QLocale::system().decimalPoint();
        return point.isEmpty() ? QChar(u'.') : point.at(0);
    }();
    return separator;
}

QString SizeText(qint64 bytes, QChar separator)
{
    const bool negative = bytes < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(bytes) : quint64(bytes);
    const quint64 thousandths = roundedThousandths(magnitude);

    // Written into one buffer: the list builds a size text for every file it takes.
    char digits[24];
    const int count = std::snprintf(digits, sizeof digits, "%llu", (unsigned long long)thousandths);
    char16_t text[48];
    int n = 0;
    if (negative)
        text[n++] = u'-';

    if (thousandths < 100000000000ull) {
        // At least "0" before the separator and three decimals after it.
        const int whole = std::max(count - 3, 1);
        const int pad = 4 - std::min(count, 4);
        for (int i = 0; i < whole; ++i) {
            const int at = i - pad;
            text[n++] = at < 0 ? u'0' : char16_t(digits[at]);
        }
        text[n++] = separator.unicode();
        for (int i = whole; i < whole + 3; ++i) {
            const int at = i - pad;
            text[n++] = at < 0 ? u'0' : char16_t(digits[at]);
        }
    } else {
        int significant = std::min(count, 8);
        while (significant > 1 && digits[significant - 1] == '0')
            --significant;
        text[n++] = char16_t(digits[0]);
        if (significant > 1) {
            text[n++] = separator.unicode();
            for (int i = 1; i < significant; ++i)
                text[n++] = char16_t(digits[i]);
        }
        char exponent[8];
        const int e = std::snprintf(exponent, sizeof exponent, "E%03d", count - 1 - 3);
        for (int i = 0; i < e; ++i)
            text[n++] = char16_t(exponent[i]);
    }
    for (const char16_t c : u" KB")
        if (c)
            text[n++] = c;
    return QString(reinterpret_cast<const QChar*>(text), n);
}

double SizeTextToNumber(const QString& text, QChar separator)
{
    if (text.isEmpty())
        return 0;
    QStringView number(text);
    const qsizetype unit = number.indexOf(QLatin1String(" KB"));
    char buffer[64];
    int n = 0;
    for (qsizetype i = 0; i < number.size(); ++i) {
        if (i == unit) {
            i += 2;
            continue;
        }
        const QChar c = number.at(i);
        // Only the given separator counts as the decimal point, as a locale-bound reading would.
        if (c == separator)
            buffer[n++] = '.';
        else if (c == u'.' || c.unicode() > 0x7f)
            return 0;
        else
            buffer[n++] = char(c.unicode());
        if (n == int(sizeof buffer))
            return 0;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(buffer, buffer + n, value);
    return error == std::errc() && end == buffer + n ? value : 0;
}

double SizeNumber(qint64 bytes, QChar separator)
{
    const bool negative = bytes < 0;
    const quint64 thousandths =
        roundedThousandths(negative ? quint64(0) - quint64(bytes) : quint64(bytes));
    // Below 2^53 the count converts exactly, and one correctly rounded division gives the double
    // nearest to the written decimal, as reading the text does.
    if (thousandths >= (quint64(1) << 53))
        return SizeTextToNumber(SizeText(bytes, separator), separator);
    const double value = double(thousandths) / 1000.0;
    return negative ? -value : value;
}

qint64 FileSizeOf(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (path.isEmpty() || ::stat(pathBytes(path).constData(), &st) != 0)
        return -1;
    // The directory entry of a folder carries no size.
    if (S_ISDIR(st.st_mode))
        return 0;
    return qint64(st.st_size);
#else
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return -1;
    return info.isDir() ? 0 : info.size();
#endif
}

} // namespace qv
