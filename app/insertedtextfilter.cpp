#include "app/insertedtextfilter.h"

#include <QLineEdit>

namespace qv {

InsertedTextFilter::InsertedTextFilter(QLineEdit* edit, std::function<bool(QChar)> accepts)
    : QObject(edit), m_edit(edit), m_accepts(std::move(accepts)), m_previous(edit->text()),
      m_current(edit->text())
{
    connect(edit, &QLineEdit::textChanged, this, &InsertedTextFilter::changed);
    connect(edit, &QLineEdit::textEdited, this, &InsertedTextFilter::edited);
}

void InsertedTextFilter::changed(const QString& text)
{
    m_previous = m_current;
    m_current = text;
}

void InsertedTextFilter::edited(const QString& text)
{
    if (m_filtering)
        return;
    const QString& before = text == m_current ? m_previous : m_current;

    // One edit replaces one stretch of the text: what lies between the common start and the
    // common end is what came in.
    const qsizetype limit = qMin(before.size(), text.size());
    qsizetype head = 0;
    while (head < limit && before[head] == text[head])
        ++head;
    qsizetype tail = 0;
    while (tail < limit - head && before[before.size() - 1 - tail] == text[text.size() - 1 - tail])
        ++tail;
    const QString inserted = text.mid(head, text.size() - head - tail);

    QString kept;
    kept.reserve(inserted.size());
    for (const QChar c : inserted) {
        if (m_accepts(c))
            kept.append(c);
    }
    if (kept.size() == inserted.size())
        return;

    m_filtering = true;
    m_edit->setText(text.left(head) + kept + text.right(tail));
    m_edit->setCursorPosition(int(head + kept.size()));
    m_filtering = false;
}

} // namespace qv
