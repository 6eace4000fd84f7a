#include "text/textblocks.h"

#include <algorithm>

namespace qv {

QString TextBlocks::keep(QString text)
{
    const qsizetype size = text.size();
    if (size == 0 || size > longestKept)
        return text;
    QChar* const start = room(size);
    std::copy_n(text.constData(), size, start);
    return QString::fromRawData(start, size);
}

QChar* TextBlocks::room(qsizetype size)
{
    // Each text ends with a zero, as a string of its own would, for whoever reads it as one.
    if (m_left < size + 1) {
        m_blocks.push_back(std::make_unique_for_overwrite<char16_t[]>(size_t(blockUnits)));
        m_free = m_blocks.back().get();
        m_left = blockUnits;
    }
    char16_t* const start = m_free;
    start[size] = u'\0';
    m_free += size + 1;
    m_left -= size + 1;
    return reinterpret_cast<QChar*>(start);
}

} // namespace qv
