#pragma once

#include <QString>
#include <QStringView>

// Text and path helpers shared by every subsystem. Paths use the platform's separators:
// on Linux only '/', on Windows '\\', ':' and '/'.
namespace qv {

bool isPathSeparator(QChar c);

// Everything after the last separator (the whole text when there is none).
QString fileName(const QString& path);
// Everything up to and including the last separator (empty when there is none).
QString folderPart(const QString& path);
// From the last full stop to the end, full stop included, when that full stop follows the last
// separator; otherwise empty.
QString extension(const QString& path);
// The file name with its extension cut once off its end.
QString baseName(const QString& path);
// fileName() and folderPart() as parts of the path, for callers that only look.
QStringView fileNameIn(QStringView path);
QStringView folderPartIn(QStringView path);

// The path made absolute against the working folder and cleaned without asking the disk: no "."
// or ".." parts, no doubled or trailing separator. Symbolic links are not resolved, so the entry
// keeps the name the user gave it. An empty path stays empty.
QString absoluteCleanPath(const QString& path);

// True when the text is a whole number in the 32-bit range as the classic text-to-integer
// conversion reads it: leading blanks, optional sign, decimal digits or hexadecimal digits after
// "$", "x", "X", "0x", "0X", nothing after the digits. The value goes to *value when given.
bool IsNumber(const QString& text, int* value = nullptr);
// The conversion behind IsNumber: the number, or def when the text is not one.
int StrToIntDef(const QString& text, int def);

// source with every occurrence of old replaced by neu, scanning once from the left without
// overlap; inserted text is never searched again.
QString ReplaceAll(const QString& source, const QString& old, const QString& neu,
                   Qt::CaseSensitivity sensitivity = Qt::CaseSensitive);

} // namespace qv
