#pragma once

#include <QString>

namespace qv {

// One row of the file list: exactly its five column texts.
struct FileEntry
{
    QString name;
    QString type;
    QString size;
    QString status;
    QString path;
};

enum FileListColumn
{
    ColName = 0,
    ColType = 1,
    ColSize = 2,
    ColStatus = 3,
    ColPath = 4
};

// The name and type columns of a file entry: the base name, and the extension in upper case
// without its full stop.
QString fileEntryName(const QString& path);
QString fileEntryType(const QString& path);
// The name column of a folder entry: the text after the last separator, full stops kept.
QString folderEntryName(const QString& path);
// The same names as parts of the path.
QStringView fileEntryNameIn(QStringView path);
QStringView folderEntryNameIn(QStringView path);

// Entry for a file: base name, upper-case extension without the full stop, size text.
FileEntry fileEntryFor(const QString& path, const QString& sizeText, const QString& status);
// Entry for a folder: the text after the last separator, type "DIR", no size.
FileEntry folderEntryFor(const QString& path, const QString& status);

} // namespace qv

// Five implicitly shared strings move as plain bytes; the list inserts and removes in the middle.
Q_DECLARE_TYPEINFO(qv::FileEntry, Q_RELOCATABLE_TYPE);
