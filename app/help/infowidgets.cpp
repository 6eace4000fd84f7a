#include "app/help/infowidgets.h"

#include "app/palettecolours.h"
#include "app/screenfit.h"

#include <QMouseEvent>
#include <QShortcut>

namespace qv {

LinkLabel::LinkLabel(const QString& name, const QString& caption, QWidget* parent,
                     const QColor& colour)
    : QLabel(caption, parent)
{
    setObjectName(name);
    setTextFormat(Qt::PlainText);
    QFont f = font();
    f.setBold(true);
    f.setUnderline(true);
    setFont(f);
    if (colour.isValid())
        keepTextReadable(this, colour);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

// Like a button: the click counts only when the mouse is released over the label.
void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

QLabel* makeHeading(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    QFont f = label->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    label->setFont(f);
    return label;
}

QLabel* makeParagraph(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

void setUpToolWindow(QWidget* window, const QString& name, const QString& caption, QSize client,
                     bool alwaysOnTop)
{
    window->setObjectName(name);
    window->setWindowTitle(caption);
    Qt::WindowFlags flags =
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (alwaysOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    window->setWindowFlags(flags);
    window->setFixedSize(client);
    centreOnPrimaryScreen(window);
    // Closing only hides these windows; Esc does the same as their close button.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}

void centreOnPrimaryScreen(QWidget* window)
{
    centreOnScreen(window, window->size());
    keepInsideScreen(window);
}

} // namespace qv
