#pragma once

#include "text/messagetexts.h"

#include <QColor>
#include <QLabel>

namespace qv {

// The colour of the link texts on the help and bug-report windows, as drawn on a light background.
inline const QColor linkColour(90, 25, 25);

// An underlined bold caption with a hand cursor that reports a click; the caption is the bare
// site link the click opens.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    // The colour is made readable on whatever background the palette gives; without one the
    // label keeps the normal text colour (the information frames).
    LinkLabel(const QString& name, const QString& caption, QWidget* parent,
              const QColor& colour = {});

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

QLabel* makeHeading(const QString& name, const QString& text, QWidget* parent);
QLabel* makeParagraph(const QString& name, const QString& text, QWidget* parent);

// Tool window with a small title bar and a close button, fixed client size, centred on the
// primary screen.
void setUpToolWindow(QWidget* window, const QString& name, const QString& caption, QSize client,
                     bool alwaysOnTop = false);
void centreOnPrimaryScreen(QWidget* window);

} // namespace qv
