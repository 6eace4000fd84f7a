#pragma once

#include "metadata/mediavalues.h"

#include <QCache>
#include <QMutex>

namespace qv {

// Values read once per file while its size and modification time stay the same; safe to use
// from several threads at once (a run forms names on two threads, the window's planner on its
// own).
class MediaCache
{
public:
    MediaCache();
    static MediaCache& shared();

    // Stats the file; a cached entry with the same size and modification time (ns) that holds
    // every asked field is returned without opening the file; otherwise only the fields not yet
    // read are read and merged into it.
    MediaValues values(const QString& path, unsigned fields);
    void clear();

private:
    struct Entry
    {
        qint64 size = 0;
        qint64 modifiedNs = 0;
        unsigned fields = 0;
        MediaValues values;
    };

    QMutex m_mutex;
    QCache<QString, Entry> m_entries;
};

} // namespace qv
