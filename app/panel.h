#pragma once

#include <QIcon>
#include <QLabel>
#include <QList>

namespace qv {

// A container with a bevel and an optional caption. Panels are a kind of their own: the
// configuration stores whether each one is set visible.
class Panel : public QLabel
{
    Q_OBJECT
public:
    enum Bevel
    {
        LoweredInner,
        LoweredOuter,
        Flat
    };
    Panel(const QString& name, QWidget* parent, Bevel bevel = LoweredInner);

    // A heading bar: bold 13-pixel caption in dark grey, left-aligned.
    void makeHeading();
    // Paints its own background in colour instead of taking the parent's.
    void setBackgroundColour(const QColor& colour);
};

// The icons of the Software menus, in product order.
class ImageList : public QObject
{
    Q_OBJECT
public:
    ImageList(const QString& name, QObject* parent) : QObject(parent) { setObjectName(name); }
    QList<QIcon> icons;
};

// The system button-face colour with amount subtracted from each component, clamped at 0.
QColor darkerButtonFace(int amount);

} // namespace qv
