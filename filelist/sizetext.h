#pragma once

#include <QChar>
#include <QString>

namespace qv {

// The user's decimal separator, read once at program start.
QChar decimalSeparator();

// bytes / 1024 with three decimals (eight significant digits where that is coarser) and " KB";
// exponent form ("1.2345679E008 KB") from 100,000,000 KB on; -1 gives "-0.001 KB".
QString SizeText(qint64 bytes, QChar separator = decimalSeparator());
// The reverse, in KB; an empty text gives 0.
double SizeTextToNumber(const QString& text, QChar separator = decimalSeparator());
// SizeTextToNumber(SizeText(bytes)), without forming the text where the number is exact.
double SizeNumber(qint64 bytes, QChar separator = decimalSeparator());

// Size in bytes of the file at path, or -1 when it cannot be read.
qint64 FileSizeOf(const QString& path);

} // namespace qv
