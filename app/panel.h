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
    // Paints its own background instead of taking the parent's: the palette's button face with
    // amount subtracted from each component (clamped at 0), following every palette change.
    void setDarkerButtonFace(int amount);

protected:
    void changeEvent(QEvent* event) override;

private:
    void fillDarkerButtonFace();

    int m_darker = -1;
};

// The icons of the Software menus, in product order.
class ImageList : public QObject
{
    Q_OBJECT
public:
    ImageList(const QString& name, QObject* parent) : QObject(parent) { setObjectName(name); }
    QList<QIcon> icons;
};

} // namespace qv
