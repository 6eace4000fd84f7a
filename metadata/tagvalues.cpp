#include "metadata/mediareaders.h"

#include <taglib/fileref.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tfile.h>
#include <taglib/tpropertymap.h>

#include <mutex>

namespace qv {

namespace {

class SilentListener : public TagLib::DebugListener
{
public:
    void printMessage(const TagLib::String&) override {}
};

void setUpTagLib()
{
    static std::once_flag done;
    static SilentListener silent;
    // Its notes about damaged files would land on the program's own output.
    std::call_once(done, [] { TagLib::setDebugListener(&silent); });
}

QString textOf(const TagLib::String& text)
{
    return QString::fromStdString(text.to8Bit(true)).trimmed();
}

// The first value of a tag, trimmed; a tag may hold several (two artists of one song).
QString firstValue(const TagLib::PropertyMap& properties, const char* key)
{
    const auto found = properties.find(key);
    if (found == properties.end() || found->second.isEmpty())
        return {};
    return textOf(found->second.front());
}

} // namespace

void readTagFields(const QByteArray& path, unsigned fields, MediaValues* values)
{
    setUpTagLib();
    try {
        // The length and bit rate are not needed: they cost a read of the audio itself.
        const TagLib::FileRef ref(path.constData(), false);
        if (ref.isNull())
            return;
        // Each tag as the file's main tag holds it; an MP3's ID3v1 tag fills what its ID3v2 tag
        // lacks, as the tag of both gives it.
        const TagLib::PropertyMap properties = ref.file()->properties();
        const TagLib::Tag* either = ref.tag();
        const auto fill = [&](unsigned field, QString* value, const char* key,
                              TagLib::String (TagLib::Tag::*plain)() const) {
            if (!(fields & field))
                return;
            *value = firstValue(properties, key);
            if (value->isEmpty() && either)
                *value = textOf((either->*plain)());
        };
        fill(MediaArtist, &values->artist, "ARTIST", &TagLib::Tag::artist);
        fill(MediaAlbum, &values->album, "ALBUM", &TagLib::Tag::album);
        fill(MediaTitle, &values->title, "TITLE", &TagLib::Tag::title);
        if (fields & MediaTrack) {
            values->track = leadingNumber(firstValue(properties, "TRACKNUMBER").toStdString());
            if (values->track == 0 && either)
                values->track = int(either->track());
        }
        if (fields & MediaYear) {
            values->year = leadingYear(firstValue(properties, "DATE").toStdString());
            if (values->year == 0 && either)
                values->year = int(either->year());
        }
    } catch (...) {
        // A file TagLib cannot read has no values.
    }
}

} // namespace qv
