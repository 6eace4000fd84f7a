#include "rename/namesearch.h"

#include "text/textutil.h"

namespace qv {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

NameSearch::NameSearch(const RenameSettings& settings)
    : m_regex(settings.searchRegex),
      m_sensitivity(settings.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive),
      m_old(settings.searchOld), m_new(settings.searchNew)
{
    if (!m_regex)
        return;
    QRegularExpression::PatternOptions options = QRegularExpression::NoPatternOption;
    if (!settings.matchCase)
        options |= QRegularExpression::CaseInsensitiveOption;
    m_expression = QRegularExpression(m_old, options);
    // Compiled here, once: a run matches from two threads.
    m_valid = m_expression.isValid();
    if (!m_valid)
        return;
    m_expression.optimize();

    QString literal;
    const QString& with = m_new;
    for (qsizetype i = 0; i < with.size(); ++i) {
        const QChar c = with[i];
        const bool marker = c == u'\\' || c == u'$';
        if (marker && i + 1 < with.size() && isDigit(with[i + 1])) {
            if (!literal.isEmpty())
                m_parts.push_back({std::exchange(literal, {}), -1});
            m_parts.push_back({{}, with[i + 1].unicode() - u'0'});
            ++i;
        } else if (marker && i + 1 < with.size() && with[i + 1] == c) {
            literal += c;
            ++i;
        } else {
            literal += c;
        }
    }
    if (!literal.isEmpty())
        m_parts.push_back({literal, -1});
}

QString NameSearch::replaced(const QString& text) const
{
    if (!m_regex)
        return ReplaceAll(text, m_old, m_new, m_sensitivity);
    if (!m_valid || text.isEmpty())
        return text;
    QString result;
    qsizetype copied = 0;
    QRegularExpressionMatchIterator matches = m_expression.globalMatch(text);
    if (!matches.hasNext())
        return text;
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        result.append(QStringView(text).sliced(copied, match.capturedStart() - copied));
        for (const Part& part : m_parts) {
            if (part.group < 0)
                result.append(part.text);
            else if (part.group <= m_expression.captureCount())
                result.append(match.capturedView(part.group));
        }
        copied = match.capturedEnd();
    }
    result.append(QStringView(text).sliced(copied));
    return result;
}

} // namespace qv
