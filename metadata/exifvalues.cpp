#include "metadata/mediareaders.h"

#include <exiv2/exiv2.hpp>

#include <mutex>

namespace qv {

namespace {

void setUpExiv2()
{
    static std::once_flag done;
    std::call_once(done, [] {
        // Its warnings about damaged files would land on the program's own output.
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        // The XMP toolkit starts itself on the first file that holds XMP, unless it is started
        // here once: two threads starting it at once would break it.
        Exiv2::XmpParser::initialize();
        // HEIF, AVIF and CR3 are read only when asked for.
        Exiv2::enableBMFF(true);
        // The translations of its messages are looked up unguarded on the first message, such
        // as that of the first damaged file; two threads at once would both set them up.
        Exiv2::exvGettext("");
    });
}

QString trimmedText(const std::string& text)
{
    // A value's text ends at its first NUL; cameras pad with them.
    const size_t end = text.find('\0');
    return QString::fromUtf8(text.data(), qsizetype(end == std::string::npos ? text.size() : end))
        .trimmed();
}

WallTime takenOf(const Exiv2::ExifData& exif)
{
    for (const char* key : {"Exif.Photo.DateTimeOriginal", "Exif.Photo.DateTimeDigitized"}) {
        const auto found = exif.findKey(Exiv2::ExifKey(key));
        if (found == exif.end())
            continue;
        const WallTime taken = exifDateTime(found->toString());
        if (taken.isValid())
            return taken;
    }
    return {};
}

void readValues(Exiv2::Image& image, unsigned fields, MediaValues* values)
{
    try {
        image.readMetadata();
    } catch (...) {
        // A damaged segment after the EXIF (an ICC profile, XMP) leaves the EXIF as read.
    }
    const Exiv2::ExifData& exif = image.exifData();
    if (exif.empty())
        return;
    if (fields & MediaDateTaken)
        values->taken = takenOf(exif);
    if (fields & MediaCamera) {
        const auto model = exif.findKey(Exiv2::ExifKey("Exif.Image.Model"));
        if (model != exif.end())
            values->camera = trimmedText(model->toString());
    }
}

} // namespace

// exiv2 throws at what it cannot read; a file it cannot read has no values, and what it had
// read before stays.
void readExifFields(const QByteArray& path, unsigned fields, MediaValues* values)
{
    setUpExiv2();
    try {
        const Exiv2::Image::AutoPtr image =
            Exiv2::ImageFactory::open(std::string(path.constData(), size_t(path.size())), false);
        if (image.get())
            readValues(*image, fields, values);
    } catch (...) {
    }
}

void readExifFieldsOfContent(QByteArrayView content, unsigned fields, MediaValues* values)
{
    setUpExiv2();
    try {
        // The bytes are read where they are, not copied.
        const Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(
            reinterpret_cast<const Exiv2::byte*>(content.data()), long(content.size()));
        if (image.get())
            readValues(*image, fields, values);
    } catch (...) {
    }
}

} // namespace qv
