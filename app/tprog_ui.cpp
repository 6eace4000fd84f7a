// The main window's component tree and menus at the design size (client area 614 x 639).

#include "app/anchors.h"
#include "app/elidedtips.h"
#include "app/palettecolours.h"
#include "app/panel.h"
#include "app/tprog.h"

#include "batch/renamebatch.h"
#include "filelist/filelistmodel.h"
#include "info/weblinks.h"
#include "rename/placeholders.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

using qv::Anchors;
using qv::Panel;

namespace {

constexpr int L = Anchors::Left;
constexpr int T = Anchors::Top;
constexpr int R = Anchors::Right;
constexpr int B = Anchors::Bottom;

template <typename W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption = {})
{
    auto* l = named(new QLabel(caption, parent), name);
    l->adjustSize();
    return l;
}

QAction* action(QMenu* menu, const char* name, const QString& caption)
{
    auto* a = named(menu->addAction(caption), name);
    return a;
}

} // namespace

void Tprog::createComponents()
{
    m_client = named(new QWidget(this), "client");
    setCentralWidget(m_client);
    m_client->resize(614, 639);
    m_anchors = new Anchors(this);
    auto place = [this](QWidget* w, int x, int y, int width, int height, int edges = L | T) {
        m_anchors->place(w, QRect(x, y, width, height), edges);
    };
    auto placeLabel = [this](QLabel* w, int x, int y, int edges = L | T) {
        w->adjustSize();
        m_anchors->place(w, QRect(QPoint(x, y), w->sizeHint()), edges);
    };

    laspenden = label(m_client, "laspenden");
    laspenden->setCursor(Qt::PointingHandCursor);
    place(laspenden, 5, 617, 410, 18, L | R | B);
    Umbenennen = named(new QPushButton(m_client), "Umbenennen");
    place(Umbenennen, 501, 612, 110, 25, R | B);

    // The files panel.
    Panel6 = new Panel(QStringLiteral("Panel6"), m_client);
    place(Panel6, 3, 3, 608, 242, L | T | R | B);
    Panel7 = new Panel(QStringLiteral("Panel7"), Panel6, Panel::Flat);
    Panel7->makeHeading();
    place(Panel7, 1, 1, 606, 24, L | T | R);
    Label1 = label(Panel6, "Label1");
    Label1->setWordWrap(false);
    placeLabel(Label1, 5, 32);
    quordner = named(new QLineEdit(Panel6), "quordner");
    place(quordner, 5, 50, 439, 21, L | T | R);
    OpenOrdner = named(new QPushButton(Panel6), "OpenOrdner");
    place(OpenOrdner, 449, 50, 89, 21, T | R);
    BitBtn1 = named(new QPushButton(Panel6), "BitBtn1");
    place(BitBtn1, 545, 50, 59, 21, T | R);
    cb_dat = named(new QCheckBox(Panel6), "cb_dat");
    cb_dat->setChecked(true);
    place(cb_dat, 5, 73, 247, 19);
    cb_dir = named(new QCheckBox(Panel6), "cb_dir");
    cb_dir->setChecked(true);
    place(cb_dir, 240, 73, 300, 19);

    qulist = named(new QTreeView(Panel6), "qulist");
    m_batch = std::make_unique<qv::RenameBatch>();
    m_list = &m_batch->list();
    qulist->setModel(m_list);
    qulist->setRootIsDecorated(false);
    qulist->setItemsExpandable(false);
    qulist->setUniformRowHeights(true);
    qulist->setAllColumnsShowFocus(true);
    qulist->setSelectionMode(QAbstractItemView::ExtendedSelection);
    qulist->setSelectionBehavior(QAbstractItemView::SelectRows);
    qulist->setEditTriggers(QAbstractItemView::NoEditTriggers);
    qulist->setContextMenuPolicy(Qt::CustomContextMenu);
    qulist->setTextElideMode(Qt::ElideRight);
    qv::showElidedTextAsTooltip(qulist);
    // The list starts sorted by name, ascending: the first click on the name header reverses it.
    qulist->header()->setSortIndicator(qv::ColName, Qt::AscendingOrder);
    qulist->setSortingEnabled(true);
    qulist->header()->setSectionsMovable(false);
    qulist->header()->setStretchLastSection(false);
    qulist->header()->setMinimumSectionSize(25);
    const int widths[] = {150, 50, 80, 90, 155};
    for (int c = 0; c < 5; ++c)
        qulist->setColumnWidth(c, widths[c]);
    place(qulist, 5, 96, 599, 116, L | T | R | B);
    m_listDesignWidth = qulist->width();

    la_anzahl = label(Panel6, "la_anzahl");
    place(la_anzahl, 5, 219, 380, 16, L | B);
    BitBtn3 = named(new QPushButton(Panel6), "BitBtn3");
    place(BitBtn3, 397, 216, 105, 21, R | B);
    BitBtn2 = named(new QPushButton(Panel6), "BitBtn2");
    place(BitBtn2, 506, 216, 98, 21, R | B);

    // The actions panel; act_maskeClick recomputes its top and height.
    Panel1 = new Panel(QStringLiteral("Panel1"), m_client);
    place(Panel1, 3, 251, 608, 278, L | R | B);
    Panel2 = new Panel(QStringLiteral("Panel2"), Panel1, Panel::Flat);
    Panel2->makeHeading();
    place(Panel2, 1, 1, 606, 24, L | T | R);
    Label4 = label(Panel1, "Label4");
    placeLabel(Label4, 5, 32);
    act_maske = named(new QCheckBox(Panel1), "act_maske");
    place(act_maske, 5, 50, 590, 19, L | T | R);

    pa2 = new Panel(QStringLiteral("pa2"), Panel1, Panel::LoweredOuter);
    place(pa2, 19, 69, 584, 113, L | T | R);
    maske = named(new QComboBox(pa2), "maske");
    maske->setEditable(true);
    maske->setInsertPolicy(QComboBox::NoInsert);
    // The text is what the user typed: an inline completion would turn a typed letter into
    // the custom item, which empties the field.
    maske->setCompleter(nullptr);
    maske->addItems({QStringLiteral("%name%"), QStringLiteral("%name%1"),
                     QStringLiteral("%name%%num%"), QStringLiteral("%name%-%0num%"),
                     QStringLiteral("%name%-%y%-%m%-%d%"), QStringLiteral("%0num%"),
                     QStringLiteral("%0num% %name%"), QStringLiteral("%0num%-%abs%"),
                     QStringLiteral("Benutzerdefiniert..")});
    maske->setCurrentIndex(-1);
    maske->setEditText(QStringLiteral("%name%"));
    place(maske, 6, 6, 486, 22, L | T | R);
    Platzhalter = named(new QPushButton(pa2), "Platzhalter");
    m_morePlaceholders = named(new QMenu(Platzhalter), "PlatzhalterMenu");
    Platzhalter->setMenu(m_morePlaceholders);
    // A click must leave the focus, and so the selection, in the mask: the placeholder replaces
    // it as a click on a label does.
    Platzhalter->setFocusPolicy(Qt::TabFocus);
    place(Platzhalter, 496, 6, 80, 22, T | R);
    label3 = label(pa2, "label3");
    placeLabel(label3, 8, 33);

    // Placeholders in three rows and three columns, each with its description beside it.
    auto placeholder = [&](QLabel*& constant, const char* name, const QString& caption, int x,
                           int y) {
        constant = label(pa2, name, caption);
        constant->setCursor(Qt::PointingHandCursor);
        qv::keepTextReadable(constant, QColor(0x1a, 0x3f, 0x8f));
        placeLabel(constant, x, y);
    };
    auto description = [&](QLabel*& text, const char* name, int x, int y) {
        text = label(pa2, name);
        placeLabel(text, x, y);
    };
    const int row1 = 53, row2 = 72, row3 = 91;
    // Each description starts behind the widest constant of its column.
    const QFontMetrics metrics(pa2->font());
    auto widest = [&metrics](std::initializer_list<const char*> constants) {
        int w = 0;
        for (const char* c : constants)
            w = qMax(w, metrics.horizontalAdvance(QLatin1String(c)));
        return w + 8;
    };
    const auto spelling = [](qv::PlaceholderValue value) { return qv::placeholder(value).english; };
    const int colA = 8, colB = 290, colC = 404;
    const int colAText = colA + widest({"%abs%", "%num%", "%0num%"});
    const int colBText = colB + widest({"%d%", "%t%", "%m%", "%j%", "%y%"});
    const int colCText = colC + widest({"%name%"});
    // Component order follows the form: the right column's %name% first.
    placeholder(Label5, "Label5", spelling(qv::PlaceholderValue::Name), colC, row1);
    description(Label6, "Label6", colCText, row1);
    placeholder(Label9, "Label9", spelling(qv::PlaceholderValue::Count), colA, row1);
    description(Label10, "Label10", colAText, row1);
    placeholder(Label7, "Label7", spelling(qv::PlaceholderValue::Number), colA, row2);
    description(Label8, "Label8", colAText, row2);
    numstart = named(new QComboBox(pa2), "numstart");
    numstart->setEditable(true);
    numstart->setInsertPolicy(QComboBox::NoInsert);
    numstart->setCompleter(nullptr);
    numstart->addItems({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                        QStringLiteral("5"), QStringLiteral("Benutzer..")});
    numstart->setCurrentIndex(-1);
    numstart->setEditText(QStringLiteral("1"));
    place(numstart, 218, row2 - 3, 62, 20);
    placeholder(Label12, "Label12", spelling(qv::PlaceholderValue::ZeroNumber), colA, row3);
    description(Label13, "Label13", colAText, row3);
    placeholder(Label17, "Label17", spelling(qv::PlaceholderValue::Day), colB, row1);
    description(Label18, "Label18", colBText, row1);
    placeholder(Label21, "Label21", spelling(qv::PlaceholderValue::Month), colB, row2);
    description(Label22, "Label22", colBText, row2);
    placeholder(Label19, "Label19", spelling(qv::PlaceholderValue::Year), colB, row3);
    description(Label20, "Label20", colBText, row3);
    // Behind the date column, where the right column has no placeholders: the digits of %0num%
    // in the row of the numbering start, and below them where the date comes from, beside the
    // year.
    const int colD = colBText + widest({"Monat", "Month", "Jahr", "Year", "Tag", "Day"}) + 6;
    Label23 = label(pa2, "Label23");
    placeLabel(Label23, colD, row2);
    stellen = named(new QComboBox(pa2), "stellen");
    stellen->addItem(QStringLiteral("Auto"));
    for (int digits = 1; digits <= 9; ++digits)
        stellen->addItem(QString::number(digits));
    place(stellen, 578 - 62, row2 - 4, 62, 20);
    datumsquelle = named(new QComboBox(pa2), "datumsquelle");
    datumsquelle->addItems({QString(), QString(), QString(), QString()});
    place(datumsquelle, colD, row3 - 2, 578 - colD, 20);

    act_suchenersetzen = named(new QCheckBox(Panel1), "act_suchenersetzen");
    place(act_suchenersetzen, 5, 188, 590, 19, L | T | R);
    pa1 = new Panel(QStringLiteral("pa1"), Panel1, Panel::LoweredOuter);
    place(pa1, 19, 208, 584, 106, L | T | R);
    Label2 = label(pa1, "Label2");
    placeLabel(Label2, 8, 11);
    suchenalt = named(new QLineEdit(pa1), "suchenalt");
    place(suchenalt, 110, 7, 190, 21);
    Label11 = label(pa1, "Label11");
    placeLabel(Label11, 8, 37);
    suchenneu = named(new QLineEdit(pa1), "suchenneu");
    place(suchenneu, 110, 33, 190, 21);
    Label16 = label(pa1, "Label16");
    placeLabel(Label16, 320, 9);
    cb_suchname = named(new QCheckBox(pa1), "cb_suchname");
    cb_suchname->setChecked(true);
    place(cb_suchname, 320, 33, 110, 19);
    cb_suchendung = named(new QCheckBox(pa1), "cb_suchendung");
    place(cb_suchendung, 432, 33, 140, 19);
    // How the search text is read, below the fields; how the new name is written, on the right.
    cb_regex = named(new QCheckBox(pa1), "cb_regex");
    place(cb_regex, 110, 59, 200, 19);
    cb_gross = named(new QCheckBox(pa1), "cb_gross");
    cb_gross->setChecked(true);
    place(cb_gross, 110, 81, 200, 19);
    schreibung = named(new QComboBox(pa1), "schreibung");
    schreibung->addItems({QString(), QString(), QString(), QString(), QString()});
    const QFontMetrics searchMetrics(pa1->font());
    place(schreibung, 320, 58,
          searchMetrics.horizontalAdvance(QStringLiteral("Schreibung unverändert")) + 40, 21);
    cb_endungklein = named(new QCheckBox(pa1), "cb_endungklein");
    place(cb_endungklein, 320, 81, 250, 19);

    // The preview panel.
    Panel3 = new Panel(QStringLiteral("Panel3"), m_client);
    place(Panel3, 3, 535, 608, 72, L | R | B);
    Panel4 = new Panel(QStringLiteral("Panel4"), Panel3, Panel::Flat);
    Panel4->makeHeading();
    place(Panel4, 1, 1, 606, 24, L | T | R);
    Label14 = label(Panel3, "Label14");
    placeLabel(Label14, 8, 31);
    Label15 = label(Panel3, "Label15");
    placeLabel(Label15, 8, 50);
    vor_orig = label(Panel3, "vor_orig");
    place(vor_orig, 96, 31, 462, 16, L | T | R);
    vor_out = label(Panel3, "vor_out");
    place(vor_out, 96, 50, 462, 16, L | T | R);
    for (QLabel* value : {vor_orig, vor_out}) {
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        value->setTextFormat(Qt::PlainText);
    }

    // Non-visual components.
    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(10000);
    timerstopper = named(new QTimer(this), "timerstopper");
    timerstopper->setInterval(10000);
    timerstopper->setTimerType(Qt::PreciseTimer);
    od_konfig.setFactory([this] {
        auto* dialog = named(new QFileDialog(this), "od_konfig");
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDefaultSuffix(QStringLiteral("qvc"));
        dialog->setOption(QFileDialog::ReadOnly, false);
        dialog->setNameFilter(m_konfigFilter);
        return dialog;
    });
    sd_konfig.setFactory([this] {
        auto* dialog = named(new QFileDialog(this), "sd_konfig");
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDefaultSuffix(QStringLiteral("qvc"));
        dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog->setNameFilter(m_konfigFilter);
        return dialog;
    });
    softwareicons = new qv::ImageList(QStringLiteral("softwareicons"), this);

    PopupMenu1 = named(new QMenu(this), "PopupMenu1");
    pop1 = action(PopupMenu1, "pop1", QStringLiteral("Übergeordneten Ordner Öffnen"));
    pop2 = action(PopupMenu1, "pop2", QStringLiteral("Dateiinformationen Anzeigen"));
    PopupMenu1->addSeparator();
    pop3 =
        action(PopupMenu1, "pop3", QStringLiteral("Markierte Bilder in Zwischenablage Kopieren"));
    PopupMenu1->addSeparator();
    pop4 = action(PopupMenu1, "pop4", QStringLiteral("Markierte Bilder aus Liste löschen"));
}

QAction* Tprog::addWebLink(QMenu* target, const QString& caption, bool withReferrer)
{
    QAction* link = target->addAction(caption);
    link->setObjectName(target->objectName() + QStringLiteral("_link") +
                        QString::number(target->actions().size()));
    if (withReferrer)
        connect(link, &QAction::triggered, this, [this, link] { BrowseToMenuCaption(link); });
    else
        connect(link, &QAction::triggered, this,
                [this, link] { BrowseToMenuCaptionWithoutRef(link); });
    return link;
}

void Tprog::createMenus()
{
    using namespace qv::hosts;

    // The maker's pages listed below a menu's own entries; the portals take no referrer.
    struct WebLink
    {
        const QString& host;
        const char* path;
        const char* description;
        bool withReferrer = true;
    };
    auto addWebLinks = [this](QMenu* target, std::initializer_list<WebLink> links) {
        for (const WebLink& link : links)
            addWebLink(target,
                       qv::siteLinkCaption(link.host, QString::fromUtf8(link.path),
                                           QString::fromUtf8(link.description)),
                       link.withReferrer);
    };

    menu = named(new QMenuBar(this), "menu");
    setMenuBar(menu);
    // A menu and the action that stands for it in its parent carry the same name, so that the
    // menu is found by name whether it is looked for as a menu or as an entry.
    auto subMenu = [](QMenu* m, const char* name) {
        named(m, name);
        m->menuAction()->setObjectName(QLatin1String(name));
        return m;
    };
    auto topMenu = [this, &subMenu](const char* name, const QString& caption) {
        return subMenu(menu->addMenu(caption), name);
    };

    Programm1 = topMenu("Programm1", QStringLiteral("Programm"));
    m_vorschau_alle =
        action(Programm1, "m_vorschau_alle", QStringLiteral("Vorschau aller Einträge"));
    m_vorschau_alle->setShortcut(QKeySequence(Qt::Key_F5));
    m_rueckgaengig =
        action(Programm1, "m_rueckgaengig", QStringLiteral("Letzte Umbenennung rückgängig"));
    m_rueckgaengig->setShortcut(QKeySequence::Undo);
    Programm1->addSeparator();
    m_bugreport =
        action(Programm1, "m_bugreport", QStringLiteral("Fehler oder Verbesserung melden.."));
    Programm1->addSeparator();
    m_close = action(Programm1, "m_close", QStringLiteral("Beenden"));

    Einstellungen2 = topMenu("Einstellungen2", QStringLiteral("Einstellungen"));
    m_konfig_save =
        action(Einstellungen2, "m_konfig_save", QStringLiteral("Konfiguration speichern.."));
    m_konfig_open =
        action(Einstellungen2, "m_konfig_open", QStringLiteral("Konfiguration laden.."));
    m_konfig_alsstart = action(Einstellungen2, "m_konfig_alsstart",
                               QStringLiteral("Aktuelle Konfiguration als Startkonfiguration"));
    m_konfig_autosave =
        subMenu(Einstellungen2->addMenu(QStringLiteral("Konfiguration automatisch speichern")),
                "m_konfig_autosave");
    m_konfig_autosave_nie =
        action(m_konfig_autosave, "m_konfig_autosave_nie", QStringLiteral("Nie"));
    m_konfig_autosave_nie->setCheckable(true);
    m_konfig_autosave_nie->setChecked(true);
    m_konfig_autosave_alles =
        action(m_konfig_autosave, "m_konfig_autosave_alles", QStringLiteral("Immer"));
    m_konfig_autosave_alles->setCheckable(true);
    Einstellungen2->addSeparator();
    m_ketten = action(Einstellungen2, "m_ketten", QStringLiteral("Ketten und Tausch auflösen"));
    m_ketten->setCheckable(true);
    m_natuerlich = action(Einstellungen2, "m_natuerlich",
                          QStringLiteral("Zahlen in Namen nach Wert sortieren"));
    m_natuerlich->setCheckable(true);
    Einstellungen2->addSeparator();
    m_einstspr = subMenu(Einstellungen2->addMenu(QStringLiteral("Sprache")), "m_einstspr");
    Deutsch1 = action(m_einstspr, "Deutsch1", QStringLiteral("Deutsch"));
    Deutsch1->setCheckable(true);
    Englisch1 = action(m_einstspr, "Englisch1", QStringLiteral("English"));
    Englisch1->setCheckable(true);

    m_soft_de = topMenu("m_soft_de", QStringLiteral("Software"));
    KurzbeschreibungallerProgramme1 = action(m_soft_de, "KurzbeschreibungallerProgramme1",
                                             QStringLiteral("Kurzbeschreibung aller Programme"));
    m_soft_de->addSeparator();
    addWebLinks(m_soft_de,
                {
                    {siteDe, "individuell", "Individuelle Softwarelösungen für jeden Zweck"},
                    {siteDe, "individuelle-anpassung", "Individuelle Anpassung von Software"},
                });

    m_soft_en = topMenu("m_soft_en", QStringLiteral("Software"));
    BriefDescriptionoftheSoftware1 = action(m_soft_en, "BriefDescriptionoftheSoftware1",
                                            QStringLiteral("Brief Description of the Software"));
    m_soft_en->addSeparator();
    addWebLinks(m_soft_en,
                {
                    {siteEn, "individual", "Individual Software Solutions for every Porpuse"},
                    {siteEn, "individual-fit", "Individual Adaption of existing Software"},
                });

    Hilfe1 = topMenu("Hilfe1", QStringLiteral("Hilfe und Info"));
    Funktionen2 = action(Hilfe1, "Funktionen2", QStringLiteral("Einführung"));
    FehleroderVerbesserungmelden1 = action(Hilfe1, "FehleroderVerbesserungmelden1",
                                           QStringLiteral("Fehler oder Verbesserung melden.."));
    Empfehlungen1 = action(Hilfe1, "Empfehlungen1", QStringLiteral("Empfehlungen"));
    Software1 = action(Hilfe1, "Software1", QStringLiteral("Software"));
    WiesoSpenden1 = action(Hilfe1, "WiesoSpenden1", QStringLiteral("Wieso Spenden?"));
    Lizenz1 = action(Hilfe1, "Lizenz1", QStringLiteral("Lizenz"));
    Hilfe1->addSeparator();
    addWebLinks(Hilfe1, {
                            {siteDe, "quorvel", "Homepage dieser Software"},
                            {siteDe, "quorvel-hilfe", "Einführung in diese Software"},
                            {siteDe, "quorvel-funktionen", "Dokumentation aller Funktionen"},
                            {siteDe, "spenden", "Wenn Sie diese Anwendung mögen"},
                            {portalDe, "portal/velmora-software",
                             "FAQ und Fragen zu dieser Software stellen", false},
                            {siteDe, "individuelle-anpassung",
                             "Wir passen diese Software Ihren Bedürfnissen an"},
                        });

    Information1 = topMenu("Information1", QStringLiteral("Help and Information"));
    Introduction1 = action(Information1, "Introduction1", QStringLiteral("Introduction"));
    ReportBugorImprovement1 = action(Information1, "ReportBugorImprovement1",
                                     QStringLiteral("Report Bug or Improvement.."));
    Regards1 = action(Information1, "Regards1", QStringLiteral("Regards"));
    Software2 = action(Information1, "Software2", QStringLiteral("Software"));
    WhyDonate1 = action(Information1, "WhyDonate1", QStringLiteral("Why Donate?"));
    Licence1 = action(Information1, "Licence1", QStringLiteral("Licence"));
    Information1->addSeparator();
    addWebLinks(Information1,
                {
                    {siteEn, "quorvel", "Website of this Software"},
                    {siteEn, "quorvel-help", "Introduction to this Software"},
                    {siteEn, "quorvel-functions", "Documentation of all Functions"},
                    {siteEn, "donate", "If you like this Application"},
                    {portalEn, "portal/velmora-software",
                     "Ask Questions about this Software and FAQ", false},
                    {siteEn, "individual-fit", "We adapt this Software to your needs"},
                });
}
