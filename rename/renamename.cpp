#include "rename/renamename.h"

#include "rename/lettercase.h"
#include "rename/placeholders.h"

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
                   NameForm::PieceKind kind, const QString& value = {})
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
                result.push_back({kind, {}});
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

QString NameForm::maskedBySteps(QString part, int position,
                                const std::function<int()>& previewPosition) const
{
    part = ReplaceAll(m_settings.mask, placeholder(PlaceholderValue::Name).english, part);
    if (!part.contains(u'%'))
        return part;
    // The position is looked up only when a number is wanted: the preview's lookup walks the
    // whole list. Each value is formed only when its placeholder is there.
    PlaceholderValues values{{}, 0, m_entryCount, m_now, m_settings.digits};
    bool numbered = false;
    for (const Placeholder& p : placeholders()) {
        if (p.value == PlaceholderValue::Name)
            continue;
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
            break;
    }
    return part;
}

QString NameForm::formed(QStringView file, int position,
                         const std::function<int()>& previewPosition) const
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
        part = maskedBySteps(base.toString(), position, previewPosition);
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
                       const std::function<int()>& previewPosition) const
{
    if (name.isEmpty())
        return {};
    // A name that keeps bytes that are not UTF-8 is formed from the text the user sees. Where
    // that text comes out as it went in, the name stays: its bytes are not rewritten as U+FFFD.
    const QStringView given = fileNameIn(name);
    if (hasRawBytes(given)) {
        const QString shown = shownText(given.toString());
        QString made = this->name(shown, position, previewPosition);
        return made == shown ? given.toString() : made;
    }
    return formed(given, position, previewPosition);
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
                   PlaceholderValue* missing)
{
    Q_UNUSED(missing)
    return NameForm(settings, entryCount, now, false).name(name, position, previewPosition);
}

} // namespace qv
