#include "metadata/mediacache.h"
#include "metadata/mediareaders.h"
#include "text/pathbytes.h"

namespace qv {

namespace {

// An entry costs a few hundred bytes; a folder of a hundred thousand photos still fits.
constexpr int maxEntries = 100000;

} // namespace

MediaCache::MediaCache()
{
    m_entries.setMaxCost(maxEntries);
}

MediaCache& MediaCache::shared()
{
    static MediaCache cache;
    return cache;
}

MediaValues MediaCache::values(const QString& path, unsigned fields)
{
    const QByteArray bytes = pathBytes(path);
    MediaValues values;
    const FileStamp stamp = stampFile(bytes, &values);
    if (!values.readable || !stamp.regular) {
        const QMutexLocker lock(&m_mutex);
        m_entries.remove(path);
        return values;
    }

    unsigned missing = fields;
    // The fields `values` holds.
    unsigned held = 0;
    {
        const QMutexLocker lock(&m_mutex);
        if (const Entry* entry = m_entries.object(path);
            entry && entry->size == stamp.size && entry->modifiedNs == stamp.modifiedNs) {
            missing &= ~entry->fields;
            if (!missing)
                return entry->values;
            mergeFields(&values, entry->values, entry->fields);
            held = entry->fields;
        }
    }

    // Read without the lock: the other threads go on with their own files meanwhile.
    MediaValues read;
    readFields(bytes, missing, &read);
    mergeFields(&values, read, missing);

    const QMutexLocker lock(&m_mutex);
    Entry* entry = m_entries.object(path);
    if (entry && entry->size == stamp.size && entry->modifiedNs == stamp.modifiedNs) {
        // Another thread read some fields of the same file meanwhile.
        mergeFields(&entry->values, read, missing);
        entry->fields |= missing;
        return entry->values;
    }
    m_entries.insert(path, new Entry{stamp.size, stamp.modifiedNs, held | missing, values});
    return values;
}

void MediaCache::clear()
{
    const QMutexLocker lock(&m_mutex);
    m_entries.clear();
}

} // namespace qv
