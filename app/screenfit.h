#pragma once

#include <QPoint>
#include <QSize>

class QWidget;

// Every window opens inside the available area of its screen, whatever the screen's size and
// scale: a window too large for it opens at the largest size that fits, and one that would stick
// out is moved in as little as needed. Before the window manager has framed a window its frame is
// a guess, so a window is brought inside once more when it is framed.
namespace qv {

// From now on the window is brought inside again each time it has been shown and framed. Where
// the screen is smaller than the window's minimum size, the minimum gives way, down to floor
// (by default it stays).
void keepInsideScreen(QWidget* window, QSize floor = {});

// Sizes the window to wanted, or as near to it as fits, and puts the top-left corner of its frame
// at frameTopLeft, or as near to it as keeps the whole frame inside the screen there.
void placeInsideScreen(QWidget* window, QSize wanted, QPoint frameTopLeft);

// The same with the frame centred on the primary screen.
void centreOnScreen(QWidget* window, QSize wanted);

// A size or a place from outside the program, as a stored configuration holds it, within the
// numbers a window can take. A stored number may be anything an int holds; no window is larger
// than the largest widget, nor a screen further out, so nothing beyond needs telling apart, and
// sums with frames and screen coordinates cannot overflow.
QSize withinWindowRange(QSize size);
QPoint withinWindowRange(QPoint point);

} // namespace qv
