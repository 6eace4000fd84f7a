#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>

namespace qv {

// Keeps children at fixed distances to the edges of their parent that they are anchored to, as
// the window is resized. Geometry set explicitly later stays the base for the next resize.
class Anchors : public QObject
{
    Q_OBJECT
public:
    enum Edge
    {
        Left = 1,
        Top = 2,
        Right = 4,
        Bottom = 8,
        All = 15
    };
    explicit Anchors(QObject* parent) : QObject(parent) {}

    // Places widget at the design geometry and anchors it to the given edges (Left|Top default).
    void place(QWidget* widget, const QRect& geometry, int edges = Left | Top);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Child
    {
        QPointer<QWidget> widget;
        int edges;
    };
    QHash<QWidget*, QList<Child>> m_children;
    QHash<QWidget*, QSize> m_parentSize;
};

} // namespace qv
