#include "metadata/mediavalues.h"
#include "metadata/mediareaders.h"
#include "text/pathbytes.h"

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#else
#include <QFile>
#include <QFileInfo>
#endif

namespace qv {

namespace {

constexpr unsigned imageFields = MediaDateTaken | MediaCamera;
constexpr unsigned audioFields = MediaArtist | MediaAlbum | MediaTitle | MediaTrack | MediaYear;

enum class MediaKind
{
    None,
    Image,
    Audio
};

bool startsWith(std::string_view head, std::string_view magic, size_t at = 0)
{
    return head.size() >= at + magic.size() && head.substr(at, magic.size()) == magic;
}

// What the first bytes of a file say it is. An ISO media file (ftyp) is a photo by its brand
// (HEIF, AVIF, Canon's CR3) and a song or film otherwise.
MediaKind kindByContent(std::string_view head)
{
    using namespace std::string_view_literals;
    if (startsWith(head, "\xff\xd8\xff"sv) || startsWith(head, "\x89PNG"sv) ||
        startsWith(head, "II*\0"sv) || startsWith(head, "MM\0*"sv) || startsWith(head, "IIRO"sv) ||
        startsWith(head, "IIRS"sv) || startsWith(head, "IIU\0"sv) ||
        startsWith(head, "FUJIFILM"sv) || startsWith(head, "\0MRM"sv) ||
        startsWith(head, "GIF8"sv) || startsWith(head, "8BPS"sv) ||
        startsWith(head, "\0\0\0\x0cjP  "sv) ||
        (startsWith(head, "RIFF") && startsWith(head, "WEBP", 8)))
        return MediaKind::Image;
    if (startsWith(head, "ftyp", 4)) {
        for (const std::string_view brand :
             {"heic"sv, "heix"sv, "heim"sv, "heis"sv, "hevc"sv, "hevx"sv, "mif1"sv, "msf1"sv,
              "avif"sv, "avis"sv, "crx "sv}) {
            if (startsWith(head, brand, 8))
                return MediaKind::Image;
        }
        return MediaKind::Audio;
    }
    const bool mpegSync =
        head.size() >= 2 && uchar(head[0]) == 0xff && (uchar(head[1]) & 0xe0) == 0xe0;
    if (mpegSync || startsWith(head, "ID3") || startsWith(head, "fLaC") ||
        startsWith(head, "OggS") || startsWith(head, "MAC ") || startsWith(head, "wvpk") ||
        startsWith(head, "MPCK") || startsWith(head, "MP+") || startsWith(head, "TTA1") ||
        startsWith(head, "\x30\x26\xb2\x75\x8e\x66\xcf\x11"sv) ||
        (startsWith(head, "RIFF") && startsWith(head, "WAVE", 8)) ||
        (startsWith(head, "FORM") && (startsWith(head, "AIFF", 8) || startsWith(head, "AIFC", 8))))
        return MediaKind::Audio;
    return MediaKind::None;
}

// What the name says, for a file whose first bytes are not known here.
MediaKind kindByName(const QByteArray& path)
{
    const qsizetype dot = path.lastIndexOf('.');
    if (dot < 0 || dot < path.lastIndexOf('/') || path.size() - dot > 6)
        return MediaKind::None;
    const QByteArray extension = path.mid(dot + 1).toLower();
    static const char* const images[] = {"jpg",  "jpeg", "jpe", "png", "tif", "tiff", "dng",
                                         "nef",  "nrw",  "cr2", "cr3", "crw", "arw",  "srw",
                                         "sr2",  "orf",  "rw2", "raf", "pef", "webp", "heic",
                                         "heif", "avif", "jp2", "psd", "exv", "mrw"};
    static const char* const songs[] = {"mp3",  "mp2", "mpga", "flac", "ogg", "oga", "opus", "spx",
                                        "m4a",  "m4b", "m4p",  "mp4",  "aac", "wav", "aif",  "aiff",
                                        "aifc", "ape", "wv",   "mpc",  "tta", "wma", "asf"};
    const auto listed = [&](const auto& names) {
        return std::any_of(std::begin(names), std::end(names),
                           [&](const char* name) { return extension == name; });
    };
    if (listed(images))
        return MediaKind::Image;
    if (listed(songs))
        return MediaKind::Audio;
    return MediaKind::None;
}

#ifdef Q_OS_UNIX
// An open file, closed when it goes.
class OpenFile
{
public:
    explicit OpenFile(const QByteArray& path)
        : m_fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY))
    {
    }
    ~OpenFile() { close(); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    // Appends up to `count` bytes from where `data` ends; false at the file's end or on an error.
    bool readMore(QByteArray* data, qsizetype count)
    {
        const qsizetype had = data->size();
        data->resize(had + count);
        ssize_t got;
        do {
            got = ::pread(m_fd, data->data() + had, size_t(count), off_t(had));
        } while (got < 0 && errno == EINTR);
        data->resize(had + std::max<qsizetype>(got, 0));
        return got > 0;
    }

private:
    int m_fd;
};
#else
// An open file, closed when it goes.
class OpenFile
{
public:
    explicit OpenFile(const QByteArray& path) : m_file(QFile::decodeName(path))
    {
        m_file.open(QIODevice::ReadOnly);
    }

    bool isOpen() const { return m_file.isOpen(); }
    void close() { m_file.close(); }
    // Appends up to `count` bytes from where `data` ends; false at the file's end or on an error.
    bool readMore(QByteArray* data, qsizetype count)
    {
        const qsizetype had = data->size();
        data->resize(had + count);
        const qint64 got = m_file.seek(had) ? m_file.read(data->data() + had, count) : -1;
        data->resize(had + std::max<qsizetype>(got, 0));
        return got > 0;
    }

private:
    QFile m_file;
};
#endif

// Enough for the kind of any file and for the whole header of most photos.
constexpr qsizetype headSize = 64 * 1024;
// Beyond this a JPEG's header is left to exiv2's own reading of the file.
constexpr qsizetype jpegHeaderLimit = 32 * 1024 * 1024;

quint16 bigEndian16(const QByteArray& data, qsizetype at)
{
    return quint16(uchar(data[at]) << 8 | uchar(data[at + 1]));
}

// A JPEG holds its metadata in the segments before its first scan (SOS): with those in memory,
// exiv2 reads them at the cost of this one read instead of a dozen calls on the file. False for
// a header that does not read as a chain of segments up to a scan; exiv2 then reads the file
// itself and decides what it makes of it.
bool readJpegHeader(OpenFile& file, QByteArray* data)
{
    qsizetype at = 2;
    while (true) {
        while (data->size() < at + 4) {
            if (at + 4 > jpegHeaderLimit ||
                !file.readMore(data, std::max(headSize, at + 4 - data->size())))
                return false;
        }
        if (uchar(data->at(at)) != 0xff)
            return false;
        const uchar marker = uchar(data->at(at + 1));
        if (marker == 0xda || marker == 0xd9)
            return true;
        if (marker == 0xff) {
            ++at;
            continue;
        }
        // Markers without a length: a restart or a lone SOI.
        at += marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8) ? 2
                                                                   : 2 + bigEndian16(*data, at + 2);
    }
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

#ifdef Q_OS_UNIX
FileStamp stampFile(const QByteArray& path, MediaValues* values)
{
    FileStamp stamp;
    struct stat st;
    if (path.isEmpty() || ::stat(path.constData(), &st) != 0)
        return stamp;
    values->readable = true;
    stamp.regular = S_ISREG(st.st_mode);
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    // localtime_r, unlike QDateTime, does not look at the system's time zone file anew for
    // every file.
    struct tm local;
    const time_t seconds = st.st_mtim.tv_sec;
    if (::localtime_r(&seconds, &local))
        values->modified = WallTime(QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                                    QTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59),
                                          int(st.st_mtim.tv_nsec / 1000000)));
    return stamp;
}
#else
FileStamp stampFile(const QByteArray& path, MediaValues* values)
{
    FileStamp stamp;
    const QFileInfo info(QFile::decodeName(path));
    if (path.isEmpty() || !info.exists())
        return stamp;
    values->readable = true;
    stamp.regular = info.isFile();
    stamp.size = info.size();
    const QDateTime modified = info.lastModified();
    stamp.modifiedNs = modified.toMSecsSinceEpoch() * 1000000;
    values->modified = WallTime::of(modified);
    return stamp;
}
#endif

void readFields(const QByteArray& path, unsigned fields, MediaValues* values)
{
    if (!(fields & (imageFields | audioFields)))
        return;
    OpenFile file(path);
    QByteArray head;
    if (!file.isOpen() || !file.readMore(&head, headSize))
        return;
    MediaKind kind = kindByContent(std::string_view(head.constData(), size_t(head.size())));
    if (kind == MediaKind::None)
        kind = kindByName(path);
    if (kind == MediaKind::Image && (fields & imageFields)) {
        if (head.startsWith("\xff\xd8\xff") && readJpegHeader(file, &head)) {
            file.close();
            readExifFieldsOfContent(head, fields, values);
        } else {
            file.close();
            readExifFields(path, fields, values);
        }
    } else if (kind == MediaKind::Audio && (fields & audioFields)) {
        file.close();
        readTagFields(path, fields, values);
    }
}

void mergeFields(MediaValues* into, const MediaValues& from, unsigned fields)
{
    if (fields & MediaDateTaken)
        into->taken = from.taken;
    if (fields & MediaCamera)
        into->camera = from.camera;
    if (fields & MediaArtist)
        into->artist = from.artist;
    if (fields & MediaAlbum)
        into->album = from.album;
    if (fields & MediaTitle)
        into->title = from.title;
    if (fields & MediaTrack)
        into->track = from.track;
    if (fields & MediaYear)
        into->year = from.year;
}

WallTime exifDateTime(std::string_view text)
{
    // "YYYY:MM:DD HH:MM:SS", perhaps followed by fractions or a zone that a name does not show.
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (text.size() < 19)
        return {};
    const auto number = [&](size_t at, size_t digits) {
        int value = 0;
        for (size_t i = at; i < at + digits; ++i) {
            if (!isDigit(text[i]))
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const auto dateMark = [&](size_t at) { return text[at] == ':' || text[at] == '-'; };
    if (!dateMark(4) || !dateMark(7) || (text[10] != ' ' && text[10] != 'T') || text[13] != ':' ||
        text[16] != ':')
        return {};
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    const int hour = number(11, 2);
    const int minute = number(14, 2);
    const int second = number(17, 2);
    if (year <= 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0)
        return {};
    const WallTime taken(QDate(year, month, day), QTime(hour, minute, second));
    return taken.isValid() ? taken : WallTime();
}

int leadingNumber(std::string_view text)
{
    int value = 0;
    // Nine digits at most: a tag of more is no number a name shows.
    for (size_t i = 0; i < text.size() && i < 9 && isDigit(text[i]); ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

int leadingYear(std::string_view text)
{
    const bool fourDigits = text.size() >= 4 &&
                            std::all_of(text.begin(), text.begin() + 4, isDigit) &&
                            (text.size() == 4 || !isDigit(text[4]));
    return fourDigits ? leadingNumber(text) : 0;
}

MediaValues readMediaValues(const QString& path, unsigned fields)
{
    MediaValues values;
    const QByteArray bytes = pathBytes(path);
    const FileStamp stamp = stampFile(bytes, &values);
    // Only a file's content holds values; a FIFO or a device is not opened at all.
    if (stamp.regular)
        readFields(bytes, fields, &values);
    return values;
}

} // namespace qv
