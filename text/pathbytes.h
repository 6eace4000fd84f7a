#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

class QUrl;

// A name on Linux is a string of bytes, most often UTF-8 but not always (archives from older
// systems hold Latin-1 names such as "caf\xe9.txt"). A path text keeps every byte that is not
// part of valid UTF-8 as the lone surrogate U+DC80..U+DCFF, so each name on disk has exactly one
// text that leads back to its bytes; such a text is shown with U+FFFD in place of each byte.
namespace qv {

// The text of the path named by these bytes. Valid UTF-8 reads as usual.
QString pathFromBytes(QByteArrayView bytes);
// The bytes of a path text; false when the text holds a character that stands for no bytes
// (NUL, or half of a surrogate pair that is no kept byte); `bytes` then holds nothing of use.
bool pathToBytes(QStringView path, QByteArray* bytes);
// The bytes of a path text, empty when it has none: the disk then finds nothing there.
QByteArray pathBytes(QStringView path);
// The path of a local file URL (as file managers drop them), its percent-escapes read as bytes.
QString pathFromUrl(const QUrl& url);
// The file URL of a path, a byte that is not UTF-8 escaped as itself.
QUrl urlFromPath(const QString& path);
// Whether the text keeps bytes that are not UTF-8.
bool hasRawBytes(QStringView text);
// The text as shown to the user: each kept byte becomes U+FFFD.
QString shownText(const QString& text);
// The text with each kept byte written as \xHH, for output that must say exactly which name.
QString escapedRawBytes(const QString& text);

} // namespace qv
