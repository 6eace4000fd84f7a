#include "app/tprog.h"

#include "app/insertedtextfilter.h"
#include "app/panel.h"
#include "app/platform.h"
#include "app/screenfit.h"
#include "app/tstart.h"
#include "app/windows.h"
#include "batch/renamebatch.h"
#include "config/profilefile.h"
#include "filelist/filelistmodel.h"
#include "text/pathbytes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <algorithm>

Tprog::Tprog(QWidget* parent) : QMainWindow(parent)
{
    qv::prog = this;
    setObjectName(QStringLiteral("prog"));
    setWindowTitle(qv::applicationTitle);
    createComponents();
    createMenus();
    const int menuHeight = menu->sizeHint().height();
    const QSize design(614, 639 + menuHeight);
    setMinimumSize(500, 530);
    // On a screen lower than the design the list gives up its height first. Down to the floor
    // every control keeps its place, and with the taller options panel open the list still
    // shows its header.
    constexpr int listGivesUp = 160;
    qv::keepInsideScreen(this, QSize(500, design.height() - listGivesUp));
    qv::centreOnScreen(this, design);
    // A hidden window lays out its client only when shown; a configuration loaded before that
    // measures the client.
    m_client->resize(size() - QSize(0, menuHeight));
    setupSlots();

    // FormCreate.
    buildSoftwareMenus();
    m_rotation = 0;
    setAcceptDrops(true);
    sprache();
    la_anzahl->setText(qv::countText(0, txt));
    la_anzahl->adjustSize();
    pa1->setDarkerButtonFace(5);
    pa2->setDarkerButtonFace(5);
    for (qv::Panel* heading : {Panel7, Panel2, Panel4})
        heading->setDarkerButtonFace(50);
    act_maskeClick(this);
    updateUndoEntry();
    Timer1->start();
    m_sinceEvents.start();
    // Only a disabled window may repaint in the middle of a sort: then no input can reach the
    // list while it works out its new order.
    m_list->setSortPause([this] {
        if (!isEnabled())
            processPendingEvents();
    });
}

Tprog::~Tprog() = default;

void Tprog::setupSlots()
{
    connect(Umbenennen, &QPushButton::clicked, this, &Tprog::UmbenennenClick);
    connect(OpenOrdner, &QPushButton::clicked, this, &Tprog::OpenOrdnerClick);
    connect(BitBtn1, &QPushButton::clicked, this, &Tprog::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &Tprog::BitBtn3Click);
    connect(BitBtn2, &QPushButton::clicked, this, &Tprog::BitBtn2Click);
    // The view sorts the list on the header's signal; the numbering follows the list positions,
    // which the sort may have changed.
    connect(qulist->header(), &QHeaderView::sortIndicatorChanged, this, &Tprog::Vorschau);
    connect(qulist->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &Tprog::qulistSelectItem);
    connect(qulist, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (PopupMenu1Popup())
            PopupMenu1->popup(qulist->viewport()->mapToGlobal(pos));
    });
    connect(pop1, &QAction::triggered, this, &Tprog::MenuItem1Click);
    connect(pop2, &QAction::triggered, this, &Tprog::MenuItem2Click);
    connect(pop3, &QAction::triggered, this, &Tprog::MenuItem4Click);
    connect(pop4, &QAction::triggered, this, &Tprog::BitBtn3Click);

    connect(act_maske, &QCheckBox::clicked, this, [this] { act_maskeClick(act_maske); });
    connect(act_suchenersetzen, &QCheckBox::clicked, this,
            [this] { act_maskeClick(act_suchenersetzen); });
    connect(maske, &QComboBox::editTextChanged, this, &Tprog::maskeChange);
    connect(numstart, &QComboBox::editTextChanged, this, &Tprog::numstartChange);
    connect(suchenalt, &QLineEdit::textChanged, this, &Tprog::Vorschau);
    connect(suchenneu, &QLineEdit::textChanged, this, &Tprog::Vorschau);
    connect(cb_suchname, &QCheckBox::clicked, this, &Tprog::Vorschau);
    connect(cb_suchendung, &QCheckBox::clicked, this, &Tprog::Vorschau);
    // Toggled rather than clicked: a loaded configuration sets them without a click.
    for (QCheckBox* box : {cb_regex, cb_gross, cb_endungklein})
        connect(box, &QCheckBox::toggled, this, &Tprog::Vorschau);
    for (QComboBox* box : {stellen, datumsquelle, schreibung})
        connect(box, &QComboBox::currentIndexChanged, this, &Tprog::Vorschau);
    connect(m_morePlaceholders, &QMenu::triggered, this,
            [this](QAction* item) { insertPlaceholder(item->data().toString()); });

    connect(Timer1, &QTimer::timeout, this, &Tprog::Timer1Timer);
    connect(timerstopper, &QTimer::timeout, this, &Tprog::timerstopperTimer);

    connect(m_vorschau_alle, &QAction::triggered, this, &Tprog::m_vorschau_alleClick);
    connect(m_rueckgaengig, &QAction::triggered, this, &Tprog::m_rueckgaengigClick);
    // The preview of all entries shows the run as it would be with or without chains.
    connect(m_ketten, &QAction::toggled, this, &Tprog::followWithPreview);
    // The list sorts itself anew, and the numbering follows the new order.
    connect(m_natuerlich, &QAction::toggled, this, [this](bool byValue) {
        m_list->setNumbersByValue(byValue);
        Vorschau();
    });
    connect(m_bugreport, &QAction::triggered, this, &Tprog::m_bugreportClick);
    connect(FehleroderVerbesserungmelden1, &QAction::triggered, this, &Tprog::m_bugreportClick);
    connect(ReportBugorImprovement1, &QAction::triggered, this, &Tprog::m_bugreportClick);
    connect(m_close, &QAction::triggered, this, &Tprog::m_closeClick);
    connect(m_konfig_save, &QAction::triggered, this, &Tprog::KonfigurationSpeichernDialog);
    connect(m_konfig_open, &QAction::triggered, this, &Tprog::KonfigurationLadenDialog);
    connect(m_konfig_alsstart, &QAction::triggered, this, &Tprog::m_konfig_alsstartClick);
    connect(m_konfig_autosave_nie, &QAction::triggered, this, &Tprog::m_konfig_autosave_nieClick);
    connect(m_konfig_autosave_alles, &QAction::triggered, this,
            &Tprog::m_konfig_autosave_allesClick);
    connect(Deutsch1, &QAction::triggered, this, &Tprog::Deutsch1Click);
    connect(Englisch1, &QAction::triggered, this, &Tprog::Englisch1Click);

    const struct
    {
        QAction* item;
        qv::Language language;
        const char* page;
    } helpEntries[] = {
        {Funktionen2, qv::Language::German, "pc_hilfe"},
        {Empfehlungen1, qv::Language::German, "pc_empf"},
        {Software1, qv::Language::German, "pc_software"},
        {WiesoSpenden1, qv::Language::German, "pc_spenden"},
        {Lizenz1, qv::Language::German, "pc_lizenz"},
        {KurzbeschreibungallerProgramme1, qv::Language::German, "pc_software"},
        {Introduction1, qv::Language::English, "pc_hilfe"},
        {Regards1, qv::Language::English, "pc_empf"},
        {Software2, qv::Language::English, "pc_software"},
        {WhyDonate1, qv::Language::English, "pc_spenden"},
        {Licence1, qv::Language::English, "pc_lizenz"},
        {BriefDescriptionoftheSoftware1, qv::Language::English, "pc_software"},
    };
    for (const auto& entry : helpEntries) {
        const qv::Language language = entry.language;
        const QString page = QLatin1String(entry.page);
        connect(entry.item, &QAction::triggered, this,
                [this, language, page] { showHelpPage(language, page); });
    }

    // Key filters, double clicks and clickable labels. An editable combo box holds the focus
    // for its edit field and hands typed keys straight to it, past the field's filters: the
    // combo boxes are watched themselves.
    for (QObject* watched :
         {static_cast<QObject*>(quordner), static_cast<QObject*>(maske->lineEdit()),
          static_cast<QObject*>(maske), static_cast<QObject*>(numstart->lineEdit()),
          static_cast<QObject*>(numstart), static_cast<QObject*>(suchenalt),
          static_cast<QObject*>(suchenneu), static_cast<QObject*>(qulist),
          static_cast<QObject*>(laspenden)})
        watched->installEventFilter(this);
    for (QLabel* constant : {Label5, Label9, Label7, Label12, Label17, Label21, Label19})
        constant->installEventFilter(this);
    // A marked search field takes its colour from the palette around it, whenever that changes.
    pa1->installEventFilter(this);
    // Pasted, dropped and composed text passes the same character filters as typed keys.
    new qv::InsertedTextFilter(maske->lineEdit(), &Tprog::maskeKeyPress);
    new qv::InsertedTextFilter(suchenalt, [this](QChar c) { return suchenaltKeyPress(c); });
    new qv::InsertedTextFilter(suchenneu, [this](QChar c) { return suchenneuKeyPress(c); });
    new qv::InsertedTextFilter(numstart->lineEdit(), &Tprog::numstartKeyPress);
    new qv::InsertedTextFilter(quordner, &Tprog::quordnerAccepts);
    setupKeyboard();
}

bool Tprog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qulist && event->type() == QEvent::Resize)
        followListWidth();
    if (watched == pa1 && event->type() == QEvent::PaletteChange)
        showExpressionState();
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == qulist)
            return qulistKeyDown(key->key(), key->modifiers());
        const QString text = key->text();
        // Delete and the focus keys type nothing, whatever text the platform attaches to them
        // (X11 gives Delete "\x7f" and Tab "\t"); the character filters must not swallow them.
        if (text.isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab ||
            key->key() == Qt::Key_Backtab)
            return false;
        const QChar c = text.at(0);
        if (watched == quordner)
            return !quordnerKeyPress(c);
        if (watched == numstart->lineEdit() || watched == numstart)
            return !numstartKeyPress(c);
        if (watched == maske->lineEdit() || watched == maske)
            return !maskeKeyPress(c);
        if (watched == suchenalt)
            return !suchenaltKeyPress(c);
        if (watched == suchenneu)
            return !suchenneuKeyPress(c);
        return false;
    }
    // The edits take text drops of their own; files dropped on them belong to the whole window.
    if ((event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
         event->type() == QEvent::Drop) &&
        watched != qulist && watched != laspenden) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QList<QUrl> urls = drop->mimeData()->urls();
        if (std::any_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); })) {
            if (event->type() == QEvent::Drop)
                dropEvent(drop);
            else
                drop->acceptProposedAction();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonDblClick && watched == quordner) {
        quordnerDblClick();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == laspenden) {
            laspendenClick();
            return true;
        }
        if (auto* constant = qobject_cast<QLabel*>(watched)) {
            Label5Click(constant);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tprog::processPendingEvents()
{
    if (m_sinceEvents.elapsed() < 30)
        return;
    QCoreApplication::processEvents();
    m_sinceEvents.restart();
}

// ---- window life cycle -------------------------------------------------------------------

void Tprog::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous() && !m_shown) {
        m_shown = true;
        FormShow();
    }
}

void Tprog::FormShow()
{
    loadStartConfiguration();
}

void Tprog::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void Tprog::FormActivate()
{
    if (Tag == 0) {
        showMaximized();
        Tag = 1;
    }
}

void Tprog::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void Tprog::FormResize()
{
    fitPreviewLabels();
}

bool Tprog::FormCloseQuery()
{
    if (m_konfig_autosave_alles->isChecked()) {
        try {
            saveStartConfiguration();
        } catch (const qv::ProfileError& e) {
            qv::platform().error(this, e.message());
            return false;
        }
    }
    return true;
}

void Tprog::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    FormClose();
}

void Tprog::FormClose()
{
    // Closing the splash ends the program.
    qv::start->close();
}

void Tprog::m_closeClick()
{
    qv::start->close();
}

// ---- dropping files ------------------------------------------------------------------------

void Tprog::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        for (const QUrl& url : event->mimeData()->urls()) {
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
        }
    }
}

void Tprog::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.append(qv::pathFromUrl(url));
    }
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    dropFiles(paths);
}
