#include "filelist/sizetext.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

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

    QString text;
    text.reserve(24);
    if (negative)
        text += u'-';

    if (thousandths < 100000000000ull) {
        text += QString::number(thousandths / 1000);
        text += separator;
        const QString decimals = QString::number(thousandths % 1000);
        text += QString(3 - decimals.size(), u'0');
        text += decimals;
    } else {
        QString digits = QString::number(thousandths).left(8);
        const int exponent = digitCount(thousandths) - 1 - 3;
        while (digits.size() > 1 && digits.endsWith(u'0'))
            digits.chop(1);
        text += digits.at(0);
        if (digits.size() > 1) {
            text += separator;
            text += QStringView(digits).mid(1);
        }
        text += u'E';
        text += QStringLiteral("%1").arg(exponent, 3, 10, QChar(u'0'));
    }
    text += QLatin1String(" KB");
    return text;
}

double SizeTextToNumber(const QString& text, QChar separator)
{
    if (text.isEmpty())
        return 0;
    QString number = text;
    const qsizetype unit = number.indexOf(QLatin1String(" KB"));
    if (unit >= 0)
        number.remove(unit, 3);
    // Only the given separator counts as the decimal point, as a locale-bound reading would.
    if (separator != u'.') {
        if (number.contains(u'.'))
            return 0;
        number.replace(separator, u'.');
    }
    static const QLocale reader = [] {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::RejectGroupSeparator);
        return c;
    }();
    bool ok = false;
    const double value = reader.toDouble(number, &ok);
    return ok ? value : 0;
}

qint64 FileSizeOf(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
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
