#pragma once

#include <QColor>

class QWidget;

namespace qv {

// The contrast of two colours as the web accessibility guidelines measure it, from 1 (equal) to
// 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);

// The design colour, chosen for a light background, as it reads on background: on a dark
// background its lightness is mirrored, and on any background it is moved away from the
// background's lightness until the contrast reaches 4.5:1. Where it already reads well on a light
// background it stays as it is.
QColor readableOn(const QColor& design, const QColor& background);

// The background of a field that holds something wrong: the field's own background drawn
// towards red, as far as text in the given colour still reads on it at 4.5:1.
QColor warningTint(const QColor& background, const QColor& text);

// Draws widget's text in the design colour made readable on its background, and keeps it so
// whenever the palette changes (another theme, a dark scheme, a new background).
void keepTextReadable(QWidget* widget, const QColor& design);

} // namespace qv
