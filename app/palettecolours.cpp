#include "app/palettecolours.h"

#include <QEvent>
#include <QWidget>

#include <cmath>

namespace qv {

namespace {

constexpr double kMinimumContrast = 4.5;
// Below this luminance white text stands out more than black text does.
constexpr double kDarkBelow = 0.179;

double luminance(const QColor& colour)
{
    auto linear = [](float channel) {
        return channel <= 0.04045f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

// The colour with that lightness, rounded to what the screen shows, so that the contrast measured
// on it is the contrast drawn.
QColor withLightness(float hue, float saturation, float lightness)
{
    return QColor(QColor::fromHslF(hue, saturation, lightness).rgb());
}

// Follows the palette: every change of the widget's palette (its own, its parent's or the
// application's) sets the text colour anew for the background it then has.
class TextColourKeeper : public QObject
{
public:
    TextColourKeeper(QWidget* widget, const QColor& design) : QObject(widget), m_design(design)
    {
        widget->installEventFilter(this);
        apply(widget);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::PaletteChange)
            apply(static_cast<QWidget*>(watched));
        return false;
    }

private:
    // A palette equal to the present one changes nothing and sends no further event.
    void apply(QWidget* widget)
    {
        QPalette p = widget->palette();
        p.setColor(widget->foregroundRole(),
                   readableOn(m_design, p.color(QPalette::Active, widget->backgroundRole())));
        widget->setPalette(p);
    }

    QColor m_design;
};

} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& design, const QColor& background)
{
    const bool dark = luminance(background) < kDarkBelow;
    float hue = 0, saturation = 0, lightness = 0, alpha = 1;
    design.toHsl().getHslF(&hue, &saturation, &lightness, &alpha);
    hue = std::max(hue, 0.0f); // -1 for greys, whose hue does not matter
    if (dark)
        lightness = 1 - lightness;
    const QColor first = dark ? withLightness(hue, saturation, lightness) : QColor(design.rgb());
    if (contrastRatio(first, background) >= kMinimumContrast)
        return first;
    // The smallest step towards white (or black) that reads well; white and black themselves
    // when nothing short of them does.
    float faint = lightness;
    float clear = dark ? 1.0f : 0.0f;
    for (int i = 0; i < 16; ++i) {
        const float middle = (faint + clear) / 2;
        if (contrastRatio(withLightness(hue, saturation, middle), background) >= kMinimumContrast)
            clear = middle;
        else
            faint = middle;
    }
    return withLightness(hue, saturation, clear);
}

void keepTextReadable(QWidget* widget, const QColor& design)
{
    new TextColourKeeper(widget, design);
}

} // namespace qv
