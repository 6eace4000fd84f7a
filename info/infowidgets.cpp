#include "info/infowidgets.h"

#include "app/screenfit.h"

#include <QMouseEvent>

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
    if (colour.isValid()) {
        QPalette p = palette();
        p.setColor(QPalette::WindowText, colour);
        setPalette(p);
    }
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
}

void centreOnPrimaryScreen(QWidget* window)
{
    centreOnScreen(window, window->size());
    keepInsideScreen(window);
}

} // namespace qv
