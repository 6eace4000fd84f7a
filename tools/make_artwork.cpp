// Paints the splash, header, donate and icon pictures of the program. The pictures are generated
// rather than drawn by hand so that a change of wording or colour is one edit and one run.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>
#include <cstdio>

namespace {

const QColor ink(34, 40, 52);
const QColor accent(214, 92, 54); // warm orange of the icon
const QColor accentDark(160, 58, 34);
const QColor deepBlue(28, 52, 92);
const QColor paleText(226, 232, 242);

QFont font(int pixelSize, int weight = QFont::Normal, const QString& family = "DejaVu Sans")
{
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setWeight(QFont::Weight(weight));
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// The icon: a rounded tile with three stacked "file cards", the front one carrying an arrow
// that stands for the rename step. It is described once, as shapes in a 64 x 64 box, so that
// the pictures of every size and the scalable SVG are drawn from the same shapes.
struct IconShape
{
    QPainterPath path;
    QColor colour;
    // Filled with the tile's top-to-bottom gradient instead of the colour.
    bool tile = false;
};

const QColor tileTop(236, 118, 74);

QList<IconShape> iconShapes()
{
    const auto rounded = [](const QRectF& r, qreal radius) {
        QPainterPath path;
        path.addRoundedRect(r, radius, radius);
        return path;
    };
    QPainterPath arrow;
    arrow.moveTo(17, 44);
    arrow.lineTo(31, 44);
    arrow.lineTo(31, 40);
    arrow.lineTo(38, 46);
    arrow.lineTo(31, 52);
    arrow.lineTo(31, 48);
    arrow.lineTo(17, 48);
    arrow.closeSubpath();
    return {
        {rounded(QRectF(2, 2, 60, 60), 13), {}, true},
        // two cards behind
        {rounded(QRectF(20, 9, 30, 36), 4), QColor(255, 255, 255, 90)},
        {rounded(QRectF(16, 14, 30, 36), 4), QColor(255, 255, 255, 150)},
        // front card with two text lines
        {rounded(QRectF(12, 19, 30, 36), 4), QColor(255, 255, 255)},
        {rounded(QRectF(17, 26, 16, 3.5), 1.5), QColor(214, 92, 54, 110)},
        {rounded(QRectF(17, 33, 20, 3.5), 1.5), QColor(214, 92, 54, 110)},
        {arrow, deepBlue},
    };
}

void paintIcon(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(r.topLeft());
    p.scale(r.width() / 64.0, r.width() / 64.0);
    QLinearGradient tile(0, 0, 0, 64);
    tile.setColorAt(0, tileTop);
    tile.setColorAt(1, accentDark);
    p.setPen(Qt::NoPen);
    for (const IconShape& shape : iconShapes()) {
        p.setBrush(shape.tile ? QBrush(tile) : QBrush(shape.colour));
        p.drawPath(shape.path);
    }
    p.restore();
}

QImage iconImage(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    paintIcon(p, QRectF(0, 0, size, size));
    return icon;
}

QString svgNumber(qreal value)
{
    return QString::number(value, 'g', 6);
}

// The same shapes as SVG paths.
QByteArray iconSvg()
{
    QString svg =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" "
                       "viewBox=\"0 0 64 64\">\n"
                       "  <defs>\n"
                       "    <linearGradient id=\"tile\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"64\" "
                       "gradientUnits=\"userSpaceOnUse\">\n"
                       "      <stop offset=\"0\" stop-color=\"%1\"/>\n"
                       "      <stop offset=\"1\" stop-color=\"%2\"/>\n"
                       "    </linearGradient>\n"
                       "  </defs>\n")
            .arg(tileTop.name(), accentDark.name());
    for (const IconShape& shape : iconShapes()) {
        QString d;
        const QPainterPath& path = shape.path;
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            const QString point = svgNumber(e.x) + u' ' + svgNumber(e.y);
            if (e.isMoveTo()) {
                if (!d.isEmpty())
                    d += QStringLiteral("Z ");
                d += QStringLiteral("M ") + point + u' ';
            } else if (e.isLineTo()) {
                d += QStringLiteral("L ") + point + u' ';
            } else if (e.isCurveTo()) {
                d += QStringLiteral("C ") + point + u' ';
            } else {
                d += point + u' ';
            }
        }
        d += u'Z';
        QString fill = QStringLiteral("url(#tile)");
        if (!shape.tile) {
            fill = shape.colour.name();
            if (shape.colour.alpha() < 255)
                fill += QStringLiteral("\" fill-opacity=\"") + svgNumber(shape.colour.alphaF());
        }
        svg += QStringLiteral("  <path d=\"%1\" fill=\"%2\"/>\n").arg(d, fill);
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

// The icons of the maker's other programs: a tile in the product's colour with its initial.
QImage productIcon(const QColor& colour, const QString& letter)
{
    QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient tile(0, 0, 0, 64);
    tile.setColorAt(0, colour.lighter(125));
    tile.setColorAt(1, colour.darker(130));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 13, 13);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawEllipse(QRectF(30, -14, 48, 48));
    p.setPen(Qt::white);
    p.setFont(font(38, QFont::Bold));
    p.drawText(QRectF(2, 2, 60, 60), Qt::AlignCenter, letter);
    return img;
}

bool writeJpeg(const QImage& image, const QString& path)
{
    QImageWriter writer(path, "jpg");
    writer.setQuality(90);
    if (!writer.write(image.convertToFormat(QImage::Format_RGB32))) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

QImage splash(const QString& site, const QString& tagline, const QString& version)
{
    QImage img(380, 235, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient bg(0, 0, 380, 235);
    bg.setColorAt(0, QColor(24, 44, 80));
    bg.setColorAt(1, QColor(12, 22, 42));
    p.fillRect(img.rect(), bg);

    // soft glow behind the icon
    QRadialGradient glow(300, 70, 130);
    glow.setColorAt(0, QColor(214, 92, 54, 90));
    glow.setColorAt(1, QColor(214, 92, 54, 0));
    p.fillRect(img.rect(), glow);

    // faint diagonal bands
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 10));
    for (int i = 0; i < 4; ++i) {
        QPainterPath band;
        const qreal x = 150 + i * 60;
        band.moveTo(x, 235);
        band.lineTo(x + 30, 235);
        band.lineTo(x + 150, 0);
        band.lineTo(x + 120, 0);
        band.closeSubpath();
        p.drawPath(band);
    }

    paintIcon(p, QRectF(274, 26, 72, 72));

    p.setPen(Qt::white);
    p.setFont(font(44, QFont::Bold));
    p.drawText(QRectF(28, 36, 240, 60), Qt::AlignLeft | Qt::AlignVCenter, "Quorvel");

    p.setPen(QColor(240, 150, 110));
    p.setFont(font(14));
    p.drawText(QRectF(30, 104, 320, 22), Qt::AlignLeft | Qt::AlignVCenter, tagline);

    p.setPen(QColor(255, 255, 255, 60));
    p.drawLine(QPointF(30, 140), QPointF(350, 140));

    p.setPen(paleText);
    p.setFont(font(12, QFont::DemiBold));
    p.drawText(QRectF(30, 156, 200, 20), Qt::AlignLeft | Qt::AlignVCenter, "Velmora");
    p.setFont(font(12));
    p.setPen(QColor(170, 184, 206));
    p.drawText(QRectF(30, 176, 200, 20), Qt::AlignLeft | Qt::AlignVCenter, site);
    p.drawText(QRectF(180, 176, 170, 20), Qt::AlignRight | Qt::AlignVCenter, version);

    p.setBrush(accent);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(0, 229, 380, 6));
    return img;
}

QImage header()
{
    QImage img(543, 100, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient bg(0, 0, 543, 0);
    bg.setColorAt(0, QColor(250, 251, 253));
    bg.setColorAt(1, QColor(230, 236, 245));
    p.fillRect(img.rect(), bg);

    paintIcon(p, QRectF(22, 18, 64, 64));

    p.setPen(deepBlue);
    p.setFont(font(34, QFont::Bold));
    p.drawText(QRectF(104, 14, 300, 46), Qt::AlignLeft | Qt::AlignVCenter, "Quorvel");
    p.setPen(QColor(110, 120, 138));
    p.setFont(font(13));
    p.drawText(QRectF(106, 58, 300, 24), Qt::AlignLeft | Qt::AlignVCenter, "Velmora");

    // decorative cards at the right edge
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(QColor(214, 92, 54, 30 + 25 * i));
        p.drawRoundedRect(QRectF(420 + i * 26, 22 + i * 6, 46, 56), 6, 6);
    }
    p.setBrush(accent);
    p.drawRect(QRectF(0, 96, 543, 4));
    return img;
}

QImage donate(const QString& title, const QStringList& items, const QString& request)
{
    QImage img(504, 289, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(img.rect(), QColor(252, 250, 247));

    QLinearGradient band(0, 0, 504, 0);
    band.setColorAt(0, QColor(214, 92, 54));
    band.setColorAt(1, QColor(236, 128, 84));
    p.fillRect(QRect(0, 0, 504, 52), band);
    paintIcon(p, QRectF(14, 8, 36, 36));
    p.setPen(Qt::white);
    p.setFont(font(19, QFont::Bold));
    p.drawText(QRectF(62, 0, 430, 52), Qt::AlignLeft | Qt::AlignVCenter, title);

    p.setFont(font(13));
    const QFontMetrics fm(p.font());
    qreal y = 68;
    for (const QString& item : items) {
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        p.drawEllipse(QRectF(28, y + 6, 8, 8));
        p.setPen(ink);
        const QRectF box(46, y, 430, 40);
        const QRectF used = p.boundingRect(box, Qt::TextWordWrap | Qt::AlignLeft, item);
        p.drawText(box, Qt::TextWordWrap | Qt::AlignLeft, item);
        y += used.height() + 8;
    }

    const QRectF req(20, 225, 464, 50);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(28, 52, 92, 18));
    p.drawRoundedRect(req, 8, 8);
    p.setPen(deepBlue);
    p.setFont(font(13, QFont::DemiBold));
    p.drawText(req.adjusted(14, 4, -14, -4), Qt::TextWordWrap | Qt::AlignCenter, request);
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("artwork");
    QDir().mkpath(dir);
    auto path = [&](const char* name) { return dir + '/' + QLatin1String(name); };

    bool ok = true;
    ok &= writeJpeg(splash("velmora.de", "Dateien und Ordner umbenennen", "Version 0.1"),
                    path("splash_de.jpg"));
    ok &= writeJpeg(splash("velmora.com", "Rename files and folders", "Version 0.1"),
                    path("splash_en.jpg"));
    ok &= writeJpeg(header(), path("header.jpg"));
    ok &= writeJpeg(donate("Was Velmora für Sie tut",
                           {"Quorvel und alle Velmora-Werkzeuge sind frei nutzbar.",
                            "Wir pflegen das Programm, beheben Fehler und bauen Ihre "
                            "Vorschläge ein.",
                            "Fragen beantworten wir persönlich und schnell.",
                            "Keine Werbung, keine Datensammlung.",
                            "Neue Werkzeuge entstehen aus den Wünschen unserer Anwender."},
                           "Gefällt Ihnen Quorvel? Dann unterstützen Sie uns mit einer Spende "
                           "auf unserer Spendenseite."),
                    path("donate_de.jpg"));
    ok &= writeJpeg(
        donate("What Velmora does for you",
               {"Quorvel and all Velmora tools are free to use.",
                "We maintain the program, fix bugs and build in your suggestions.",
                "We answer your questions personally and quickly.",
                "No advertising, no data collection.", "New tools grow out of our users' wishes."},
               "Do you like Quorvel? Then please support us with a donation on our "
               "donate page."),
        path("donate_en.jpg"));

    ok &= iconImage(64).save(path("quorvel.png"), "png");
    // The icon theme's sizes for the desktop entry, each drawn at its size, and the SVG.
    const QString themed = dir + "/hicolor/%1/apps/org.quorvel.Quorvel.%2";
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString file = themed.arg(QStringLiteral("%1x%1").arg(size), "png");
        QDir().mkpath(QFileInfo(file).path());
        ok &= iconImage(size).save(file, "png");
    }
    const QString svgFile = themed.arg("scalable", "svg");
    QDir().mkpath(QFileInfo(svgFile).path());
    QFile svg(svgFile);
    ok &= svg.open(QIODevice::WriteOnly) && svg.write(iconSvg()) > 0;

    QDir().mkpath(dir + "/products");
    const struct
    {
        const char* name;
        QColor colour;
        const char* letter;
    } others[] = {
        {"tessaline", QColor(46, 140, 120), "T"}, {"dupravo", QColor(70, 90, 170), "D"},
        {"ordelis", QColor(150, 80, 150), "O"},   {"textrova", QColor(60, 120, 180), "T"},
        {"kalvent", QColor(190, 150, 40), "K"},
    };
    for (const auto& o : others)
        ok &= productIcon(o.colour, QLatin1String(o.letter))
                  .save(dir + "/products/" + QLatin1String(o.name) + ".png", "png");

    // Optional: PNG copies for quick viewing, written next to the given preview folder.
    if (argc > 2) {
        const QString preview = QString::fromLocal8Bit(argv[2]);
        QDir().mkpath(preview);
        for (const char* n : {"splash_de", "splash_en", "header", "donate_de", "donate_en"})
            QImage(path((QByteArray(n) + ".jpg").constData()))
                .save(preview + '/' + QLatin1String(n) + ".png");
    }
    return ok ? 0 : 1;
}
