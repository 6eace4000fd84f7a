#pragma once

#include "text/walltime.h"

#include <QString>

namespace qv {

// Which values a name asks of a file (bits).
enum MediaField : unsigned
{
    MediaDateTaken = 1,
    MediaCamera = 2,
    MediaArtist = 4,
    MediaAlbum = 8,
    MediaTitle = 16,
    MediaTrack = 32,
    MediaYear = 64
};

struct MediaValues
{
    // The file could be looked at (stat); false when it is gone or cannot be reached.
    bool readable = false;
    // The file's modification time on the local clock.
    WallTime modified;
    // EXIF DateTimeOriginal, else DateTimeDigitized; invalid when there is none or it is malformed
    // (zeros, blanks, fields out of range).
    WallTime taken;
    // EXIF Model, trimmed; empty when none.
    QString camera;
    // Audio tags, trimmed; empty when none.
    QString artist, album, title;
    // The track number ("3/12" gives 3); 0 when none.
    int track = 0;
    // The year of release, also from a full date ("2019-05-01"); 0 when none.
    int year = 0;
};

// Reads the asked fields of the file at path (an absolute path text, see text/pathbytes.h).
// Never throws; a damaged or hostile file, or one that is no photo or song, gives empty values.
// Stats the file always (readable, modified); opens it only when a field is asked.
MediaValues readMediaValues(const QString& path, unsigned fields);

} // namespace qv
