#include "app/help/thilfe.h"

#include "app/help/tframe.h"
#include "app/platform.h"
#include "info/weblinks.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

namespace qv {

namespace {

constexpr int headerHeight = 100;
constexpr QRect pageControlGeometry{8, 110, 518, 342};
constexpr int buttonGap = 6;

QFrame* bevelLine(const QString& name, int top, QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(0, top, HelpWindow::clientSize.width(), 2);
    return line;
}

} // namespace

HelpWindow::HelpWindow(Language language, QWidget* parent) : QWidget(parent), m_language(language)
{
    setUpToolWindow(this, pick(language, "hilfe", "hilfe_en"), QStringLiteral("Quorvel - Velmora"),
                    clientSize);

    m_panel = new QWidget(this);
    m_panel->setObjectName(pick(language, "pinfo_de", "pinfo_en"));
    m_panel->setGeometry(QRect(QPoint(0, 0), clientSize));
    m_panel->installEventFilter(this);

    m_header = new QLabel(m_panel);
    m_header->setObjectName(pick(language, "Image2", "Image3"));
    m_header->setPixmap(QPixmap(QStringLiteral(":/artwork/header.jpg")));
    m_header->setGeometry(0, 0, clientSize.width(), headerHeight);
    m_header->installEventFilter(this);
    bevelLine(QStringLiteral("Bevel1"), headerHeight, m_panel);

    m_pc = new QTabWidget(m_panel);
    m_pc->setObjectName(QStringLiteral("pc"));
    m_pc->setDocumentMode(true);
    m_pc->setGeometry(pageControlGeometry);
    m_pc->addTab(helpPage(), pick(language, "Hilfe", "Help"));
    m_pc->addTab(regardsPage(), pick(language, "Empfehlungen", "Regards"));
    m_pc->addTab(softwarePage(), QStringLiteral("Software"));
    m_pc->addTab(donatePage(), pick(language, "Wieso spenden?", "Why Donate?"));
    m_pc->addTab(licencePage(), pick(language, "Lizenz", "Licence"));

    const int stripTop = pageControlGeometry.bottom() + 6;
    bevelLine(QStringLiteral("Bevel2"), stripTop, m_panel);

    m_back = new QPushButton(pick(language, "<< zurück", "<< back"), m_panel);
    m_back->setObjectName(pick(language, "btide1", "btien1"));
    m_next = new QPushButton(pick(language, "weiter >>", "next >>"), m_panel);
    m_next->setObjectName(pick(language, "btide2", "btien2"));
    // Both buttons as wide as the wider caption needs, so neither is clipped.
    const int buttonWidth = qMax(90, qMax(m_back->sizeHint().width(), m_next->sizeHint().width()));
    const int buttonHeight = m_next->sizeHint().height();
    const int stripHeight = clientSize.height() - stripTop - 2;
    const int buttonTop = stripTop + 2 + (stripHeight - buttonHeight) / 2;
    const int nextLeft = pageControlGeometry.right() + 1 - buttonWidth;
    m_next->setGeometry(nextLeft, buttonTop, buttonWidth, buttonHeight);
    m_back->setGeometry(nextLeft - buttonGap - buttonWidth, buttonTop, buttonWidth, buttonHeight);
    connect(m_back, &QPushButton::clicked, this, &HelpWindow::backClick);
    connect(m_next, &QPushButton::clicked, this, &HelpWindow::nextClick);
}

LinkLabel* HelpWindow::link(const QString& name, const QString& caption, QWidget* parent)
{
    auto* label = new LinkLabel(name, caption, parent, linkColour);
    connect(label, &LinkLabel::clicked, this, &HelpWindow::BrowseToCaption);
    return label;
}

// The prose pages scroll rather than clip when a large system font makes them longer than the
// page control.
QWidget* HelpWindow::textPage(const QString& name, const QList<QWidget*>& rows)
{
    auto* page = new QWidget;
    page->setObjectName(name);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);

    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(name + QStringLiteral("_scroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pageLayout->addWidget(scroll);

    auto* content = new QWidget;
    content->setObjectName(name + QStringLiteral("_content"));
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(6);
    for (QWidget* row : rows) {
        row->setParent(content);
        if (qobject_cast<LinkLabel*>(row))
            layout->addWidget(row, 0, Qt::AlignLeft);
        else
            layout->addWidget(row);
        // A heading after the first row opens a new section.
        if (row != rows.first() && row->property("heading").toBool())
            layout->insertSpacing(layout->count() - 1, 8);
    }
    layout->addStretch(1);
    scroll->setWidget(content);
    return page;
}

QWidget* HelpWindow::helpPage()
{
    const QString site = pick(m_language, hosts::siteDe, hosts::siteEn);
    QLabel* second = makeHeading(QStringLiteral("laAnliegen"),
                                 pick(m_language, "Ihre Anliegen", "Your Converns"), nullptr);
    second->setProperty("heading", true);
    if (m_language == Language::German)
        return textPage(
            QStringLiteral("pc_hilfe"),
            {makeHeading(QStringLiteral("laHilfe"), QStringLiteral("Hilfe"), nullptr),
             makeParagraph(QStringLiteral("laHilfe1"),
                           QStringLiteral("Quorvel benennt eine oder viele Dateien und Ordner in "
                                          "einem Schritt um: durch Suchen und Ersetzen in den "
                                          "Namen oder nach einer Maske mit Platzhaltern."),
                           nullptr),
             makeParagraph(QStringLiteral("laHilfe2"),
                           QStringLiteral("Fügen Sie Dateien hinzu, indem Sie einen Ordner öffnen "
                                          "oder die Dateien auf das Fenster ziehen. Legen Sie im "
                                          "Feld „Aktionen“ in der Mitte fest, was geschehen soll, "
                                          "prüfen Sie die Vorschau unten und klicken Sie auf "
                                          "„Umbenennen“."),
                           nullptr),
             makeParagraph(QStringLiteral("laHilfe3"),
                           QStringLiteral("Alle Funktionen sind ausführlich auf der Seite des "
                                          "Programms beschrieben:"),
                           nullptr),
             link(QStringLiteral("lkProgramm"), siteLinkCaption(site, QStringLiteral("quorvel")),
                  nullptr),
             second,
             makeParagraph(QStringLiteral("laAnliegen1"),
                           QStringLiteral("Vorschläge, Kritik und Wünsche sind uns jederzeit "
                                          "willkommen. Schreiben Sie uns über das Formular auf "
                                          "unserer Support-Seite:"),
                           nullptr),
             link(QStringLiteral("lkSupport"), siteLinkCaption(site, QStringLiteral("support")),
                  nullptr)});
    return textPage(
        QStringLiteral("pc_hilfe"),
        {makeHeading(QStringLiteral("laHilfe"), QStringLiteral("Help"), nullptr),
         makeParagraph(QStringLiteral("laHilfe1"),
                       QStringLiteral("Quorvel renames one or many files and folders in one "
                                      "step: by searching and replacing text in the names or "
                                      "by a mask with placeholders."),
                       nullptr),
         makeParagraph(QStringLiteral("laHilfe2"),
                       QStringLiteral("Add files by opening a folder or by dropping them on the "
                                      "window. Choose what should happen in the \"Actions\" box "
                                      "in the middle, check the preview at the bottom and press "
                                      "\"Rename\"."),
                       nullptr),
         makeParagraph(QStringLiteral("laHilfe3"),
                       QStringLiteral("Every function is described in detail on the program's "
                                      "web page:"),
                       nullptr),
         link(QStringLiteral("lkProgramm"), siteLinkCaption(site, QStringLiteral("quorvel")),
              nullptr),
         second,
         makeParagraph(QStringLiteral("laAnliegen1"),
                       QStringLiteral("Suggestions, criticism and wishes are always welcome. "
                                      "Write to us through the form on our support page:"),
                       nullptr),
         link(QStringLiteral("lkSupport"), siteLinkCaption(site, QStringLiteral("support")),
              nullptr)});
}

QWidget* HelpWindow::regardsPage()
{
    const QString site = pick(m_language, hosts::siteDe, hosts::siteEn);
    const QString second = pick(m_language, hosts::secondDe, hosts::secondEn);
    QList<QWidget*> rows;
    auto section = [&](const QString& key, const QString& heading, const QString& text,
                       const QString& caption) {
        QLabel* h = makeHeading(QStringLiteral("la") + key, heading, nullptr);
        h->setProperty("heading", true);
        rows << h << makeParagraph(QStringLiteral("la") + key + QStringLiteral("1"), text, nullptr)
             << link(QStringLiteral("lk") + key, caption, nullptr);
    };
    if (m_language == Language::German) {
        section(QStringLiteral("Webdesign"), QStringLiteral("Webdesign"),
                QStringLiteral("Velmora gestaltet auch Internetseiten: übersichtlich, schnell und "
                               "auf jedem Gerät gut zu lesen."),
                siteLinkCaption(second, QStringLiteral("webdesign")));
        section(QStringLiteral("Individuell"), QStringLiteral("Individuelle Software"),
                QStringLiteral("Sie brauchen ein Programm, das genau zu Ihren Abläufen passt? Wir "
                               "entwickeln Software nach Maß."),
                siteLinkCaption(site, QStringLiteral("individuell")));
        section(QStringLiteral("Service"), QStringLiteral("Mehr Service für Sie"),
                QStringLiteral("Von der Beratung bis zur Pflege Ihrer Seiten: unsere weiteren "
                               "Angebote finden Sie hier."),
                siteLinkCaption(second));
    } else {
        section(QStringLiteral("Webdesign"), QStringLiteral("Webdesign"),
                QStringLiteral("Velmora also designs web sites: clear, fast and easy to read on "
                               "every device."),
                siteLinkCaption(second, QStringLiteral("webdesign")));
        section(QStringLiteral("Individuell"), QStringLiteral("Individual Software"),
                QStringLiteral("Do you need a program that fits exactly the way you work? We "
                               "write software made to measure."),
                siteLinkCaption(site, QStringLiteral("individual")));
        section(QStringLiteral("Service"), QStringLiteral("More Service for You"),
                QStringLiteral("From advice to the care of your web pages: you find our further "
                               "services here."),
                siteLinkCaption(second));
    }
    return textPage(QStringLiteral("pc_empf"), rows);
}

QWidget* HelpWindow::softwarePage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pc_software"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    if (m_language == Language::German)
        m_frame = new TFrame1(page);
    else
        m_frame = new TFrame2(page);
    layout->addWidget(m_frame);
    return page;
}

QWidget* HelpWindow::donatePage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pc_spenden"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 2);
    layout->setSpacing(2);

    auto* box = new QScrollArea(page);
    box->setObjectName(QStringLiteral("sbSpenden"));
    box->setFrameShape(QFrame::NoFrame);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setFixedSize(504, 291);
    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(
        QPixmap(pick(m_language, ":/artwork/donate_de.jpg", ":/artwork/donate_en.jpg")));
    picture->setFixedSize(504, 289);
    box->setWidget(picture);
    layout->addWidget(box, 0, Qt::AlignHCenter);

    layout->addWidget(link(QStringLiteral("lkSpenden"),
                           siteLinkCaption(pick(m_language, hosts::siteDe, hosts::siteEn),
                                           pick(m_language, "spenden", "donate")),
                           page),
                      0, Qt::AlignRight);
    layout->addStretch(1);
    return page;
}

QWidget* HelpWindow::licencePage()
{
    const QString site = pick(m_language, hosts::siteDe, hosts::siteEn);
    auto* notice = new QWidget;
    notice->setObjectName(QStringLiteral("paRechte"));
    auto* row = new QHBoxLayout(notice);
    row->setContentsMargins(0, 6, 0, 0);
    auto* rights = new QLabel(
        pick(m_language, "© Velmora. Alle Rechte vorbehalten.", "© Velmora. All rights reserved."),
        notice);
    rights->setObjectName(QStringLiteral("laRechte"));
    row->addWidget(rights);
    row->addStretch(1);
    row->addWidget(link(QStringLiteral("lkLizenz"),
                        siteLinkCaption(site, pick(m_language, "lizenz", "licence")), notice));
    row->addSpacing(12);
    row->addWidget(link(QStringLiteral("lkSpenden"),
                        siteLinkCaption(site, pick(m_language, "spenden", "donate")), notice));

    if (m_language == Language::German)
        return textPage(
            QStringLiteral("pc_lizenz"),
            {makeHeading(QStringLiteral("laLizenz"), QStringLiteral("Lizenz"), nullptr),
             makeParagraph(QStringLiteral("laLizenz1"),
                           QStringLiteral("Quorvel darf kostenlos heruntergeladen, benutzt und "
                                          "weitergegeben werden, solange das Programm vollständig "
                                          "und unverändert bleibt."),
                           nullptr),
             makeParagraph(QStringLiteral("laLizenz2"),
                           QStringLiteral("Bezahlen Sie nur, wenn Ihnen das Programm geholfen "
                                          "hat, und nur so viel, wie es Ihnen wert ist: auf "
                                          "unserer Spendenseite."),
                           nullptr),
             makeParagraph(QStringLiteral("laLizenz3"),
                           QStringLiteral("Die vollständige und verbindliche Lizenz finden Sie "
                                          "auf unserer Lizenzseite. Sie benutzen das Programm auf "
                                          "eigene Gefahr."),
                           nullptr),
             notice});
    return textPage(
        QStringLiteral("pc_lizenz"),
        {makeHeading(QStringLiteral("laLizenz"), QStringLiteral("Licence"), nullptr),
         makeParagraph(QStringLiteral("laLizenz1"),
                       QStringLiteral("You may download, use and pass on Quorvel free of charge "
                                      "as long as the program stays complete and unchanged."),
                       nullptr),
         makeParagraph(QStringLiteral("laLizenz2"),
                       QStringLiteral("Pay only if the program was useful to you, and only what "
                                      "it is worth to you: on our donate page."),
                       nullptr),
         makeParagraph(QStringLiteral("laLizenz3"),
                       QStringLiteral("The complete and binding licence is on our licence page. "
                                      "You use the program at your own risk."),
                       nullptr),
         notice});
}

void HelpWindow::showPage(const QString& pageName)
{
    if (auto* page = m_pc->findChild<QWidget*>(pageName); page && m_pc->indexOf(page) >= 0)
        m_pc->setCurrentWidget(page);
    show();
    raise();
    activateWindow();
}

void HelpWindow::backClick()
{
    const int count = m_pc->count();
    m_pc->setCurrentIndex((m_pc->currentIndex() + count - 1) % count);
}

void HelpWindow::nextClick()
{
    m_pc->setCurrentIndex((m_pc->currentIndex() + 1) % m_pc->count());
}

// Dragging the header (or the bare window background) moves the window, as the title bar would.
void HelpWindow::Image2MouseDown()
{
    if (QWindow* window = windowHandle())
        window->startSystemMove();
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        // Presses that other children left unhandled bubble up to the panel; only a press on
        // the panel's own background counts.
        const auto* press = static_cast<QMouseEvent*>(event);
        if (watched == m_header ||
            (watched == m_panel && !m_panel->childAt(press->position().toPoint()))) {
            Image2MouseDown();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void HelpWindow::BrowseToCaption()
{
    if (auto* label = qobject_cast<QLabel*>(sender()))
        platform().openUrl(captionLinkAddress(label->text(), QLatin1Char('h')));
}

} // namespace qv

Thilfe::Thilfe(QWidget* parent) : HelpWindow(qv::Language::German, parent)
{
    pinfo_de = m_panel;
    Image2 = m_header;
    pc = m_pc;
    btide1 = m_back;
    btide2 = m_next;
}

Thilfe_en::Thilfe_en(QWidget* parent) : HelpWindow(qv::Language::English, parent)
{
    pinfo_en = m_panel;
    Image3 = m_header;
    pc = m_pc;
    btien1 = m_back;
    btien2 = m_next;
}
