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

// The colour behind the widget's text: its own background where it fills it, else that of the
// nearest parent that fills its own, as the window does. A label on a panel shows the panel's
// face, whatever its own background role holds.
QColor drawnBackground(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w->autoFillBackground() || w->isWindow() || !w->parentWidget())
            return w->palette().color(QPalette::Active, w->backgroundRole());
    }
    return {};
}

// Follows the palette: every change of the palette of the widget or of a parent (its own, the
// application's, or a panel taking a new face from a new button colour) sets the text colour anew
// for the background it is then drawn on.
class TextColourKeeper : public QObject
{
public:
    TextColourKeeper(QWidget* widget, const QColor& design)
        : QObject(widget), m_widget(widget), m_design(design)
    {
        watchParents();
        apply();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::ParentChange)
            watchParents();
        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange)
            apply();
        return false;
    }

private:
    // A panel's palette may change while the text's own stays as it is.
    void watchParents()
    {
        for (QWidget* w = m_widget; w; w = w->parentWidget())
            w->installEventFilter(this);
    }

    // A palette equal to the present one changes nothing and sends no further event.
    void apply()
    {
        QPalette p = m_widget->palette();
        p.setColor(m_widget->foregroundRole(), readableOn(m_design, drawnBackground(m_widget)));
        m_widget->setPalette(p);
    }

    QWidget* m_widget;
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

QColor warningTint(const QColor& background, const QColor& text)
{
    // A red that stands out from light and from dark backgrounds alike.
    const QColor warning(220, 50, 47);
    const QColor from = background.toRgb();
    const auto mixed = [&](double share) {
        const auto channel = [share](float a, float b) { return float(a + (b - a) * share); };
        return QColor(QColor::fromRgbF(channel(from.redF(), warning.redF()),
                                       channel(from.greenF(), warning.greenF()),
                                       channel(from.blueF(), warning.blueF()))
                          .rgb());
    };
    double share = 0.35;
    while (share > 0.1 && contrastRatio(mixed(share), text) < kMinimumContrast)
        share -= 0.05;
    return mixed(share);
}

void keepTextReadable(QWidget* widget, const QColor& design)
{
    new TextColourKeeper(widget, design);
}

} // namespace qv
