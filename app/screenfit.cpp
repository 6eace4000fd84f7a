#include "app/screenfit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <optional>

namespace qv {

namespace {

// The frame of the window framed last: the best guess for the frame of the next one.
QMargins seenFrame;
bool frameSeen = false;

bool framed(const QWidget* window)
{
    const QWindow* handle = window->windowHandle();
    return handle && handle->isExposed();
}

QMargins frameOf(const QWidget* window)
{
    if (window->windowFlags() & Qt::FramelessWindowHint)
        return {};
    if (framed(window)) {
        seenFrame = window->windowHandle()->frameMargins();
        frameSeen = true;
        return seenFrame;
    }
    if (frameSeen)
        return seenFrame;
    // Nothing framed yet: a title bar as high as the style draws one.
    return QMargins(0, window->style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0);
}

QRect usableArea(const QScreen* screen)
{
    if (!screen)
        return {};
    QRect area = screen->availableGeometry();
    // At a fractional scale the logical numbers of the area, the frame and the window are each
    // rounded: a pixel less on every side keeps the frame inside in device pixels.
    const qreal ratio = screen->devicePixelRatio();
    if (ratio != std::floor(ratio))
        area.adjust(1, 1, -1, -1);
    return area;
}

QRect availableAreaAt(QPoint point)
{
    const QScreen* screen = QGuiApplication::screenAt(point);
    return usableArea(screen ? screen : QGuiApplication::primaryScreen());
}

class ScreenKeeper : public QObject
{
public:
    ScreenKeeper(QWidget* window, QSize floor) : QObject(window), m_window(window), m_floor(floor)
    {
        window->installEventFilter(this);
    }

    QSize floor() const { return m_floor.isValid() ? m_floor : m_window->minimumSize(); }

    // The size and place asked for while the window was not framed: the fit at the framing
    // returns to them with the real frame.
    void want(QSize size, QPoint frameTopLeft)
    {
        m_wanted = size;
        m_wantedTopLeft = frameTopLeft;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Show && !event->spontaneous()) {
            m_pending = true;
            QWindow* handle = m_window->windowHandle();
            if (handle && handle != m_handle) {
                m_handle = handle;
                handle->installEventFilter(this);
            }
        } else if (watched == m_handle && event->type() == QEvent::Expose && m_pending &&
                   m_handle->isExposed()) {
            m_pending = false;
            const Qt::WindowStates whole =
                Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized;
            if (!(m_window->windowState() & whole))
                placeInsideScreen(m_window, m_wantedTopLeft ? m_wanted : m_window->size(),
                                  m_wantedTopLeft.value_or(m_handle->framePosition()));
            m_wantedTopLeft.reset();
        }
        return false;
    }

private:
    QWidget* m_window;
    QPointer<QWindow> m_handle;
    QSize m_floor;
    bool m_pending = false;
    QSize m_wanted;
    std::optional<QPoint> m_wantedTopLeft;
};

ScreenKeeper* keeperOf(const QWidget* window)
{
    for (QObject* child : window->children()) {
        if (auto* keeper = dynamic_cast<ScreenKeeper*>(child))
            return keeper;
    }
    return nullptr;
}

// The size nearest to wanted whose frame fits the area; the minimum size gives way down to the
// keeper's floor.
QSize fittedSize(QWidget* window, QSize wanted, const QRect& area, const QMargins& frame)
{
    QSize size = wanted;
    if (area.isValid()) {
        const QSize room = area.size().shrunkBy(frame);
        if (const ScreenKeeper* keeper = keeperOf(window)) {
            const QSize minimum = window->minimumSize();
            const QSize lowered = minimum.boundedTo(room).expandedTo(keeper->floor());
            if (lowered != minimum)
                window->setMinimumSize(lowered.boundedTo(minimum));
        }
        size = size.boundedTo(room);
    }
    return size.expandedTo(window->minimumSize()).boundedTo(window->maximumSize());
}

} // namespace

void keepInsideScreen(QWidget* window, QSize floor)
{
    if (!keeperOf(window))
        new ScreenKeeper(window, floor);
}

QSize withinWindowRange(QSize size)
{
    return {std::clamp(size.width(), 0, QWIDGETSIZE_MAX),
            std::clamp(size.height(), 0, QWIDGETSIZE_MAX)};
}

QPoint withinWindowRange(QPoint point)
{
    return {std::clamp(point.x(), -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX),
            std::clamp(point.y(), -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)};
}

void placeInsideScreen(QWidget* window, QSize wanted, QPoint frameTopLeft)
{
    // A stored size or place may reach here as it was read.
    wanted = withinWindowRange(wanted);
    frameTopLeft = withinWindowRange(frameTopLeft);
    const QMargins frame = frameOf(window);
    const QRect area = availableAreaAt(frameTopLeft);
    window->resize(fittedSize(window, wanted, area, frame));
    QRect outer(frameTopLeft, window->size().grownBy(frame));
    if (area.isValid()) {
        // A frame larger than the area keeps its top-left corner, with the title bar, inside.
        outer.moveLeft(std::clamp(outer.left(), area.left(),
                                  std::max(area.left(), area.right() + 1 - outer.width())));
        outer.moveTop(std::clamp(outer.top(), area.top(),
                                 std::max(area.top(), area.bottom() + 1 - outer.height())));
    }
    window->move(outer.topLeft());
    if (framed(window))
        return;
    // move() places the frame only where it knows the frame's size. Before the window manager has
    // framed the window the corner goes to the window manager as the frame's, which puts the frame
    // there; without that the inside would be put there and the frame above it.
    if (QWindow* handle = window->windowHandle())
        handle->setFramePosition(outer.topLeft());
    if (ScreenKeeper* keeper = keeperOf(window))
        keeper->want(wanted, frameTopLeft);
}

void centreOnScreen(QWidget* window, QSize wanted)
{
    const QRect area = usableArea(QGuiApplication::primaryScreen());
    if (!area.isValid()) {
        window->resize(wanted);
        return;
    }
    const QMargins frame = frameOf(window);
    const QSize outer = fittedSize(window, wanted, area, frame).grownBy(frame);
    placeInsideScreen(window, wanted,
                      area.topLeft() + QPoint((area.width() - outer.width()) / 2,
                                              (area.height() - outer.height()) / 2));
}

} // namespace qv
