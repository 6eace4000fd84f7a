#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace qv {

// Many short texts that live as long as one another, kept side by side in large blocks instead
// of in an allocation each: a text then costs its characters and no header. The strings handed
// out refer into the blocks (QString::fromRawData) and must not outlive them; changing such a
// string copies it out first, as Qt does for raw data. One thread keeps texts at a time.
class TextBlocks
{
public:
    // The text as kept here; empty and long texts are handed back as they are.
    QString keep(QString text);
    // A text of `size` units that fill(QChar*) writes, made here without a string of its own
    // first (one of its own where it is empty or long).
    template <typename Fill> QString make(qsizetype size, Fill fill)
    {
        if (size == 0 || size > longestKept) {
            QString text(size, Qt::Uninitialized);
            fill(text.data());
            return text;
        }
        QChar* const kept = room(size);
        fill(kept);
        return QString::fromRawData(kept, size);
    }

private:
    // Space for a text of `size` units, its ending zero written.
    QChar* room(qsizetype size);

    static constexpr qsizetype blockUnits = 32768;
    // Longer texts keep an allocation of their own: a block's unused end stays small.
    static constexpr qsizetype longestKept = blockUnits / 16;

    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    char16_t* m_free = nullptr;
    qsizetype m_left = 0;
};

} // namespace qv
