#include "app/anchors.h"

#include <QEvent>

namespace qv {

void Anchors::place(QWidget* widget, const QRect& geometry, int edges)
{
    widget->setGeometry(geometry);
    QWidget* parent = widget->parentWidget();
    if (!m_children.contains(parent)) {
        parent->installEventFilter(this);
        m_parentSize.insert(parent, parent->size());
    }
    m_children[parent].append({widget, edges});
}

bool Anchors::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Resize)
        return false;
    auto* parent = static_cast<QWidget*>(watched);
    const QSize old = m_parentSize.value(parent);
    const QSize now = parent->size();
    m_parentSize.insert(parent, now);
    const int dx = now.width() - old.width();
    const int dy = now.height() - old.height();
    if (dx == 0 && dy == 0)
        return false;
    for (const Child& c : m_children.value(parent)) {
        if (!c.widget)
            continue;
        QRect g = c.widget->geometry();
        if (c.edges & Right) {
            if (c.edges & Left)
                g.setWidth(g.width() + dx);
            else
                g.moveLeft(g.left() + dx);
        }
        if (c.edges & Bottom) {
            if (c.edges & Top)
                g.setHeight(g.height() + dy);
            else
                g.moveTop(g.top() + dy);
        }
        c.widget->setGeometry(g);
    }
    return false;
}

} // namespace qv
