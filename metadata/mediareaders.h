#pragma once

// The parts of reading a file's values that the cache shares with readMediaValues.

#include "metadata/mediavalues.h"

#include <QByteArray>

#include <string_view>

namespace qv {

struct FileStamp
{
    // Only a regular file is opened: a FIFO would wait for a writer.
    bool regular = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
};

// Stats the file at path (bytes): readable and modified of `values`, and its size and time.
FileStamp stampFile(const QByteArray& path, MediaValues* values);
// Reads the asked fields from the file into `values`, leaving the others as they are.
void readFields(const QByteArray& path, unsigned fields, MediaValues* values);
// Copies the fields from `from`.
void mergeFields(MediaValues* into, const MediaValues& from, unsigned fields);

// The photo and song readers; each reads only what its kind of file holds.
void readExifFields(const QByteArray& path, unsigned fields, MediaValues* values);
// The same from a photo's bytes in memory: the whole file, or a JPEG's segments up to its scan.
void readExifFieldsOfContent(QByteArrayView content, unsigned fields, MediaValues* values);
void readTagFields(const QByteArray& path, unsigned fields, MediaValues* values);

// An EXIF date and time ("2019:05:01 12:34:56"); invalid for zeros, blanks or fields out of
// range.
WallTime exifDateTime(std::string_view text);
// The number a tag starts with ("3/12" gives 3); 0 when none.
int leadingNumber(std::string_view text);
// The year a date tag starts with ("2019-05-01", "2019"); 0 when it starts otherwise.
int leadingYear(std::string_view text);

} // namespace qv
