#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;

namespace qv {

// Drops refused characters from text that reaches an edit other than by typing a key: pasted
// (Ctrl+V, middle click, the context menu), dropped, or committed by an input method. Typed keys
// are filtered where they are pressed. Text set by the program itself (a loaded configuration)
// is left as it is, and so are refused characters the edit already held before the change.
class InsertedTextFilter : public QObject
{
    Q_OBJECT
public:
    InsertedTextFilter(QLineEdit* edit, std::function<bool(QChar)> accepts);

private:
    void changed(const QString& text);
    void edited(const QString& text);

    QLineEdit* m_edit;
    std::function<bool(QChar)> m_accepts;
    // The text before the latest change and the text now: an edit is compared with the text
    // that was there before it, whichever of the two signals arrives first.
    QString m_previous;
    QString m_current;
    bool m_filtering = false;
};

} // namespace qv
