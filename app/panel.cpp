#include "app/panel.h"

#include <QApplication>
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
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(78, 78, 78));
    setPalette(p);
}

void Panel::setBackgroundColour(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    setAutoFillBackground(true);
}

QColor darkerButtonFace(int amount)
{
    const QColor face = QApplication::palette().color(QPalette::Button);
    return QColor(qMax(0, face.red() - amount), qMax(0, face.green() - amount),
                  qMax(0, face.blue() - amount));
}

} // namespace qv
