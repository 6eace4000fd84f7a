#pragma once

#include "app/help/infowidgets.h"

#include <QFrame>

class QScrollArea;

namespace qv {

// The maker's product list on the software page of a help window: a scroll box with a fixed
// scroll range, one row per product, scrolled by the wheel in steps of 10 pixels.
class InfoFrame : public QFrame
{
    Q_OBJECT
public:
    static constexpr int contentWidth = 481;
    static constexpr int contentHeight = 890;
    static constexpr int wheelStep = 10;
    static constexpr int rowDistance = 50;

    QScrollArea* scrollBox() const { return m_scrollBox; }

    void ScrollBoxMouseWheelDown();
    void ScrollBoxMouseWheelUp();
    void ScrollBoxMouseMove();
    // The icon buttons (hint) and the software link text (caption), source letter "h".
    void BrowseToHint();
    void BrowseToCaption();

protected:
    InfoFrame(Language language, const QString& name, const QString& scrollBoxName,
              QWidget* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scrollBy(int pixels);
    void watchMouse(QWidget* widget);

    QScrollArea* m_scrollBox = nullptr;
};

} // namespace qv

// The German information frame.
class TFrame1 : public qv::InfoFrame
{
    Q_OBJECT
public:
    explicit TFrame1(QWidget* parent = nullptr);
    QScrollArea* ScrollBox1 = nullptr;
    void ScrollBox1MouseWheelDown() { ScrollBoxMouseWheelDown(); }
    void ScrollBox1MouseWheelUp() { ScrollBoxMouseWheelUp(); }
};

// The English information frame.
class TFrame2 : public qv::InfoFrame
{
    Q_OBJECT
public:
    explicit TFrame2(QWidget* parent = nullptr);
    QScrollArea* ScrollBox2 = nullptr;
    void ScrollBox2MouseWheelDown() { ScrollBoxMouseWheelDown(); }
    void ScrollBox2MouseWheelUp() { ScrollBoxMouseWheelUp(); }
};
