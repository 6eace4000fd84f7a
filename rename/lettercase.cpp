#include "rename/lettercase.h"

#include <QList>

namespace qv {

namespace {

bool joinsWord(char32_t c)
{
    return QChar::isLetterOrNumber(c) || c == u'\'' || c == 0x2019 || QChar::isMark(c);
}

// The text lower case but for the first letter of the text (First) or of each word (Words).
QString capitalised(const QString& text, bool everyWord)
{
    QString result;
    result.reserve(text.size());
    bool capitalDone = false;
    char32_t previous = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A letter outside the basic plane is a surrogate pair: converted as one.
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString letter = text.mid(i, length);
        const char32_t code = letter.toUcs4().value(0);
        const bool isLetter = QChar::isLetter(code);
        const bool startsWord = isLetter && (everyWord ? !joinsWord(previous) : !capitalDone);
        if (startsWord) {
            // Title case, where a letter has one ("ǆ" becomes "ǅ", not "Ǆ").
            const char32_t title = QChar::toTitleCase(code);
            result += title != code ? QString::fromUcs4(&title, 1) : letter.toUpper();
            capitalDone = true;
        } else {
            result += letter.toLower();
            if (isLetter)
                capitalDone = true;
        }
        previous = code;
        i += length - 1;
    }
    return result;
}

} // namespace

QString withLetterCase(const QString& text, LetterCase letterCase)
{
    switch (letterCase) {
    case LetterCase::Keep:
        return text;
    case LetterCase::Lower:
        return text.toLower();
    case LetterCase::Upper:
        return text.toUpper();
    case LetterCase::First:
        return capitalised(text, false);
    case LetterCase::Words:
        return capitalised(text, true);
    }
    return text;
}

} // namespace qv
