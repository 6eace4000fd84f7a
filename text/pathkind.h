#pragma once

#include <QtGlobal>

namespace qv {

// What is at a path: the one answer adding, the command line's checks and the rename run give.
enum class PathKind : quint8
{
    // Nothing is there.
    Missing,
    // A regular file; to a rename, any name that is no folder (a link, a device) is one.
    File,
    Folder,
    // The path could not be looked up (no permission, a name too long).
    Unknown,
    // Neither a regular file nor a folder (a device, a pipe, a socket), for adding.
    Other
};

} // namespace qv
