#include "app/panel.h"

#include "app/palettecolours.h"

#include <QEvent>
#include <QPalette>

namespace qv {

Panel::Panel(const QString& name, QWidget* parent, Bevel bevel) : QLabel(parent)
{
    setObjectName(name);
    switch (bevel) {
    case LoweredInner:
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        break;
    case LoweredOuter:
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
    case Flat:
        setFrameStyle(QFrame::NoFrame);
        break;
    }
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Panel::makeHeading()
{
    setFrameStyle(QFrame::NoFrame);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(13);
    setFont(f);
    keepTextReadable(this, QColor(78, 78, 78));
}

void Panel::setDarkerButtonFace(int amount)
{
    m_darker = amount;
    setAutoFillBackground(true);
    fillDarkerButtonFace();
}

void Panel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    // Setting the same colour again sends no further change.
    if (event->type() == QEvent::PaletteChange && m_darker >= 0)
        fillDarkerButtonFace();
}

void Panel::fillDarkerButtonFace()
{
    QPalette p = palette();
    const QColor face = p.color(QPalette::Active, QPalette::Button);
    p.setColor(QPalette::Window,
               QColor(qMax(0, face.red() - m_darker), qMax(0, face.green() - m_darker),
                      qMax(0, face.blue() - m_darker)));
    setPalette(p);
}

} // namespace qv
