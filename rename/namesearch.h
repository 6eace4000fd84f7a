#pragma once

#include "rename/renamesettings.h"

#include <QRegularExpression>
#include <QString>

#include <vector>

namespace qv {

// The search and replace of the settings, made ready once for every name of a run: plain text
// with or without regard to case, or a regular expression whose replacement names the whole
// match and its groups as \0 to \9 or $0 to $9 ("\\" and "$$" stand for the characters).
class NameSearch
{
public:
    explicit NameSearch(const RenameSettings& settings);

    // False when the expression is not one: nothing can be searched (see expressionError).
    bool valid() const { return m_valid; }
    // The text with every match replaced, left to right, each match once.
    QString replaced(const QString& text) const;

private:
    // A piece of the replacement: literal text, or the group of `group`.
    struct Part
    {
        QString text;
        int group = -1;
    };

    bool m_regex = false;
    bool m_valid = true;
    Qt::CaseSensitivity m_sensitivity = Qt::CaseSensitive;
    QString m_old;
    QString m_new;
    QRegularExpression m_expression;
    std::vector<Part> m_parts;
};

} // namespace qv
