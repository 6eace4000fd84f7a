#include "filelist/asciicollation.h"

#include <QString>

#include <algorithm>
#include <numeric>
#include <vector>

namespace qv {

AsciiCollation::AsciiCollation(const QCollator& collator)
{
    std::vector<char16_t> characters(kLast - kFirst + 1);
    std::iota(characters.begin(), characters.end(), kFirst);
    const auto compareSingle = [&collator](char16_t a, char16_t b) {
        return collator.compare(QStringView(&a, 1), QStringView(&b, 1));
    };
    std::stable_sort(characters.begin(), characters.end(),
                     [&](char16_t a, char16_t b) { return compareSingle(a, b) < 0; });
    quint8 rank = 1;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        if (i > 0 && compareSingle(characters[i - 1], characters[i]) != 0)
            ++rank;
        m_rank[characters[i]] = rank;
    }

    // Every text of one and two characters, in the table's order: the collator must agree on
    // each neighbouring pair, and so on the whole order.
    std::vector<QString> texts;
    texts.reserve(characters.size() * (characters.size() + 1));
    for (const char16_t a : characters) {
        texts.push_back(QString(QChar(a)));
        for (const char16_t b : characters) {
            const char16_t pair[] = {a, b};
            texts.push_back(QStringView(pair, 2).toString());
        }
    }
    m_usable = true;
    std::stable_sort(texts.begin(), texts.end(),
                     [this](const QString& a, const QString& b) { return compare(a, b) < 0; });
    for (std::size_t i = 1; i < texts.size(); ++i) {
        const int byTable = compare(texts[i - 1], texts[i]);
        const int byCollator = collator.compare(texts[i - 1], texts[i]);
        if ((byTable == 0) != (byCollator == 0) || byCollator > 0) {
            m_usable = false;
            return;
        }
    }
}

quint64 AsciiCollation::prefix(QStringView text) const
{
    quint64 value = 0;
    for (qsizetype i = 0; i < 8; ++i)
        value = (value << 8) | (i < text.size() ? m_rank[text[i].unicode()] : 0);
    return value;
}

int AsciiCollation::compare(QStringView a, QStringView b) const
{
    const quint64 pa = prefix(a);
    const quint64 pb = prefix(b);
    if (pa != pb)
        return pa < pb ? -1 : 1;
    return compareAfterPrefix(a, b);
}

int AsciiCollation::compareAfterPrefix(QStringView a, QStringView b) const
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 8; i < n; ++i) {
        const int d = int(m_rank[a[i].unicode()]) - int(m_rank[b[i].unicode()]);
        if (d != 0)
            return d < 0 ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace qv
