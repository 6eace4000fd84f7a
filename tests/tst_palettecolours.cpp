// Every text the windows colour themselves stays readable on the background it is really drawn on,
// in a light and in dark palettes, and follows the palette when it changes while they are open.

#include "tests/appfixture.h"

#include "app/palettecolours.h"
#include "app/panel.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QStackedWidget>

#include <cmath>
#include <memory>

namespace {

double luminance(QRgb c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

// WCAG contrast ratio.
double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

int distance(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

// The contrast of text in colour to the background it is drawn on in area: the colour most of
// the area's pixels have. 0 when the text is not drawn in that colour: then no pixel is nearer
// to it than to the background (the glyphs' edges are blends of the two).
double textContrast(const QImage& area, QRgb text)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x)
            ++counts[area.pixel(x, y) | 0xff000000];
    }
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    const bool inked = std::any_of(counts.keyBegin(), counts.keyEnd(), [&](QRgb pixel) {
        return 2 * distance(pixel, text) < distance(text, background);
    });
    return inked ? contrast(text, background) : 0;
}

// Brings w into view: the page of a tab or stack that holds it, scrolled to it.
void reveal(QWidget* w)
{
    QWidget* child = w;
    for (QWidget* p = w->parentWidget(); p; child = p, p = p->parentWidget()) {
        if (auto* stack = qobject_cast<QStackedWidget*>(p))
            stack->setCurrentWidget(child);
        else if (auto* scroll = qobject_cast<QScrollArea*>(p))
            scroll->ensureWidgetVisible(w);
    }
}

// What the window draws in rect of w, as it appears on screen.
QImage drawn(QWidget* w, const QRect& rect)
{
    QWidget* window = w->window();
    const QImage shot = window->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    const QRect inWindow(w->mapTo(window, rect.topLeft()), rect.size());
    return shot.copy(QRect((QPointF(inWindow.topLeft()) * ratio).toPoint(),
                           (QSizeF(inWindow.size()) * ratio).toSize()));
}

// Fusion's dark scheme as Qt derives it from a dark button face: white text, black fields.
QPalette darkPalette()
{
    return QPalette(QColor(53, 53, 53));
}

// The palettes of the rows: dark schemes differ in how far the window stands apart from the
// buttons, and the panels take their face from the buttons.
QPalette rowPalette(const QString& name, const QPalette& light)
{
    if (name == QLatin1String("dark"))
        return darkPalette();
    if (name == QLatin1String("dark window darker than buttons"))
        return QPalette(QColor(50, 50, 52), QColor(37, 37, 38));
    if (name == QLatin1String("dark blue-grey"))
        return QPalette(QColor(49, 54, 59), QColor(32, 35, 38));
    return light;
}

} // namespace

class PaletteColoursTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void readable_data();
    void readable();
    void textOnPanel_data();
    void textOnPanel();

private:
    std::unique_ptr<AppFixture> m_app;
    QTemporaryDir m_files;
    QPalette m_light;
};

void PaletteColoursTest::initTestCase()
{
    m_light = QApplication::palette();
    // The windows are made under a dark theme; the light rows then switch at run time.
    QApplication::setPalette(darkPalette());
    m_app = std::make_unique<AppFixture>();
    // Two entries that would both be named b.txt give the preview its conflict rows.
    for (const char* name : {"a.txt", "b.txt"})
        makeFile(m_files.filePath(QLatin1String(name)));
    drop({m_files.filePath("a.txt"), m_files.filePath("b.txt")});
    ui<QCheckBox>(QStringLiteral("act_suchenersetzen"))->click();
    ui<QLineEdit>(QStringLiteral("suchenalt"))->setText(QStringLiteral("a"));
    ui<QLineEdit>(QStringLiteral("suchenneu"))->setText(QStringLiteral("b"));
    // The placeholders' panel shows only while the mask is on.
    ui<QCheckBox>(QStringLiteral("act_maske"))->click();
    m_app->prog()->show();
    ui<QAction>(QStringLiteral("m_vorschau_alle"))->trigger();
    auto* plan = in<QTreeView>(QStringLiteral("vorschau_alle"), QStringLiteral("va_liste"));
    QTRY_VERIFY(plan->model()->rowCount() > 0);
    plan->setCurrentIndex({});
    for (const char* name : {"hilfe", "bugreport_de"})
        topLevel(QLatin1String(name))->show();
}

void PaletteColoursTest::readable_data()
{
    QTest::addColumn<QString>("window");
    // objectNames; a list view stands for the rows its model tints.
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("scheme");
    struct Element
    {
        const char* window;
        const char* what;
        QStringList texts;
    };
    const QList<Element> elements = {
        {"prog", "headings", {"Panel7", "Panel2", "Panel4"}},
        {"prog",
         "placeholders",
         {"Label5", "Label9", "Label7", "Label12", "Label17", "Label21", "Label19"}},
        {"hilfe",
         "links",
         {"lkProgramm", "lkSupport", "lkWebdesign", "lkIndividuell", "lkService", "lkSpenden",
          "lkLizenz"}},
        {"bugreport_de", "links", {"Label70", "Label1"}},
        {"vorschau_alle", "conflict rows", {"va_liste"}},
    };
    // Each row changes the palette of the open windows.
    for (const Element& e : elements) {
        for (const char* scheme :
             {"light", "dark", "dark window darker than buttons", "dark blue-grey"}) {
            QTest::addRow("%s/%s/%s", e.window, e.what, scheme)
                << QString::fromLatin1(e.window) << e.texts << QString::fromLatin1(scheme);
        }
    }
}

void PaletteColoursTest::readable()
{
    QFETCH(QString, window);
    QFETCH(QStringList, texts);
    QFETCH(QString, scheme);
    const QPalette palette = rowPalette(scheme, m_light);
    QApplication::setPalette(palette);
    QWidget* top = topLevel(window);
    QVERIFY(QTest::qWaitForWindowExposed(top));
    // The open windows learn of the new palette through the event loop.
    QTRY_COMPARE(top->palette().color(QPalette::Window), palette.color(QPalette::Window));

    QStringList measured;
    bool readable = true;
    auto check = [&](const QString& name, const QImage& area, const QColor& text) {
        const double ratio = textContrast(area, text.rgb());
        readable = readable && ratio >= 4.5;
        measured.append(QStringLiteral("%1 %2:1").arg(name).arg(ratio, 0, 'f', 2));
    };
    for (const QString& name : texts) {
        const QList<QWidget*> found = top->findChildren<QWidget*>(name);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        for (QWidget* w : found) {
            reveal(w);
            if (auto* view = qobject_cast<QTreeView*>(w)) {
                int tinted = 0;
                for (int row = 0; row < view->model()->rowCount(); ++row) {
                    const QModelIndex cell = view->model()->index(row, 1);
                    if (cell.data(Qt::BackgroundRole).isNull())
                        continue;
                    ++tinted;
                    const QVariant own = cell.data(Qt::ForegroundRole);
                    check(cell.data().toString(), drawn(view->viewport(), view->visualRect(cell)),
                          own.isValid() ? own.value<QColor>()
                                        : view->palette().color(QPalette::Text));
                }
                QVERIFY(tinted > 0);
            } else {
                check(name, drawn(w, w->rect()), w->palette().color(w->foregroundRole()));
            }
        }
    }
    qInfo("%s", qPrintable(measured.join(QStringLiteral(", "))));
    const QString pictures = qEnvironmentVariable("QUORVEL_SCREENSHOT_DIR");
    if (!pictures.isEmpty()) {
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u'/', u'-');
        top->grab().save(QStringLiteral("%1/%2.png").arg(pictures, tag));
    }
    QVERIFY2(readable, qPrintable(measured.join(QStringLiteral(", "))));
}

void PaletteColoursTest::textOnPanel_data()
{
    QTest::addColumn<QColor>("window");
    QTest::addColumn<QColor>("button");
    // Platform themes give labels a palette of their own, as they do on a desktop.
    QTest::addColumn<bool>("labelPalette");
    for (const bool own : {false, true}) {
        const char* labels = own ? "labels' own palette" : "one palette";
        QTest::addRow("window as the buttons, %s", labels)
            << QColor(53, 53, 53) << QColor(53, 53, 53) << own;
        QTest::addRow("window darker, %s", labels)
            << QColor(37, 37, 38) << QColor(50, 50, 52) << own;
        QTest::addRow("blue-grey, %s", labels) << QColor(32, 35, 38) << QColor(49, 54, 59) << own;
        QTest::addRow("window far darker, %s", labels)
            << QColor(20, 20, 20) << QColor(85, 85, 85) << own;
        QTest::addRow("window lighter, %s", labels)
            << QColor(70, 70, 70) << QColor(40, 40, 40) << own;
    }
}

// A placeholder as the main window has it: coloured first, then its panel takes its face from the
// buttons. The text is measured against that face, the colour drawn behind it.
void PaletteColoursTest::textOnPanel()
{
    QFETCH(QColor, window);
    QFETCH(QColor, button);
    QFETCH(bool, labelPalette);
    const QPalette before = QApplication::palette();
    QApplication::setPalette(QPalette(button, window));
    if (labelPalette)
        QApplication::setPalette(QPalette(button, window), "QLabel");
    QWidget top;
    auto* panel = new qv::Panel(QStringLiteral("panel"), &top, qv::Panel::LoweredOuter);
    auto* text = new QLabel(QStringLiteral("%num%"), panel);
    qv::keepTextReadable(text, QColor(0x1a, 0x3f, 0x8f));
    panel->setDarkerButtonFace(5);
    const QColor face = panel->palette().color(QPalette::Window);
    const double ratio = qv::contrastRatio(text->palette().color(text->foregroundRole()), face);
    QApplication::setPalette(before);
    if (labelPalette)
        QApplication::setPalette(before, "QLabel");
    QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1:1").arg(ratio, 0, 'f', 2)));
}

QTEST_MAIN(PaletteColoursTest)
#include "tst_palettecolours.moc"
