#include "rename/renamename.h"

#include "rename/lettercase.h"
#include "rename/placeholders.h"

#include "metadata/mediacache.h"
#include "text/pathbytes.h"
#include "text/textutil.h"

#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace qv {

namespace {

// The name as a text of exactly its size, without room to grow: a run keeps one for every entry.
QString withExtension(const QString& part, QStringView ext)
{
    if (ext.isEmpty())
        return part;
    QString name(part.size() + ext.size(), Qt::Uninitialized);
    std::copy(part.begin(), part.end(), name.begin());
    std::copy(ext.begin(), ext.end(), name.begin() + part.size());
    return name;
}

// Replaces every `placeholder` in the text pieces, left to right as ReplaceAll does, with a
// piece of `kind` or, for a value the same for every entry, with that text. Names and numbers
// are already pieces of their own and take no part in the search.
void replacePieces(std::vector<NameForm::Piece>& pieces, const QString& placeholder,
                   NameForm::PieceKind kind, const QString& value = {},
                   PlaceholderValue fileValue = PlaceholderValue::Name)
{
    std::vector<NameForm::Piece> result;
    result.reserve(pieces.size());
    const auto appendText = [&result](QStringView text) {
        if (text.isEmpty())
            return;
        if (!result.empty() && result.back().kind == NameForm::PieceKind::Text)
            result.back().text += text;
        else
            result.push_back({NameForm::PieceKind::Text, text.toString()});
    };
    for (NameForm::Piece& piece : pieces) {
        if (piece.kind != NameForm::PieceKind::Text) {
            result.push_back(std::move(piece));
            continue;
        }
        const QStringView text(piece.text);
        qsizetype copied = 0;
        for (qsizetype at = text.indexOf(placeholder); at >= 0;
             at = text.indexOf(placeholder, at + placeholder.size())) {
            appendText(text.sliced(copied, at - copied));
            if (kind == NameForm::PieceKind::Text)
                appendText(value);
            else
                result.push_back({kind, {}, fileValue});
            copied = at + placeholder.size();
        }
        appendText(text.sliced(copied));
    }
    pieces = std::move(result);
}

// Whether a piece of `kind` has a '%' in the text on both sides: a value put there could make
// a placeholder with the text around it.
bool enclosed(const std::vector<NameForm::Piece>& pieces, NameForm::PieceKind kind)
{
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < qsizetype(pieces.size()); ++i) {
        if (pieces[size_t(i)].kind == NameForm::PieceKind::Text &&
            pieces[size_t(i)].text.contains(u'%')) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    for (qsizetype i = first + 1; i < last; ++i) {
        if (pieces[size_t(i)].kind == kind)
            return true;
    }
    return false;
}

bool anyPercent(const std::vector<NameForm::Piece>& pieces)
{
    return std::any_of(pieces.begin(), pieces.end(), [](const NameForm::Piece& p) {
        return p.kind == NameForm::PieceKind::Text && p.text.contains(u'%');
    });
}

// Whether the placeholder's value comes from the entry's file under the settings' date source.
bool fromFile(PlaceholderValue value, DateSource source)
{
    if (isMoment(value))
        return source != DateSource::Today;
    switch (value) {
    case PlaceholderValue::Artist:
    case PlaceholderValue::Album:
    case PlaceholderValue::Title:
    case PlaceholderValue::Track:
    case PlaceholderValue::TagYear:
    case PlaceholderValue::Camera:
        return true;
    default:
        return false;
    }
}

// What the file must be read for to give the placeholder's value (MediaField bits); the
// modification time needs no more than a look at the file.
unsigned mediaFieldOf(PlaceholderValue value, DateSource source)
{
    if (isMoment(value))
        return source == DateSource::Taken || source == DateSource::TakenOrModified
                   ? unsigned(MediaDateTaken)
                   : 0;
    switch (value) {
    case PlaceholderValue::Artist:
        return MediaArtist;
    case PlaceholderValue::Album:
        return MediaAlbum;
    case PlaceholderValue::Title:
        return MediaTitle;
    case PlaceholderValue::Track:
        return MediaTrack;
    case PlaceholderValue::TagYear:
        return MediaYear;
    case PlaceholderValue::Camera:
        return MediaCamera;
    default:
        return 0;
    }
}

// A tag as a name shows it: trimmed, and each character a name cannot hold or the mask refuses
// as "_", so that "AC/DC" gives "AC_DC".
QString nameSafe(const QString& value)
{
    QString text = value.trimmed();
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || QStringView(u"\"*/:<>?\\|").contains(c))
            c = u'_';
    }
    return text;
}

// The text of a file value, or nothing when the file has none.
std::optional<QString> fileValueText(PlaceholderValue value, DateSource source,
                                     const MediaValues& media)
{
    if (isMoment(value)) {
        WallTime moment = source == DateSource::Modified ? media.modified : media.taken;
        if (source == DateSource::TakenOrModified && !moment.isValid())
            moment = media.modified;
        if (!moment.isValid())
            return std::nullopt;
        PlaceholderValues values;
        values.moment = moment;
        return placeholderText(value, values);
    }
    QString text;
    switch (value) {
    case PlaceholderValue::Artist:
        text = nameSafe(media.artist);
        break;
    case PlaceholderValue::Album:
        text = nameSafe(media.album);
        break;
    case PlaceholderValue::Title:
        text = nameSafe(media.title);
        break;
    case PlaceholderValue::Camera:
        text = nameSafe(media.camera);
        break;
    case PlaceholderValue::Track:
        if (media.track > 0)
            text = QString::number(media.track).rightJustified(2, u'0');
        break;
    case PlaceholderValue::TagYear:
        if (media.year > 0)
            text = QString::number(media.year);
        break;
    default:
        break;
    }
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

} // namespace

NameForm::NameForm(const RenameSettings& settings, int entryCount, const WallTime& now, bool parse)
    : m_settings(settings), m_entryCount(entryCount), m_search(settings), m_now(now)
{
    if (!IsNumber(settings.numStart, &m_start))
        m_start = 1;
    if (!settings.maskActive) {
        m_byPieces = true;
        return;
    }
    if (!parse) {
        m_byPieces = false;
        return;
    }
    // The same replacements in the same order as for a single name, on the mask alone.
    m_pieces.push_back({PieceKind::Text, settings.mask});
    replacePieces(m_pieces, placeholder(PlaceholderValue::Name).english, PieceKind::Name);
    bool safe = !enclosed(m_pieces, PieceKind::Name);
    if (anyPercent(m_pieces)) {
        const PlaceholderValues values{{}, 0, entryCount, now, settings.digits};
        for (const Placeholder& p : placeholders()) {
            for (const QString& spelling : spellings(p)) {
                if (fromFile(p.value, settings.dateSource)) {
                    replacePieces(m_pieces, spelling, PieceKind::FileValue, {}, p.value);
                    continue;
                }
                switch (p.value) {
                case PlaceholderValue::Name:
                    break;
                case PlaceholderValue::Number:
                    replacePieces(m_pieces, spelling, PieceKind::Number);
                    // A number of 0 between "%" and "num%" would make "%0num%".
                    safe = safe && !enclosed(m_pieces, PieceKind::Number);
                    break;
                case PlaceholderValue::ZeroNumber:
                    replacePieces(m_pieces, spelling, PieceKind::PaddedNumber);
                    break;
                default:
                    replacePieces(m_pieces, spelling, PieceKind::Text,
                                  placeholderText(p.value, values));
                }
            }
        }
    }
    m_byPieces = safe;
    m_countWidth = zeroNumberWidth(m_entryCount, settings.digits);
    m_wantsNumber = std::any_of(m_pieces.begin(), m_pieces.end(), [](const Piece& p) {
        return p.kind == PieceKind::Number || p.kind == PieceKind::PaddedNumber;
    });
    for (const Piece& piece : m_pieces) {
        if (piece.kind != PieceKind::FileValue)
            continue;
        m_fileFields |= mediaFieldOf(piece.value, settings.dateSource);
        m_fileMoment = m_fileMoment || isMoment(piece.value);
    }
}

qint64 NameForm::number(int position, const std::function<int()>& previewPosition) const
{
    int pos = 0;
    if (position >= 0)
        pos = position;
    else if (position == -1 && previewPosition)
        pos = previewPosition();
    return qint64(m_start) + pos;
}

bool NameForm::fileTexts(const std::vector<Piece>& pieces, const QString& path, FileTexts& texts,
                         std::optional<PlaceholderValue>& missing) const
{
    unsigned fields = 0;
    bool any = false;
    for (const Piece& piece : pieces) {
        if (piece.kind == PieceKind::FileValue) {
            fields |= mediaFieldOf(piece.value, m_settings.dateSource);
            any = true;
        }
    }
    if (!any)
        return true;
    const MediaValues media = MediaCache::shared().values(path, fields);
    for (const Piece& piece : pieces) {
        if (piece.kind != PieceKind::FileValue || !texts[size_t(piece.value)].isNull())
            continue;
        std::optional<QString> text = fileValueText(piece.value, m_settings.dateSource, media);
        if (!text) {
            // A file that cannot be looked at lacks every value: say that, not the first one.
            missing = media.readable ? piece.value : PlaceholderValue::Name;
            return false;
        }
        texts[size_t(piece.value)] = std::move(*text);
    }
    return true;
}

QString NameForm::maskedBySteps(QString part, int position,
                                const std::function<int()>& previewPosition, const QString& path,
                                std::optional<PlaceholderValue>& missing) const
{
    part = ReplaceAll(m_settings.mask, placeholder(PlaceholderValue::Name).english, part);
    if (!part.contains(u'%'))
        return part;
    // The position is looked up only when a number is wanted: the preview's lookup walks the
    // whole list. Each value is formed only when its placeholder is there.
    PlaceholderValues values{{}, 0, m_entryCount, m_now, m_settings.digits};
    bool numbered = false;
    bool fileValues = false;
    for (const Placeholder& p : placeholders()) {
        if (p.value == PlaceholderValue::Name)
            continue;
        // The file's values come last in the table: they go in below, and are never searched
        // for placeholders again, as with the mask's pieces.
        if (fromFile(p.value, m_settings.dateSource)) {
            fileValues = true;
            break;
        }
        for (const QString* spelling : {&p.english, &p.german}) {
            if ((spelling == &p.german && p.german == p.english) || !part.contains(*spelling))
                continue;
            if (!numbered &&
                (p.value == PlaceholderValue::Number || p.value == PlaceholderValue::ZeroNumber)) {
                values.number = number(position, previewPosition);
                numbered = true;
            }
            part = ReplaceAll(part, *spelling, placeholderText(p.value, values));
        }
        if (!part.contains(u'%'))
            return part;
    }
    if (!fileValues)
        return part;
    std::vector<Piece> pieces{{PieceKind::Text, part}};
    for (const Placeholder& p : placeholders()) {
        if (fromFile(p.value, m_settings.dateSource)) {
            for (const QString& spelling : spellings(p))
                replacePieces(pieces, spelling, PieceKind::FileValue, {}, p.value);
        }
    }
    FileTexts texts;
    if (!fileTexts(pieces, path, texts, missing))
        return {};
    QString joined;
    for (const Piece& piece : pieces)
        joined += piece.kind == PieceKind::Text ? piece.text : texts[size_t(piece.value)];
    return joined;
}

QString NameForm::formed(QStringView file, int position,
                         const std::function<int()>& previewPosition, const QString& path,
                         std::optional<PlaceholderValue>& missing) const
{
    const qsizetype dot = file.lastIndexOf(u'.');
    const QStringView ext = dot < 0 ? QStringView() : file.mid(dot);
    const QStringView base = file.left(file.size() - ext.size());

    QString part;
    if (!m_settings.maskActive) {
        part = base.toString();
    } else if (m_byPieces && !base.contains(u'%')) {
        char16_t numRoom[48];
        char16_t paddedRoom[48];
        QStringView num;
        QStringView padded;
        if (m_wantsNumber) {
            const qint64 n = number(position, previewPosition);
            num = placeholderNumber(n, 0, numRoom);
            padded = placeholderNumber(n, m_countWidth, paddedRoom);
        }
        FileTexts texts;
        if (readsFiles() && !fileTexts(m_pieces, path, texts, missing))
            return {};
        const auto text = [&](const Piece& piece) -> QStringView {
            switch (piece.kind) {
            case PieceKind::Text:
                return piece.text;
            case PieceKind::Name:
                return base;
            case PieceKind::Number:
                return num;
            case PieceKind::PaddedNumber:
                return padded;
            case PieceKind::FileValue:
                return texts[size_t(piece.value)];
            }
            return {};
        };
        qsizetype size = 0;
        for (const Piece& piece : m_pieces)
            size += text(piece).size();
        // Without a search the extension joins at once: the name is made in its final size.
        const QStringView tail = m_settings.searchActive ? QStringView() : ext;
        part = QString(size + tail.size(), Qt::Uninitialized);
        QChar* out = part.data();
        for (const Piece& piece : m_pieces) {
            const QStringView t = text(piece);
            out = std::copy(t.begin(), t.end(), out);
        }
        std::copy(tail.begin(), tail.end(), out);
        if (!m_settings.searchActive)
            return cased(std::move(part));
    } else {
        part = maskedBySteps(base.toString(), position, previewPosition, path, missing);
        if (missing)
            return {};
    }

    if (!m_settings.searchActive)
        return cased(withExtension(part, ext));
    if (m_settings.searchInName && m_settings.searchInExtension)
        return cased(m_search.replaced(withExtension(part, ext)));
    if (m_settings.searchInName)
        return cased(withExtension(m_search.replaced(part), ext));
    if (m_settings.searchInExtension)
        return cased(withExtension(part, m_search.replaced(ext.toString())));
    return cased(withExtension(part, ext));
}

QString NameForm::cased(QString name) const
{
    if (m_settings.letterCase == LetterCase::Keep && !m_settings.extensionLower)
        return name;
    // The extension is what follows the last full stop of the name as formed, as for the old
    // name.
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot < 0 ? name : name.first(dot);
    const QString ext = dot < 0 ? QString() : name.sliced(dot);
    return withLetterCase(base, m_settings.letterCase) +
           (m_settings.extensionLower ? ext.toLower() : ext);
}

QString NameForm::name(const QString& name, int position,
                       const std::function<int()>& previewPosition,
                       std::optional<PlaceholderValue>* missing) const
{
    if (name.isEmpty())
        return {};
    std::optional<PlaceholderValue> lacking;
    // A name that keeps bytes that are not UTF-8 is formed from the text the user sees. Where
    // that text comes out as it went in, the name stays: its bytes are not rewritten as U+FFFD.
    const QStringView given = fileNameIn(name);
    QString made;
    if (hasRawBytes(given)) {
        const QString shown = shownText(given.toString());
        made = formed(shown, position, previewPosition, name, lacking);
        if (made == shown)
            made = given.toString();
    } else {
        made = formed(given, position, previewPosition, name, lacking);
    }
    if (missing)
        *missing = lacking;
    return lacking ? QString() : made;
}

QString expressionError(const RenameSettings& settings)
{
    if (!settings.searchActive || !settings.searchRegex)
        return {};
    const QRegularExpression expression(settings.searchOld);
    return expression.isValid() ? QString() : expression.errorString();
}

QString RenameName(const QString& name, int position, const RenameSettings& settings,
                   int entryCount, const WallTime& now, const std::function<int()>& previewPosition,
                   std::optional<PlaceholderValue>* missing)
{
    return NameForm(settings, entryCount, now, false)
        .name(name, position, previewPosition, missing);
}

} // namespace qv
