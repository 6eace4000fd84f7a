// Acceptance scenarios of the application shell, the list operations, the two languages, the
// configuration files and the information windows, driven from outside: windows and controls
// are found only by their objectNames, and the test acts through mouse clicks, key presses,
// menu actions and files on disk, as a user or an outside test program would.

#include "tests/appfixture.h"
#include "tests/designnames.h"
#include "tests/eventloop.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <QWheelEvent>

namespace {

const QString startConfigName = QStringLiteral("Auto.qvc");

QString startConfigPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(startConfigName);
}

// Removes the start configuration beside the test program, file or folder.
void removeStartConfig()
{
    const QString path = startConfigPath();
    QFileInfo info(path);
    if (info.isDir())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

// The caption of a component as the user sees it: label, button, menu title or menu entry.
QString caption(const QString& name)
{
    QWidget* top = mainWindow();
    if (auto* menu = top->findChild<QMenu*>(name))
        return menu->title();
    if (auto* act = top->findChild<QAction*>(name))
        return act->text();
    if (auto* button = top->findChild<QAbstractButton*>(name))
        return button->text();
    if (auto* label = top->findChild<QLabel*>(name))
        return label->text();
    qFatal("component %s missing", qPrintable(name));
    return {};
}

void tick(QTimer* timer)
{
    QMetaObject::invokeMethod(timer, "timeout");
}

QString readUtf16(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = f.readAll();
    if (!bytes.startsWith("\xff\xfe"))
        return QString::fromUtf8(bytes);
    bytes.remove(0, 2);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                              bytes.size() / 2);
}

void writeUtf8(const QString& path, const QByteArray& text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(text);
}

const QString tyDe = QStringLiteral("velmora.de/spenden - Vielen Dank!");
const QString tyEn = QStringLiteral("velmora.com/donate - Thank you!");

} // namespace

class AcceptanceShellTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { removeStartConfig(); }
    void cleanup() { removeStartConfig(); }

    // foundation and start-up
    void startLanguage_data();
    void startLanguage();
    void sevenWindowsAndComponents();
    void splashTimerSequence();
    void splashClick();
    void headingColours();
    void closeBoxEndsAtSplash();
    void beendenEndsWithoutSaving();
    void keyboard_data();
    void keyboard();
    void accessibleNames_data();
    void accessibleNames();
    void previewColumnsFit_data();
    void previewColumnsFit();
    void cutTextAsTooltip_data();
    void cutTextAsTooltip();
    void maximisedStartConfigAtActivation();
    void layoutFollowsWindowSize();
    void layoutInsideScreen();
    void captionsUnclipped_data();
    void captionsUnclipped();
    void resizeRefitsPreview();

    // sorting, deletion, context menu
    void sortBySizeFoldersFirst();
    void sortByNameIgnoresCase_data();
    void sortByNameIgnoresCase();
    void deleteKeyAndButtons();
    void contextMenuOnlyWithSelection();
    void rightClickSelectsEntry();
    void clipboardAndFileManager();

    // localisation
    void captionsBothWays();
    void comboItemsAndPlaceholders();
    void untouchedTextsAndState();

    // configuration
    void designStateFileExact();
    void quoteProtectionRoundTrip_data();
    void quoteProtectionRoundTrip();
    void columnsAndPlacement();
    void maximisedFromMenuAtOnce();
    void autosaveMarksAndRadioButtons();
    void savingKeepsUnknownAndEightBit();
    void missingAndWriteProtected();
    void cannotCreateFile();
    void folderNamedAutoQvc();
    void immerThenCloseWritesAndNextStartShowsIt();

    // help windows, links, bug report
    void helpMenusOpenPages_data();
    void helpMenusOpenPages();
    void backNextWrap();
    void softwareListWheel();
    void webLinks();
    void bugReportOnce();
    void rotationAndHold();
    void statusDoesNotRestartHold();
};

// ---------------------------------------------------------------------------------------------
// Foundation and start-up

void AcceptanceShellTest::startLanguage_data()
{
    QTest::addColumn<QStringList>("markers");
    QTest::addColumn<QString>("code");
    QTest::newRow("no marker: German") << QStringList{} << "de";
    QTest::newRow("en: English") << QStringList{"en"} << "en";
    QTest::newRow("en and de: German") << QStringList{"en", "de"} << "de";
}

void AcceptanceShellTest::startLanguage()
{
    QFETCH(QStringList, markers);
    QFETCH(QString, code);
    AppFixture program(AppStart{markers, false, false});
    const bool de = code == QLatin1String("de");
    QCOMPARE(in<QLabel>("start", "spr")->text(), code);
    QCOMPARE(in<QLabel>("start", "spr")->isVisibleTo(topLevel("start")), false);
    QCOMPARE(in<QLabel>("start", "Image1")->isVisibleTo(topLevel("start")), de);
    QCOMPARE(in<QLabel>("start", "en1")->isVisibleTo(topLevel("start")), !de);
    QCOMPARE(in<QLabel>("start", "Image1")->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(in<QLabel>("start", "en1")->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(topLevel("start")->size(), QSize(380, 235));
    QCOMPARE(mainWindow()->windowTitle(), QStringLiteral("Quorvel - Velmora"));
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Quorvel - Velmora"));
    QCOMPARE(caption("la_anzahl"), de ? QStringLiteral("0 Dateien/Ordner geladen")
                                      : QStringLiteral("0 Files/Folders loaded"));
    QCOMPARE(caption("Umbenennen"), de ? QStringLiteral("Umbenennen") : QStringLiteral("Rename"));
    QCOMPARE(caption("laspenden"), de ? tyDe : tyEn);
    QVERIFY(!mainWindow()->isVisible());
}

void AcceptanceShellTest::sevenWindowsAndComponents()
{
    AppFixture program;
    const QList<QPair<QString, QString>> windows{{"start", "Tstart"},
                                                 {"prog", "Tprog"},
                                                 {"hilfe", "Thilfe"},
                                                 {"hilfe_en", "Thilfe_en"},
                                                 {"bugreport_de", "Tbugreport_de"},
                                                 {"bugreport_en", "Tbugreport_en"},
                                                 {"quorvel_filter", "Tquorvel_filter"}};
    for (const auto& [name, cls] : windows) {
        QWidget* w = topLevel(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(QString::fromLatin1(w->metaObject()->className()), cls);
    }
    for (const char* name : design::widgetNames)
        QVERIFY2(mainWindow()->findChild<QWidget*>(QLatin1String(name)), name);
    for (const char* name : design::actionNames)
        QVERIFY2(mainWindow()->findChild<QAction*>(QLatin1String(name)), name);
    for (const char* name : design::menuNames)
        QVERIFY2(mainWindow()->findChild<QMenu*>(QLatin1String(name)), name);
    // The product entries stand above the form's own entries of the software menus.
    QCOMPARE(ui<QMenu>("m_soft_de")->actions().first()->objectName(), QStringLiteral("linkde0"));
    QCOMPARE(ui<QMenu>("m_soft_en")->actions().first()->objectName(), QStringLiteral("linken0"));
    QVERIFY(ui<QTimer>("Timer1")->isActive());
    QCOMPARE(ui<QTimer>("Timer1")->interval(), 10000);
    QVERIFY(!ui<QTimer>("timerstopper")->isActive());
    QCOMPARE(ui<QTimer>("timerstopper")->interval(), 10000);
    QVERIFY(ui<QAction>("m_konfig_autosave_nie")->isChecked());
    QVERIFY(!ui<QAction>("m_konfig_autosave_alles")->isChecked());
    QVERIFY(!ui("pa1")->isVisibleTo(mainWindow()));
    QVERIFY(!ui("pa2")->isVisibleTo(mainWindow()));
}

void AcceptanceShellTest::splashTimerSequence()
{
    QElapsedTimer clock;
    clock.start();
    AppFixture program(AppStart{{}, true, false});
    QWidget* start = topLevel("start");
    QWidget* main = mainWindow();
    QTimer* timer = in<QTimer>("start", "Timer1");
    QCOMPARE(timer->interval(), 600);
    QVERIFY(timer->isActive());
    start->show();
    // Generous limits: on a busy machine the ticks come late, never early.
    QTRY_VERIFY_WITH_TIMEOUT(main->isVisible(), 20000);
    QVERIFY2(clock.elapsed() >= 2300, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(start->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!start->isVisible(), 20000);
    QVERIFY2(clock.elapsed() >= 3500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(timer->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 20000);
    QVERIFY2(clock.elapsed() >= 4700, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(main->isVisible());
}

void AcceptanceShellTest::splashClick()
{
    AppFixture program(AppStart{{}, true, false});
    QWidget* start = topLevel("start");
    start->show();
    QVERIFY(QTest::qWaitForWindowExposed(start));
    QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
    QVERIFY(mainWindow()->isVisible());
    QVERIFY(!start->isVisible());
    QVERIFY(!in<QTimer>("start", "Timer1")->isActive());
}

void AcceptanceShellTest::headingColours()
{
    AppFixture program;
    const QColor face = QApplication::palette().color(QPalette::Button);
    auto minus = [&face](int amount) {
        return QColor(std::max(face.red() - amount, 0), std::max(face.green() - amount, 0),
                      std::max(face.blue() - amount, 0));
    };
    for (const char* name : {"Panel7", "Panel2", "Panel4"}) {
        QWidget* w = ui(name);
        QCOMPARE(w->palette().color(w->backgroundRole()).rgb(), minus(50).rgb());
        QVERIFY(w->autoFillBackground());
    }
    for (const char* name : {"pa1", "pa2"}) {
        QWidget* w = ui(name);
        QCOMPARE(w->palette().color(w->backgroundRole()).rgb(), minus(5).rgb());
    }
}

void AcceptanceShellTest::closeBoxEndsAtSplash()
{
    AppFixture program;
    QWidget* start = topLevel("start");
    start->show();
    QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
    // The splash stays in existence, hidden; closing the main window closes it too.
    int code = -1;
    QTimer::singleShot(0, mainWindow(), [&] { mainWindow()->close(); });
    code = execWithWatchdog(99);
    QCOMPARE(code, 0);
    QVERIFY(!mainWindow()->isVisible());
    QVERIFY(!QFileInfo::exists(startConfigPath()));
}

void AcceptanceShellTest::beendenEndsWithoutSaving()
{
    AppFixture program;
    QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
    ui<QAction>("m_konfig_autosave_alles")->trigger();
    QTimer::singleShot(0, [] { ui<QAction>("m_close")->trigger(); });
    QCOMPARE(execWithWatchdog(99), 0);
    QVERIFY(!QFileInfo::exists(startConfigPath()));
}

void AcceptanceShellTest::keyboard_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("help");
    QTest::addRow("de") << QStringLiteral("de") << QStringLiteral("hilfe");
    QTest::addRow("en") << QStringLiteral("en") << QStringLiteral("hilfe_en");
}

// The main commands from the keyboard, the first focus, and names for every input.
void AcceptanceShellTest::keyboard()
{
    QFETCH(QString, language);
    QFETCH(QString, help);
    AppFixture program(language);
    QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
    QWidget* main = mainWindow();
    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main));
    QTRY_COMPARE(QApplication::focusWidget(), ui("quordner"));
    for (const char* input : {"quordner", "maske", "numstart", "suchenalt", "suchenneu", "qulist"})
        QVERIFY2(!ui(QLatin1String(input))->accessibleName().isEmpty(), input);

    QTest::keyClick(main, Qt::Key_F1);
    QWidget* helpWindow = topLevel(help);
    QTRY_VERIFY(helpWindow->isVisible());
    QCOMPARE(in<QTabWidget>(help, "pc")->currentIndex(), 0);
    helpWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(helpWindow));
    QTest::keyClick(helpWindow, Qt::Key_Escape);
    QTRY_VERIFY(!helpWindow->isVisible());

    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main));
    QTest::keyClick(main, Qt::Key_O, Qt::ControlModifier);
    QTRY_COMPARE(program.platform.folderDialogTitles.size(), 1);

    QTemporaryDir dir;
    makeFile(dir.filePath(QStringLiteral("a.txt")));
    drop({dir.filePath(QStringLiteral("a.txt"))});
    QCheckBox* act = ui<QCheckBox>("act_maske");
    QTest::mouseClick(act, Qt::LeftButton, {}, QPoint(5, act->height() / 2));
    ui<QComboBox>("maske")->setEditText(QStringLiteral("b"));
    QTest::keyClick(ui("maske"), Qt::Key_Return, Qt::ControlModifier);
    QTRY_VERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("b.txt"))));

    QTimer::singleShot(0, [main] { QTest::keyClick(main, Qt::Key_Q, Qt::ControlModifier); });
    QCOMPARE(execWithWatchdog(99), 0);
}

void AcceptanceShellTest::accessibleNames_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    // The label beside the input, or empty.
    QTest::addColumn<QString>("label");
    const struct
    {
        const char* window;
        const char* input;
        QAccessible::Role role;
        const char* german;
        const char* english;
        const char* label;
    } inputs[] = {
        {"prog", "quordner", QAccessible::EditableText, "Ordner", "Folder", ""},
        {"prog", "maske", QAccessible::ComboBox, "Wählen Sie eine Maske für die Dateien",
         "Choose a Mask for the Files", ""},
        {"prog", "numstart", QAccessible::ComboBox, "Nummerierung beginnend bei",
         "Numbering starting with", "Label8"},
        {"prog", "suchenalt", QAccessible::EditableText, "Suchen nach", "Search for", "Label2"},
        {"prog", "suchenneu", QAccessible::EditableText, "Ersetzen durch", "Replace with",
         "Label11"},
        {"vorschau_alle", "va_liste", QAccessible::Tree, "Vorschau aller Einträge",
         "Preview All Entries", ""},
    };
    for (const char* language : {"de", "en"}) {
        const bool de = QLatin1String(language) == QLatin1String("de");
        for (const auto& i : inputs)
            QTest::addRow("%s %s", language, i.input)
                << QString::fromLatin1(language) << QString::fromLatin1(i.window)
                << QString::fromLatin1(i.input) << int(i.role)
                << QString::fromUtf8(de ? i.german : i.english) << QString::fromLatin1(i.label);
    }
}

// What assistive tools read: each input by its caption, not by its contents, with its role, and
// labelled by the caption beside it.
void AcceptanceShellTest::accessibleNames()
{
    QFETCH(QString, language);
    QFETCH(QString, window);
    QFETCH(QString, input);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(QString, label);
    AppFixture program(language);
    QWidget* widget = in(window, input);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(face);
    QCOMPARE(face->role(), QAccessible::Role(role));
    QCOMPARE(face->text(QAccessible::Name), name);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QCOMPARE(face->text(QAccessible::Value), combo->currentText());
        QAccessibleInterface* edit = QAccessible::queryAccessibleInterface(combo->lineEdit());
        QCOMPARE(edit->text(QAccessible::Name), name);
    }
    if (!label.isEmpty()) {
        QStringList labels;
        for (const auto& [other, relation] : face->relations(QAccessible::Label))
            labels << other->object()->objectName();
        QCOMPARE(labels, QStringList{label});
    }
}

void AcceptanceShellTest::previewColumnsFit_data()
{
    QTest::addColumn<QString>("language");
    // 0 keeps the width the window opens with.
    QTest::addColumn<int>("width");
    for (const char* language : {"de", "en"}) {
        for (int width : {0, 420, 1300})
            QTest::addRow("%s %d", language, width) << QString::fromLatin1(language) << width;
    }
}

// Every column of the preview, the outcome last, lies inside the list as it opens and after a
// resize: nothing needs scrolling sideways.
void AcceptanceShellTest::previewColumnsFit()
{
    QFETCH(QString, language);
    QFETCH(int, width);
    AppFixture program(language);
    QTemporaryDir dir;
    makeFile(dir.filePath(QStringLiteral("a.txt")));
    drop({dir.filePath(QStringLiteral("a.txt"))});
    ui<QAction>(QStringLiteral("m_vorschau_alle"))->trigger();
    QWidget* preview = topLevel(QStringLiteral("vorschau_alle"));
    QVERIFY(QTest::qWaitForWindowExposed(preview));
    if (width > 0)
        preview->resize(width, preview->height());
    auto* list = in<QTreeView>(QStringLiteral("vorschau_alle"), QStringLiteral("va_liste"));
    QTRY_COMPARE(list->model()->rowCount(), 1);
    QTRY_VERIFY2(list->header()->length() <= list->viewport()->width(),
                 qPrintable(QStringLiteral("columns %1 wide (the last %2) in a list %3 wide")
                                .arg(list->header()->length())
                                .arg(list->header()->sectionSize(3))
                                .arg(list->viewport()->width())));
    QVERIFY(!list->horizontalScrollBar()->isVisible());
}

void AcceptanceShellTest::cutTextAsTooltip_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("view");
    QTest::addColumn<int>("columnWidth");
    QTest::addColumn<bool>("tip");
    for (const auto& [window, view] :
         {std::pair{"prog", "qulist"}, {"vorschau_alle", "va_liste"}}) {
        QTest::addRow("%s cut", view) << window << view << 40 << true;
        QTest::addRow("%s whole", view) << window << view << 600 << false;
    }
}

// A cell too narrow for its text shows the whole text when the mouse rests on it; one that shows
// all of it stays quiet.
void AcceptanceShellTest::cutTextAsTooltip()
{
    QFETCH(QString, window);
    QFETCH(QString, view);
    QFETCH(int, columnWidth);
    QFETCH(bool, tip);
    AppFixture program(QStringLiteral("en"));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a name too long for a narrow column.txt"));
    makeFile(file);
    drop({file});
    mainWindow()->show();
    ui<QAction>(QStringLiteral("m_vorschau_alle"))->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(topLevel(window)));
    auto* list = in<QTreeView>(window, view);
    QTRY_COMPARE(list->model()->rowCount(), 1);
    list->setColumnWidth(0, columnWidth);
    const QModelIndex cell = list->model()->index(0, 0);
    const QPoint at = list->visualRect(cell).center();
    QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &help);
    if (tip) {
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), cell.data().toString());
    } else {
        QTRY_VERIFY(!QToolTip::isVisible());
    }
}

void AcceptanceShellTest::maximisedStartConfigAtActivation()
{
    writeUtf8(startConfigPath(), "[SP]\r\nPF=1\r\n");
    AppFixture program;
    QWidget* main = mainWindow();
    QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main));
    QTRY_VERIFY(main->isMaximized());
    // Only the first activation maximises.
    main->showNormal();
    QTRY_VERIFY(!main->isMaximized());
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main));
    QTest::qWait(50);
    QVERIFY(!main->isMaximized());
}

void AcceptanceShellTest::layoutFollowsWindowSize()
{
    AppFixture program;
    auto* main = qobject_cast<QMainWindow*>(mainWindow());
    QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QCOMPARE(main->centralWidget()->size(), QSize(614, 639));
    QVERIFY(main->minimumSize().width() <= 500);
    auto at = [main](const char* name) {
        QWidget* w = ui(name);
        return QRect(w->mapTo(main->centralWidget(), QPoint(0, 0)), w->size());
    };
    const QRect list = at("qulist"), actions = at("Panel1"), preview = at("Panel3");
    const QRect rename = at("Umbenennen"), support = at("laspenden"), del = at("BitBtn2");
    QCOMPARE(rename, QRect(501, 612, 110, 25));
    QCOMPARE(list.topLeft(), QPoint(3 + 5, 3 + 96));
    main->resize(main->width() + 100, main->height() + 80);
    QTRY_COMPARE(main->centralWidget()->size(), QSize(714, 719));
    QCOMPARE(at("qulist"), list.adjusted(0, 0, 100, 80));
    QCOMPARE(at("Panel1"), actions.adjusted(0, 80, 100, 80));
    QCOMPARE(at("Panel3"), preview.adjusted(0, 80, 100, 80));
    QCOMPARE(at("Umbenennen"), rename.translated(100, 80));
    QCOMPARE(at("BitBtn2"), del.translated(100, 80));
    QCOMPARE(at("laspenden"), support.adjusted(0, 80, 100, 80));
    QCOMPARE(at("vor_orig").width(), at("vor_out").width());

    // The path column takes the extra width and gives it back; files store the designed widths.
    const auto widths = [] {
        QList<int> w;
        for (int c = 0; c < 5; ++c)
            w << listView()->header()->sectionSize(c);
        return w;
    };
    QCOMPARE(widths(), (QList<int>{150, 50, 80, 90, 255}));
    QTemporaryDir dir;
    program.platform.fileDialogAnswer = dir.filePath("wide.qvc");
    ui<QAction>("m_konfig_save")->trigger();
    QVERIFY(readUtf16(dir.filePath("wide.qvc")).contains(QStringLiteral("COL=150,50,80,90,155,")));
    main->resize(main->width() - 100, main->height() - 80);
    QTRY_COMPARE(widths(), (QList<int>{150, 50, 80, 90, 155}));
}

// The main window opens inside the screen's available area. On a screen lower than the design
// (tests/app.cmake runs this once more on one) the list gives up its height first: with either
// options panel open the panels keep their order, the list its header, and the Rename button
// its place inside the client.
void AcceptanceShellTest::layoutInsideScreen()
{
    AppFixture program;
    auto* main = qobject_cast<QMainWindow*>(mainWindow());
    QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(main));
    const QRect area = main->screen()->availableGeometry();
    QTRY_VERIFY2(area.contains(main->frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2 at %3,%4")
                                .arg(main->frameGeometry().width())
                                .arg(main->frameGeometry().height())
                                .arg(main->frameGeometry().left())
                                .arg(main->frameGeometry().top())));
    QWidget* client = main->centralWidget();
    auto at = [client](const char* name) {
        QWidget* w = ui(name);
        return QRect(w->mapTo(client, QPoint(0, 0)), w->size());
    };
    // On a screen of 1024 lines the window opens at its design size, and the list keeps five
    // rows with either panel open.
    const bool designSize = area.height() >= 1000;
    if (designSize)
        QCOMPARE(client->height(), 639);
    for (int row = 0; row < 5; ++row)
        fileList()->append(qv::fileEntryFor(QStringLiteral("/x/%1.txt").arg(row), {}, {}));
    for (const char* open : {"", "act_maske", "act_suchenersetzen"}) {
        if (*open)
            ui<QCheckBox>(open)->click();
        const QRect list = at("qulist");
        QVERIFY2(list.height() >= listView()->header()->height(), open);
        if (designSize) {
            const QRect fifth = listView()->visualRect(listModel()->index(4, 0));
            QVERIFY2(fifth.bottom() < listView()->viewport()->height(), open);
        }
        QVERIFY2(list.bottom() < at("BitBtn2").top(), open);
        QVERIFY2(at("Panel6").bottom() < at("Panel1").top(), open);
        QVERIFY2(at("Panel1").bottom() < at("Panel3").top(), open);
        QVERIFY2(client->rect().contains(at("Umbenennen")), open);
        if (*open)
            ui<QCheckBox>(open)->click();
    }
}

void AcceptanceShellTest::captionsUnclipped_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("grow");
    QTest::newRow("German, design size") << "de" << 0;
    QTest::newRow("English, design size") << "en" << 0;
    QTest::newRow("German after a switch, larger") << "de" << 200;
    QTest::newRow("English after a switch, larger") << "en" << 200;
}

void AcceptanceShellTest::captionsUnclipped()
{
    QFETCH(QString, language);
    QFETCH(int, grow);
    AppFixture program;
    auto* main = qobject_cast<QMainWindow*>(mainWindow());
    QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
    if (grow) {
        // Switched there and back, then to the language of the row.
        ui<QAction>(language == "de" ? "Englisch1" : "Deutsch1")->trigger();
        main->resize(main->width() + grow, main->height() + grow);
    }
    ui<QAction>(language == "de" ? "Deutsch1" : "Englisch1")->trigger();
    auto checkAll = [main] {
        for (QWidget* w : main->findChildren<QWidget*>()) {
            if (!w->isVisible() || w->objectName().isEmpty())
                continue;
            const QString name = w->objectName();
            if (name == "vor_orig" || name == "vor_out" || name == "laspenden" ||
                name == "la_anzahl")
                continue;
            QString text;
            int need = 0;
            if (auto* label = qobject_cast<QLabel*>(w)) {
                if (label->wordWrap() || label->text().isEmpty() || !label->pixmap().isNull())
                    continue;
                text = label->text();
                need = label->fontMetrics().horizontalAdvance(text);
            } else if (auto* button = qobject_cast<QPushButton*>(w)) {
                // The text with a little room on either side; the style's minimum button
                // width is no part of the caption.
                text = button->text();
                need = button->fontMetrics().horizontalAdvance(text) + 6;
            } else if (auto* other = qobject_cast<QAbstractButton*>(w)) {
                text = other->text();
                need = other->sizeHint().width();
            } else {
                continue;
            }
            QVERIFY2(need <= w->width(), qPrintable(QStringLiteral("%1 \"%2\" needs %3, has %4")
                                                        .arg(name, text)
                                                        .arg(need)
                                                        .arg(w->width())));
            // Inside its parent as well.
            const QRect inParent = w->geometry();
            QVERIFY2(w->parentWidget()->rect().contains(inParent) ||
                         qobject_cast<QAbstractScrollArea*>(w->parentWidget()->parentWidget()),
                     qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 in %6 of %7x%8")
                                    .arg(name)
                                    .arg(inParent.x())
                                    .arg(inParent.y())
                                    .arg(inParent.width())
                                    .arg(inParent.height())
                                    .arg(w->parentWidget()->objectName())
                                    .arg(w->parentWidget()->width())
                                    .arg(w->parentWidget()->height())));
        }
    };
    checkAll();
    // Each option panel open in turn: at most one is open at a time.
    for (const char* box : {"act_maske", "act_suchenersetzen"}) {
        QCheckBox* act = ui<QCheckBox>(box);
        QTest::mouseClick(act, Qt::LeftButton, {}, QPoint(5, act->height() / 2));
        QVERIFY(ui(box == QLatin1String("act_maske") ? "pa2" : "pa1")->isVisible());
        QVERIFY(!ui(box == QLatin1String("act_maske") ? "pa1" : "pa2")->isVisible());
        checkAll();
        if (QTest::currentTestFailed())
            return;
    }
    // The filter dialog too.
    QWidget* filter = topLevel("quorvel_filter");
    filter->show();
    QVERIFY(QTest::qWaitForWindowExposed(filter));
    for (QAbstractButton* b : filter->findChildren<QAbstractButton*>()) {
        const int need = qobject_cast<QPushButton*>(b)
                             ? b->fontMetrics().horizontalAdvance(b->text()) + 6
                             : b->sizeHint().width();
        QVERIFY2(need <= b->width(), qPrintable(b->objectName()));
    }
    for (QLabel* l : filter->findChildren<QLabel*>())
        if (!l->wordWrap() && l->isVisible())
            QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(),
                     qPrintable(l->objectName()));
}

void AcceptanceShellTest::resizeRefitsPreview()
{
    QTemporaryDir dir;
    const QString longName =
        QStringLiteral("a_rather_long_file_name_that_will_not_fit_into_a_narrow_preview_label_"
                       "at_all_whatever_the_font_is.txt");
    makeFile(dir.filePath(longName), "x");
    AppFixture program;
    auto* main = qobject_cast<QMainWindow*>(mainWindow());
    QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
    main->resize(1400, main->height());
    drop({dir.filePath(longName)}, main);
    selectRows({0});
    QTRY_COMPARE(caption("vor_orig"), longName);
    QCOMPARE(caption("vor_out"), longName);
    // The captions hold only file names, and a file name is never cut: the re-fit on
    // resizing shows them whole at any width.
    main->resize(500, main->height());
    QVERIFY(ui("vor_orig")->width() < 400);
    QCOMPARE(caption("vor_orig"), longName);
    QCOMPARE(caption("vor_out"), longName);
    QCOMPARE(ui("vor_out")->width(), ui("vor_orig")->width());
    QCheckBox* act = ui<QCheckBox>("act_maske");
    QTest::mouseClick(act, Qt::LeftButton, {}, QPoint(5, act->height() / 2));
    ui<QComboBox>("maske")->setEditText(QStringLiteral("%name%-x"));
    QCOMPARE(caption("vor_out"), longName.chopped(4) + QStringLiteral("-x.txt"));
    main->resize(1400, main->height());
    QCOMPARE(caption("vor_orig"), longName);
    QCOMPARE(caption("vor_out"), longName.chopped(4) + QStringLiteral("-x.txt"));
}

// ---------------------------------------------------------------------------------------------
// Sorting, deletion and context menu

void AcceptanceShellTest::sortBySizeFoldersFirst()
{
    QTemporaryDir dir;
    makeFile(dir.filePath("big.txt"), QByteArray(1536, 'x'));
    makeFile(dir.filePath("small.txt"), QByteArray(64, 'x'));
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    AppFixture program;
    drop({dir.filePath("big.txt"), dir.filePath("small.txt"), dir.filePath("folder")},
         listView()->viewport());
    QCOMPARE(rowCount(), 3);
    QCOMPARE(caption("la_anzahl"), QStringLiteral("3 Dateien/Ordner geladen"));
    QCOMPARE(cell(0, 3), QStringLiteral("Neu hinzugefügt"));
    clickHeader(2);
    QCOMPARE(column(0), (QStringList{"folder", "small", "big"}));
    QCOMPARE(column(1), (QStringList{"DIR", "TXT", "TXT"}));
    clickHeader(2);
    QCOMPARE(column(0), (QStringList{"big", "small", "folder"}));
    // Deleting all keeps the sort state: the next additions come in descending size.
    ui<QPushButton>("BitBtn2")->click();
    QCOMPARE(rowCount(), 0);
    QCOMPARE(caption("la_anzahl"), QStringLiteral("0 Dateien/Ordner geladen"));
    drop({dir.filePath("small.txt"), dir.filePath("big.txt")});
    QCOMPARE(column(0), (QStringList{"big", "small"}));
}

void AcceptanceShellTest::sortByNameIgnoresCase_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("ascending");
    QTest::newRow("case ignored") << QStringList{"b.txt", "A.txt", "c.txt"}
                                  << QStringList{"A", "b", "c"};
    QTest::newRow("digits as characters") << QStringList{"file2.txt", "file10.txt", "file1.txt"}
                                          << QStringList{"file1", "file10", "file2"};
}

void AcceptanceShellTest::sortByNameIgnoresCase()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, ascending);
    QTemporaryDir dir;
    QStringList paths;
    for (const QString& f : files) {
        makeFile(dir.filePath(f), "x");
        paths << dir.filePath(f);
    }
    AppFixture program;
    drop(paths);
    QCOMPARE(column(0), ascending);
    // The first click on "Name" of a fresh program sorts Z to A, the next A to Z.
    clickHeader(0);
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(column(0), descending);
    clickHeader(0);
    QCOMPARE(column(0), ascending);
    // Another column starts ascending.
    clickHeader(4);
    QCOMPARE(column(0), ascending);
}

void AcceptanceShellTest::deleteKeyAndButtons()
{
    QTemporaryDir dir;
    QStringList paths;
    for (const char* f : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}) {
        makeFile(dir.filePath(f), "x");
        paths << dir.filePath(f);
    }
    AppFixture program;
    drop(paths);
    QTreeView* view = listView();
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(view->selectionModel()->selectedRows().size(), 5);
    selectRows({0, 2, 4});
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(column(0), (QStringList{"b", "d"}));
    QCOMPARE(caption("la_anzahl"), QStringLiteral("2 Dateien/Ordner geladen"));
    // Nothing selected: the button only rewrites the count text.
    view->clearSelection();
    ui<QPushButton>("BitBtn3")->click();
    QCOMPARE(rowCount(), 2);
    selectRows({1});
    ui<QAction>("pop4")->trigger();
    QCOMPARE(column(0), (QStringList{"b"}));
    QCOMPARE(caption("la_anzahl"), QStringLiteral("1 Dateien/Ordner geladen"));
    // Arrow keys keep the list's own behaviour.
    drop({dir.filePath("a.txt")});
    view->setCurrentIndex(listModel()->index(0, 0));
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(view->currentIndex().row(), 1);
}

void AcceptanceShellTest::contextMenuOnlyWithSelection()
{
    QTemporaryDir dir;
    makeFile(dir.filePath("a.txt"), "x");
    AppFixture program;
    drop({dir.filePath("a.txt")});
    QTreeView* view = listView();
    QMenu* popup = ui<QMenu>("PopupMenu1");
    view->clearSelection();
    const QPoint empty(view->viewport()->width() / 2, view->viewport()->height() - 3);
    QContextMenuEvent none(QContextMenuEvent::Mouse, empty, view->viewport()->mapToGlobal(empty));
    QApplication::sendEvent(view->viewport(), &none);
    QVERIFY(!popup->isVisible());
    selectRows({0});
    const QPoint onEntry = view->visualRect(listModel()->index(0, 0)).center();
    QContextMenuEvent some(QContextMenuEvent::Mouse, onEntry,
                           view->viewport()->mapToGlobal(onEntry));
    QApplication::sendEvent(view->viewport(), &some);
    QTRY_VERIFY(popup->isVisible());
    popup->close();
    QStringList names;
    for (QAction* a : popup->actions())
        names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    QCOMPARE(names, (QStringList{"pop1", "pop2", "-", "pop3", "-", "pop4"}));
}

void AcceptanceShellTest::rightClickSelectsEntry()
{
    QTemporaryDir dir;
    makeFile(dir.filePath("a.txt"), "x");
    makeFile(dir.filePath("b.txt"), "x");
    AppFixture program;
    drop({dir.filePath("a.txt"), dir.filePath("b.txt")});
    QTreeView* view = listView();
    view->clearSelection();
    const QPoint onB = view->visualRect(listModel()->index(1, 0)).center();
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, onB);
    QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, onB);
    QContextMenuEvent event(QContextMenuEvent::Mouse, onB, view->viewport()->mapToGlobal(onB));
    QApplication::sendEvent(view->viewport(), &event);
    QTRY_VERIFY(ui<QMenu>("PopupMenu1")->isVisible());
    ui<QMenu>("PopupMenu1")->close();
    ui<QAction>("pop3")->trigger();
    QCOMPARE(program.platform.clipboard, QList<QStringList>{{dir.filePath("b.txt")}});
}

void AcceptanceShellTest::clipboardAndFileManager()
{
    QTemporaryDir dir;
    makeFile(dir.filePath("a.txt"), "x");
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    AppFixture program;
    drop({dir.filePath("a.txt"), dir.filePath("folder")});
    QCOMPARE(column(0), (QStringList{"a", "folder"}));
    selectRows({0, 1});
    ui<QAction>("pop3")->trigger();
    QCOMPARE(program.platform.clipboard.size(), 1);
    QCOMPARE(program.platform.clipboard.first(),
             (QStringList{dir.filePath("a.txt"), dir.filePath("folder")}));
    // One folder entry: nothing is copied, the folder manager opens nothing.
    selectRows({1});
    ui<QAction>("pop3")->trigger();
    ui<QAction>("pop1")->trigger();
    ui<QAction>("pop2")->trigger();
    QCOMPARE(program.platform.clipboard.size(), 1);
    QVERIFY(program.platform.shownItems.isEmpty());
    QVERIFY(program.platform.propertyItems.isEmpty());
    // One file entry.
    selectRows({0});
    ui<QAction>("pop3")->trigger();
    ui<QAction>("pop1")->trigger();
    ui<QAction>("pop2")->trigger();
    QCOMPARE(program.platform.clipboard.last(), QStringList{dir.filePath("a.txt")});
    QCOMPARE(program.platform.shownItems, QStringList{dir.filePath("a.txt")});
    QCOMPARE(program.platform.propertyItems, QStringList{dir.filePath("a.txt")});
    // A file that went missing: nothing.
    QVERIFY(QFile::remove(dir.filePath("a.txt")));
    ui<QAction>("pop3")->trigger();
    ui<QAction>("pop1")->trigger();
    QCOMPARE(program.platform.clipboard.size(), 2);
    QCOMPARE(program.platform.shownItems.size(), 1);
}

// ---------------------------------------------------------------------------------------------
// Localisation

void AcceptanceShellTest::captionsBothWays()
{
    AppFixture program;
    QWidget* main = mainWindow();
    const QStringList headersDe{"Name", "Typ", "Größe", "Status", "Dateipfad"};
    const QStringList headersEn{"Name", "Type", "Size", "Status", "Path"};
    auto check = [&](bool de) {
        for (const design::CaptionRow& row : design::captions)
            QCOMPARE(caption(QLatin1String(row.name)),
                     QString::fromUtf8(de ? row.german : row.english));
        QCOMPARE(main->windowTitle(), QStringLiteral("Quorvel - Velmora"));
        QCOMPARE(caption("laspenden"), de ? tyDe : tyEn);
        QStringList headers;
        for (int c = 0; c < 5; ++c)
            headers << listModel()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, de ? headersDe : headersEn);
        QCOMPARE(ui("cb_dir")->x(), de ? 250 : 160);
        QCOMPARE(ui<QMenu>("m_soft_de")->menuAction()->isVisible(), de);
        QCOMPARE(ui<QMenu>("Hilfe1")->menuAction()->isVisible(), de);
        QCOMPARE(ui<QMenu>("m_soft_en")->menuAction()->isVisible(), !de);
        QCOMPARE(ui<QMenu>("Information1")->menuAction()->isVisible(), !de);
        QCOMPARE(ui<QAction>("Deutsch1")->isChecked(), de);
        QCOMPARE(ui<QAction>("Englisch1")->isChecked(), !de);
        const QString filter = de ? QStringLiteral("Quorvel Konfiguration (*.qvc)")
                                  : QStringLiteral("Quorvel Configuration (*.qvc)");
        for (const char* dialog : {"sd_konfig", "od_konfig"}) {
            QCOMPARE(ui<QFileDialog>(dialog)->nameFilters(), QStringList{filter});
            QCOMPARE(ui<QFileDialog>(dialog)->defaultSuffix(), QStringLiteral("qvc"));
        }
        QCOMPARE(in<QLabel>("start", "spr")->text(), de ? QStringLiteral("de") : "en");
    };
    // The configuration dialogs exist once they have been used (cancelled here).
    ui<QAction>("m_konfig_save")->trigger();
    ui<QAction>("m_konfig_open")->trigger();
    check(true);
    ui<QAction>("Englisch1")->trigger();
    check(false);
    // The filter dialog follows too.
    QVERIFY(!in<QCheckBox>("quorvel_filter", "uv")->text().isEmpty());
    const QString filterEn = in<QCheckBox>("quorvel_filter", "uv")->text();
    ui<QAction>("Deutsch1")->trigger();
    check(true);
    QVERIFY(in<QCheckBox>("quorvel_filter", "uv")->text() != filterEn);
    // Applying the same language twice changes nothing.
    ui<QAction>("Deutsch1")->trigger();
    check(true);
}

void AcceptanceShellTest::comboItemsAndPlaceholders()
{
    AppFixture program;
    QComboBox* maske = ui<QComboBox>("maske");
    QComboBox* numstart = ui<QComboBox>("numstart");
    auto items = [](QComboBox* box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    };
    const QStringList maskeDe{
        "%name%", "%name%1",       "%name%%num%",  "%name%-%0num%",      "%name%-%y%-%m%-%d%",
        "%0num%", "%0num% %name%", "%0num%-%abs%", "Benutzerdefiniert.."};
    QStringList maskeEn = maskeDe;
    maskeEn.last() = QStringLiteral("Custom..");
    QCOMPARE(items(maske), maskeDe);
    QCOMPARE(items(numstart), (QStringList{"0", "1", "2", "5", "Benutzer.."}));
    QCOMPARE(maske->currentText(), QStringLiteral("%name%"));
    QCOMPARE(numstart->currentText(), QStringLiteral("1"));
    maske->setEditText(QStringLiteral("abc"));
    numstart->setEditText(QStringLiteral("7"));
    ui<QAction>("Englisch1")->trigger();
    QCOMPARE(items(maske), maskeEn);
    QCOMPARE(items(numstart), (QStringList{"0", "1", "2", "5", "Custom.."}));
    QCOMPARE(maske->currentText(), QStringLiteral("abc"));
    QCOMPARE(numstart->currentText(), QStringLiteral("7"));
    ui<QAction>("Deutsch1")->trigger();
    QCOMPARE(items(maske), maskeDe);
    QCOMPARE(items(numstart), (QStringList{"0", "1", "2", "5", "Benutzer.."}));
    QCOMPARE(maske->currentText(), QStringLiteral("abc"));

    // Clicking a date placeholder inserts what it shows, in either language.
    QCheckBox* act = ui<QCheckBox>("act_maske");
    QTest::mouseClick(act, Qt::LeftButton, {}, QPoint(5, act->height() / 2));
    QVERIFY(act->isChecked());
    QVERIFY(ui("pa2")->isVisibleTo(mainWindow()));
    maske->setEditText(QString());
    QTest::mouseClick(ui("Label17"), Qt::LeftButton);
    QTest::mouseClick(ui("Label19"), Qt::LeftButton);
    QCOMPARE(maske->currentText(), QStringLiteral("%t%%j%"));
    ui<QAction>("Englisch1")->trigger();
    QCOMPARE(maske->currentText(), QStringLiteral("%t%%j%"));
    maske->setEditText(QString());
    QTest::mouseClick(ui("Label17"), Qt::LeftButton);
    QTest::mouseClick(ui("Label21"), Qt::LeftButton);
    QTest::mouseClick(ui("Label19"), Qt::LeftButton);
    QCOMPARE(maske->currentText(), QStringLiteral("%d%%m%%y%"));
    // Untouched placeholder captions.
    for (const char* name : {"Label5", "Label7", "Label12", "Label9", "Label21"})
        QVERIFY2(caption(QLatin1String(name)).startsWith(QLatin1Char('%')), name);
    QCOMPARE(caption("Label5"), QStringLiteral("%name%"));
    QCOMPARE(caption("Label7"), QStringLiteral("%num%"));
    QCOMPARE(caption("Label12"), QStringLiteral("%0num%"));
    QCOMPARE(caption("Label9"), QStringLiteral("%abs%"));
    QCOMPARE(caption("Label21"), QStringLiteral("%m%"));
}

void AcceptanceShellTest::untouchedTextsAndState()
{
    QTemporaryDir dir;
    makeFile(dir.filePath("a.txt"), "x");
    makeFile(dir.filePath("b.txt"), "x");
    AppFixture program;
    drop({dir.filePath("a.txt")});
    QCOMPARE(cell(0, 3), QStringLiteral("Neu hinzugefügt"));
    ui<QLineEdit>("suchenalt")->setText(QStringLiteral("x"));
    ui<QLineEdit>("suchenneu")->setText(QStringLiteral("y"));
    ui<QLineEdit>("quordner")->setText(dir.path());
    const QString origDe = caption("vor_orig");
    const QString outDe = caption("vor_out");
    ui<QAction>("Englisch1")->trigger();
    QCOMPARE(cell(0, 3), QStringLiteral("Neu hinzugefügt"));
    QCOMPARE(caption("la_anzahl"), QStringLiteral("1 Dateien/Ordner geladen"));
    QCOMPARE(caption("vor_orig"), origDe);
    QCOMPARE(caption("vor_out"), outDe);
    QCOMPARE(ui<QLineEdit>("suchenalt")->text(), QStringLiteral("x"));
    QCOMPARE(ui<QLineEdit>("suchenneu")->text(), QStringLiteral("y"));
    QCOMPARE(ui<QLineEdit>("quordner")->text(), dir.path());
    QCOMPARE(rowCount(), 1);
    // The support label shows the new thank-you caption at once.
    QCOMPARE(caption("laspenden"), tyEn);
    // The next entry is composed in English; the first keeps its German status.
    drop({dir.filePath("b.txt")});
    QCOMPARE(column(3), (QStringList{"Neu hinzugefügt", "Added"}));
    QCOMPARE(caption("la_anzahl"), QStringLiteral("2 Files/Folders loaded"));
    // A duplicate is refused with the English message texts.
    drop({dir.filePath("b.txt")});
    QCOMPARE(program.platform.warnings.size(), 1);
    QVERIFY(program.platform.warnings.first().startsWith(
        QStringLiteral("This File has already been added to the File List:")));
    QVERIFY(program.platform.warnings.first().endsWith(
        QStringLiteral("File can not be added more than one time to the List.")));
    // A folder that does not exist: two sentences with one empty line between them.
    ui<QLineEdit>("quordner")->setText(dir.filePath("missing"));
    QTest::keyClick(ui("quordner"), Qt::Key_Return);
    QCOMPARE(program.platform.warnings.size(), 2);
    QCOMPARE(program.platform.warnings.last(),
             QStringLiteral("You have selected a not-existing Directory.\r\n\r\n"
                            "Please choose a correct Directory."));
}

// ---------------------------------------------------------------------------------------------
// Configuration

void AcceptanceShellTest::designStateFileExact()
{
    QTemporaryDir dir;
    AppFixture program;
    program.platform.fileDialogAnswer = dir.filePath("design.qvc");
    ui<QAction>("m_konfig_save")->trigger();
    QFile f(dir.filePath("design.qvc"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    QVERIFY(bytes.startsWith("\xff\xfe"));
    QCOMPARE(bytes.size() % 2, 0);
    QString text = readUtf16(f.fileName());
    // The four placement numbers depend on the screen.
    const QRegularExpression placement(QStringLiteral("\r\nPB=(-?\\d+)\r\nPH=(-?\\d+)\r\nPT=(-?"
                                                      "\\d+)\r\nPL=(-?\\d+)\r\n"));
    QVERIFY(text.contains(placement));
    text.replace(placement, QStringLiteral("\r\nPB=#\r\nPH=#\r\nPT=#\r\nPL=#\r\n"));
    const QString expected = QStringLiteral(
        "[PBPA]\r\nPanel6=1\r\nPanel7=1\r\nPanel1=1\r\nPanel2=1\r\npa1=0\r\npa2=0\r\n"
        "Panel3=1\r\nPanel4=1\r\n"
        "[PBED]\r\nquordner=\r\nsuchenalt=\r\nsuchenneu=\r\n"
        "[PBCH]\r\ncb_dat=1\r\ncb_dir=1\r\nact_maske=0\r\nact_suchenersetzen=0\r\n"
        "cb_suchendung=0\r\ncb_suchname=1\r\nCOL=150,50,80,90,155,\r\n"
        "[PBCB]\r\nmaske=%name%\r\nnumstart=1\r\n"
        "[PFRB]\r\nalle=1\r\nauswahl=0\r\n"
        "[PFED]\r\nfilter=jpg,bmp,txt\r\n"
        "[PFCH]\r\nuv=1\r\n"
        "[SP]\r\nPF=0\r\nPB=#\r\nPH=#\r\nPT=#\r\nPL=#\r\n"
        "[AS]\r\nN=1\r\nA=0\r\n");
    QCOMPARE(text, expected);
    // A name typed without extension gets ".qvc".
    QCOMPARE(ui<QFileDialog>("sd_konfig")->defaultSuffix(), QStringLiteral("qvc"));
    // A cancelled dialog writes nothing.
    program.platform.fileDialogAnswer.clear();
    ui<QAction>("m_konfig_save")->trigger();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"design.qvc"});
}

void AcceptanceShellTest::quoteProtectionRoundTrip_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("line");
    QTest::newRow("single quotes") << "'x'"
                                   << "maske=''x''";
    QTest::newRow("double quotes") << "\"x\""
                                   << "maske=\"\"x\"\"";
    QTest::newRow("a lone quote") << "'"
                                  << "maske='";
    QTest::newRow("mixed quotes") << "'x\""
                                  << "maske='x\"";
}

void AcceptanceShellTest::quoteProtectionRoundTrip()
{
    QFETCH(QString, mask);
    QFETCH(QString, line);
    QTemporaryDir dir;
    AppFixture program;
    ui<QComboBox>("maske")->setEditText(mask);
    ui<QLineEdit>("suchenalt")->setText(QStringLiteral(" lead"));
    ui<QLineEdit>("suchenneu")->setText(QStringLiteral("trail "));
    program.platform.fileDialogAnswer = dir.filePath("q.qvc");
    ui<QAction>("m_konfig_save")->trigger();
    QVERIFY(readUtf16(dir.filePath("q.qvc"))
                .contains(QStringLiteral("\r\n") + line + QStringLiteral("\r\n")));
    ui<QComboBox>("maske")->setEditText(QStringLiteral("other"));
    ui<QAction>("m_konfig_open")->trigger();
    QCOMPARE(ui<QComboBox>("maske")->currentText(), mask);
    QCOMPARE(ui<QLineEdit>("suchenalt")->text(), QStringLiteral("lead"));
    QCOMPARE(ui<QLineEdit>("suchenneu")->text(), QStringLiteral("trail"));
}

void AcceptanceShellTest::columnsAndPlacement()
{
    QTemporaryDir dir;
    AppFixture program;
    QTreeView* view = listView();
    QWidget* main = mainWindow();
    QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
    auto widths = [view] {
        QList<int> w;
        for (int c = 0; c < 5; ++c)
            w << view->header()->sectionSize(c);
        return w;
    };
    QCOMPARE(widths(), (QList<int>{150, 50, 80, 90, 155}));
    program.platform.fileDialogAnswer = dir.filePath("c.qvc");
    writeUtf8(dir.filePath("c.qvc"), "[PBCH]\r\nCOL=1,2,3\r\n");
    ui<QAction>("m_konfig_open")->trigger();
    QCOMPARE(widths(), (QList<int>{150, 50, 80, 90, 155}));
    writeUtf8(dir.filePath("c.qvc"), "[PBCH]\r\nCOL=31,32,33,\r\n");
    ui<QAction>("m_konfig_open")->trigger();
    QCOMPARE(widths(), (QList<int>{31, 32, 33, 90, 155}));
    writeUtf8(dir.filePath("c.qvc"), "[PBCH]\r\nCOL=40,x,44,45,46,\r\n");
    ui<QAction>("m_konfig_open")->trigger();
    QCOMPARE(widths(), (QList<int>{40, 32, 44, 45, 46}));

    // Sizes apply; a place off the screen is brought inside: "PT" far below it puts the frame
    // on its bottom edge, a negative "PL" on its left edge.
    writeUtf8(dir.filePath("c.qvc"), "[SP]\r\nPF=0\r\nPB=600\r\nPH=560\r\nPT=999999\r\nPL=-20\r\n");
    ui<QAction>("m_konfig_open")->trigger();
    // "PB" and "PH" are the client area: below the menu bar.
    QTRY_COMPARE(qobject_cast<QMainWindow*>(main)->centralWidget()->size(), QSize(600, 560));
    const QRect area = main->screen()->availableGeometry();
    QTRY_COMPARE(main->frameGeometry().bottom(), area.bottom());
    QTRY_COMPARE(main->frameGeometry().left(), area.left());
    QVERIFY(!main->isMaximized());
}

void AcceptanceShellTest::maximisedFromMenuAtOnce()
{
    QTemporaryDir dir;
    AppFixture program;
    QWidget* main = mainWindow();
    QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
    writeUtf8(dir.filePath("m.qvc"), "[SP]\r\nPF=1\r\n");
    program.platform.fileDialogAnswer = dir.filePath("m.qvc");
    ui<QAction>("m_konfig_open")->trigger();
    QVERIFY(main->windowState() & Qt::WindowMaximized);
}

void AcceptanceShellTest::autosaveMarksAndRadioButtons()
{
    QTemporaryDir dir;
    AppFixture program;
    writeUtf8(dir.filePath("a.qvc"), "[AS]\r\nN=1\r\nA=1\r\n[PFRB]\r\nalle=1\r\nauswahl=1\r\n"
                                     "[PBCH]\r\nact_maske=1\r\n[PBPA]\r\npa2=1\r\npa1=1\r\n");
    program.platform.fileDialogAnswer = dir.filePath("a.qvc");
    ui<QAction>("m_konfig_open")->trigger();
    QVERIFY(ui<QAction>("m_konfig_autosave_nie")->isChecked());
    QVERIFY(ui<QAction>("m_konfig_autosave_alles")->isChecked());
    QVERIFY(in<QAbstractButton>("quorvel_filter", "auswahl")->isChecked());
    QVERIFY(!in<QAbstractButton>("quorvel_filter", "alle")->isChecked());
    QVERIFY(in<QLineEdit>("quorvel_filter", "filter")->isEnabled());
    // The option panels end hidden whatever the file said.
    QVERIFY(ui<QCheckBox>("act_maske")->isChecked());
    QVERIFY(!ui("pa1")->isVisibleTo(mainWindow()));
    QVERIFY(!ui("pa2")->isVisibleTo(mainWindow()));
    // The menu entries set their own mark and clear the other.
    ui<QAction>("m_konfig_autosave_nie")->trigger();
    QVERIFY(ui<QAction>("m_konfig_autosave_nie")->isChecked());
    QVERIFY(!ui<QAction>("m_konfig_autosave_alles")->isChecked());
    ui<QAction>("m_konfig_autosave_alles")->trigger();
    QVERIFY(!ui<QAction>("m_konfig_autosave_nie")->isChecked());
    QVERIFY(ui<QAction>("m_konfig_autosave_alles")->isChecked());
    // Loading ends with the language applied again: the thank-you caption is back.
    tick(ui<QTimer>("Timer1"));
    QVERIFY(caption("laspenden") != tyDe);
    ui<QAction>("m_konfig_open")->trigger();
    QCOMPARE(caption("laspenden"), tyDe);
}

void AcceptanceShellTest::savingKeepsUnknownAndEightBit()
{
    QTemporaryDir dir;
    AppFixture program;
    writeUtf8(dir.filePath("u.qvc"),
              "[Mine]\r\nfoo=bar\r\n[PBED]\r\nquordner=old\r\nextra=keep\r\n");
    ui<QLineEdit>("quordner")->setText(QStringLiteral("/new"));
    program.platform.fileDialogAnswer = dir.filePath("u.qvc");
    ui<QAction>("m_konfig_save")->trigger();
    QFile f(dir.filePath("u.qvc"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(!bytes.startsWith("\xff\xfe"));
    QVERIFY(bytes.startsWith("[Mine]\r\nfoo=bar\r\n[PBED]\r\nquordner=/new\r\nextra=keep\r\n"));
    QVERIFY(bytes.contains("\r\n[AS]\r\nN=1\r\nA=0\r\n"));

    program.platform.fileDialogAnswer = dir.filePath("x.jpg");
    ui<QComboBox>("maske")->setEditText(QStringLiteral("ä%name%"));
    ui<QAction>("m_konfig_save")->trigger();
    QFile jpg(dir.filePath("x.jpg"));
    QVERIFY(jpg.open(QIODevice::ReadOnly));
    const QByteArray eight = jpg.readAll();
    QVERIFY(eight.startsWith("[PBPA]\r\nPanel6=1\r\n"));
    QVERIFY(eight.contains(QStringLiteral("maske=ä%name%\r\n").toUtf8()));
    // Read back as it was written.
    ui<QComboBox>("maske")->setEditText(QStringLiteral("z"));
    program.platform.fileDialogAnswer = dir.filePath("x.jpg");
    ui<QAction>("m_konfig_open")->trigger();
    QCOMPARE(ui<QComboBox>("maske")->currentText(), QStringLiteral("ä%name%"));
}

void AcceptanceShellTest::missingAndWriteProtected()
{
    QTemporaryDir dir;
    AppFixture program;
    ui<QLineEdit>("suchenalt")->setText(QStringLiteral("keep"));
    program.platform.fileDialogAnswer = dir.filePath("missing.qvc");
    ui<QAction>("m_konfig_open")->trigger();
    QCOMPARE(ui<QLineEdit>("suchenalt")->text(), QStringLiteral("keep"));
    QVERIFY(!QFileInfo::exists(dir.filePath("missing.qvc")));
    QVERIFY(program.platform.errors.isEmpty());

    // A write-protected file: the error names it; entries written before stay.
    const QString locked = dir.filePath("locked.qvc");
    writeUtf8(locked, "[PBPA]\r\nPanel6=1\r\n");
    QFile::setPermissions(locked, QFile::ReadOwner);
    if (QFileInfo(locked).isWritable())
        QSKIP("running with rights that ignore file permissions");
    program.platform.fileDialogAnswer = locked;
    ui<QAction>("m_konfig_save")->trigger();
    QCOMPARE(program.platform.errors, QStringList{QStringLiteral("Unable to write to ") + locked});

    // A write-protected folder: the file cannot be created.
    QDir(dir.path()).mkdir("ro");
    QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner);
    program.platform.fileDialogAnswer = dir.filePath("ro/new.qvc");
    ui<QAction>("m_konfig_save")->trigger();
    QCOMPARE(program.platform.errors.size(), 2);
    QVERIFY2(program.platform.errors.last().startsWith(QStringLiteral("Cannot create file \"") +
                                                       dir.filePath("ro/new.qvc") +
                                                       QStringLiteral("\". ")),
             qPrintable(program.platform.errors.last()));
    QVERIFY(!QFileInfo::exists(dir.filePath("ro/new.qvc")));
    QFile::setPermissions(dir.filePath("ro"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void AcceptanceShellTest::cannotCreateFile()
{
    QTemporaryDir dir;
    makeFile(dir.filePath("plain"), "x");
    AppFixture program;
    const QString target = dir.filePath("plain/new.qvc");
    program.platform.fileDialogAnswer = target;
    ui<QAction>("m_konfig_save")->trigger();
    QCOMPARE(program.platform.errors.size(), 1);
    const QString error = program.platform.errors.first();
    QVERIFY2(
        error.startsWith(QStringLiteral("Cannot create file \"") + target + QStringLiteral("\". ")),
        qPrintable(error));
    QVERIFY2(error.size() > target.size() + 22, qPrintable(error));
    QCOMPARE(QFile(dir.filePath("plain")).size(), 1);
}

void AcceptanceShellTest::folderNamedAutoQvc()
{
    QVERIFY(QDir().mkpath(startConfigPath()));
    AppFixture program;
    QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
    QVERIFY(mainWindow()->isVisible());
    QVERIFY(program.platform.errors.isEmpty());
    ui<QAction>("m_konfig_alsstart")->trigger();
    QCOMPARE(program.platform.errors.size(), 1);
    // Either error of the file format would do; the project reports an existing entry that is
    // no file as the write failure.
    QCOMPARE(program.platform.errors.first(),
             QStringLiteral("Unable to write to ") + startConfigPath());
    // A failing automatic save keeps the window open.
    ui<QAction>("m_konfig_autosave_alles")->trigger();
    mainWindow()->close();
    QVERIFY(mainWindow()->isVisible());
    QCOMPARE(program.platform.errors.size(), 2);
    // "Nie" lets it close.
    ui<QAction>("m_konfig_autosave_nie")->trigger();
    QTimer::singleShot(0, [] { mainWindow()->close(); });
    QCOMPARE(execWithWatchdog(99), 0);
    QCOMPARE(program.platform.errors.size(), 2);
}

void AcceptanceShellTest::immerThenCloseWritesAndNextStartShowsIt()
{
    {
        AppFixture program;
        QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
        ui<QAction>("m_konfig_autosave_alles")->trigger();
        ui<QComboBox>("maske")->setEditText(QStringLiteral("%name%-saved"));
        QTimer::singleShot(0, [] { mainWindow()->close(); });
        QCOMPARE(execWithWatchdog(99), 0);
    }
    const QString text = readUtf16(startConfigPath());
    QVERIFY(text.contains(QStringLiteral("[AS]\r\nN=0\r\nA=1\r\n")));
    {
        AppFixture program;
        // Loaded at the first showing, not before.
        QCOMPARE(ui<QComboBox>("maske")->currentText(), QStringLiteral("%name%"));
        QTest::mouseClick(in<QLabel>("start", "Image1"), Qt::LeftButton);
        QCOMPARE(ui<QComboBox>("maske")->currentText(), QStringLiteral("%name%-saved"));
        QVERIFY(ui<QAction>("m_konfig_autosave_alles")->isChecked());
        QVERIFY(!ui<QAction>("m_konfig_autosave_nie")->isChecked());
        // "Nie" and close: nothing written.
        ui<QAction>("m_konfig_autosave_nie")->trigger();
        QTimer::singleShot(0, [] { mainWindow()->close(); });
        QCOMPARE(execWithWatchdog(99), 0);
    }
    QCOMPARE(readUtf16(startConfigPath()), text);
    {
        // A load through the menu does not touch the start configuration.
        QTemporaryDir dir;
        AppFixture program;
        writeUtf8(dir.filePath("o.qvc"), "[PBED]\r\nsuchenalt=z\r\n");
        program.platform.fileDialogAnswer = dir.filePath("o.qvc");
        ui<QAction>("m_konfig_open")->trigger();
        QCOMPARE(ui<QLineEdit>("suchenalt")->text(), QStringLiteral("z"));
        QCOMPARE(readUtf16(startConfigPath()), text);
    }
}

// ---------------------------------------------------------------------------------------------
// Help windows, web links and bug report

void AcceptanceShellTest::helpMenusOpenPages_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("page");
    QTest::newRow("Einführung") << "Funktionen2"
                                << "hilfe"
                                << "pc_hilfe";
    QTest::newRow("Empfehlungen") << "Empfehlungen1"
                                  << "hilfe"
                                  << "pc_empf";
    QTest::newRow("Software") << "Software1"
                              << "hilfe"
                              << "pc_software";
    QTest::newRow("Wieso Spenden?") << "WiesoSpenden1"
                                    << "hilfe"
                                    << "pc_spenden";
    QTest::newRow("Lizenz") << "Lizenz1"
                            << "hilfe"
                            << "pc_lizenz";
    QTest::newRow("Kurzbeschreibung") << "KurzbeschreibungallerProgramme1"
                                      << "hilfe"
                                      << "pc_software";
    QTest::newRow("Introduction") << "Introduction1"
                                  << "hilfe_en"
                                  << "pc_hilfe";
    QTest::newRow("Regards") << "Regards1"
                             << "hilfe_en"
                             << "pc_empf";
    QTest::newRow("Software en") << "Software2"
                                 << "hilfe_en"
                                 << "pc_software";
    QTest::newRow("Why Donate?") << "WhyDonate1"
                                 << "hilfe_en"
                                 << "pc_spenden";
    QTest::newRow("Licence") << "Licence1"
                             << "hilfe_en"
                             << "pc_lizenz";
    QTest::newRow("Brief Description") << "BriefDescriptionoftheSoftware1"
                                       << "hilfe_en"
                                       << "pc_software";
}

void AcceptanceShellTest::helpMenusOpenPages()
{
    QFETCH(QString, entry);
    QFETCH(QString, window);
    QFETCH(QString, page);
    AppFixture program;
    QWidget* help = topLevel(window);
    QVERIFY(!help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("Quorvel - Velmora"));
    QCOMPARE(help->size(), QSize(543, 495));
    QVERIFY(help->windowFlags() & Qt::Tool);
    QTabWidget* pc = in<QTabWidget>(window, "pc");
    QStringList pages;
    for (int i = 0; i < pc->count(); ++i)
        pages << pc->widget(i)->objectName();
    QCOMPARE(pages, (QStringList{"pc_hilfe", "pc_empf", "pc_software", "pc_spenden", "pc_lizenz"}));
    // Opened on another page first, the command brings it to the named page.
    pc->setCurrentIndex(page == QLatin1String("pc_lizenz") ? 0 : 4);
    help->show();
    ui<QAction>(entry)->trigger();
    QVERIFY(help->isVisible());
    QCOMPARE(pc->currentWidget()->objectName(), page);
    // Closing only hides; the next command shows it again.
    help->close();
    QVERIFY(!help->isVisible());
    ui<QAction>(entry)->trigger();
    QVERIFY(help->isVisible());
}

void AcceptanceShellTest::backNextWrap()
{
    AppFixture program;
    for (const auto& [window, back, next] :
         {std::tuple{"hilfe", "btide1", "btide2"}, std::tuple{"hilfe_en", "btien1", "btien2"}}) {
        QTabWidget* pc = in<QTabWidget>(window, "pc");
        auto* backButton = in<QPushButton>(window, back);
        auto* nextButton = in<QPushButton>(window, next);
        QCOMPARE(backButton->text(), window == QLatin1String("hilfe") ? "<< zurück" : "<< back");
        QCOMPARE(nextButton->text(), window == QLatin1String("hilfe") ? "weiter >>" : "next >>");
        pc->setCurrentIndex(4);
        QTest::mouseClick(nextButton, Qt::LeftButton);
        QCOMPARE(pc->currentWidget()->objectName(), QStringLiteral("pc_hilfe"));
        QTest::mouseClick(backButton, Qt::LeftButton);
        QCOMPARE(pc->currentWidget()->objectName(), QStringLiteral("pc_lizenz"));
        QTest::mouseClick(backButton, Qt::LeftButton);
        QCOMPARE(pc->currentWidget()->objectName(), QStringLiteral("pc_spenden"));
        QTest::mouseClick(nextButton, Qt::LeftButton);
        QTest::mouseClick(nextButton, Qt::LeftButton);
        QCOMPARE(pc->currentWidget()->objectName(), QStringLiteral("pc_hilfe"));
    }
}

void AcceptanceShellTest::softwareListWheel()
{
    AppFixture program;
    for (const auto& [entry, window, box] : {std::tuple{"Software1", "hilfe", "ScrollBox1"},
                                             std::tuple{"Software2", "hilfe_en", "ScrollBox2"}}) {
        ui<QAction>(entry)->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(topLevel(window)));
        auto* area = in<QScrollArea>(window, box);
        QScrollBar* bar = area->verticalScrollBar();
        auto wheel = [area](int delta) {
            const QPointF pos(area->viewport()->width() / 2, area->viewport()->height() / 2);
            QWheelEvent event(pos, area->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(area->viewport(), &event);
        };
        QCOMPARE(bar->value(), 0);
        wheel(120);
        QCOMPARE(bar->value(), 0);
        wheel(-120);
        QCOMPARE(bar->value(), 10);
        wheel(-120);
        QCOMPARE(bar->value(), 20);
        wheel(120);
        QCOMPARE(bar->value(), 10);
        for (int i = 0; i < 200; ++i)
            wheel(-120);
        QCOMPARE(bar->value(), 890 - area->viewport()->height());
        QCOMPARE(bar->maximum(), 890 - area->viewport()->height());
    }
}

void AcceptanceShellTest::webLinks()
{
    AppFixture program;
    QStringList& urls = program.platform.urls;
    auto menuEntry = [](const char* menu, const QString& contains) -> QAction* {
        for (QAction* a : ui<QMenu>(QLatin1String(menu))->actions())
            if (a->text().contains(contains))
                return a;
        qFatal("no entry %s", qPrintable(contains));
        return nullptr;
    };
    menuEntry("Hilfe1", "/spenden")->trigger();
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora.de/spenden&rf=qvm"));
    menuEntry("Information1", "/donate")->trigger();
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora.com/donate&rf=qvm"));
    menuEntry("Hilfe1", "portal/")->trigger();
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora-fragen.de/portal/velmora-software"));
    menuEntry("Information1", "portal/")->trigger();
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora-answers.com/portal/velmora-software"));
    menuEntry("m_soft_en", "/individual-fit")->trigger();
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora.com/individual-fit&rf=qvm"));
    // A product entry: the menu rule, without any "&" of the caption.
    ui<QAction>("linkde0")->trigger();
    QVERIFY(urls.last().startsWith(QStringLiteral("http://www.velmora.de/")));
    QVERIFY(urls.last().endsWith(QStringLiteral("&rf=qvm")));
    QCOMPARE(urls.last().count(QLatin1Char('&')), 1);
    QVERIFY(!urls.last().contains(QStringLiteral(" - ")));

    // The support label: thank-you caption, letter "s", no slash insertion.
    QTest::mouseClick(ui("laspenden"), Qt::LeftButton);
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora.de/spenden&rf=qvs"));

    // Link texts of the help windows: caption rule with "h".
    auto clickLink = [](const char* window, const QString& text) {
        for (QLabel* label : topLevel(QLatin1String(window))->findChildren<QLabel*>())
            if (label->text() == text && label->cursor().shape() == Qt::PointingHandCursor) {
                QVERIFY(label->font().bold());
                QVERIFY(label->font().underline());
                QTest::mouseClick(label, Qt::LeftButton);
                return;
            }
        QFAIL(qPrintable(QStringLiteral("no link text ") + text));
    };
    clickLink("hilfe", QStringLiteral("velmora.de/support"));
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora.de/support&rf=qvh"));
    clickLink("hilfe", QStringLiteral("velmora-web.de"));
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora-web.de/&rf=qvh"));
    clickLink("hilfe_en", QStringLiteral("velmora-web.com"));
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora-web.com/&rf=qvh"));
    clickLink("hilfe", QStringLiteral("velmora.de/lizenz"));
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora.de/lizenz&rf=qvh"));
    clickLink("hilfe_en", QStringLiteral("velmora.com/licence"));
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora.com/licence&rf=qvh"));
    clickLink("hilfe_en", QStringLiteral("velmora.com/donate"));
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora.com/donate&rf=qvh"));
    clickLink("hilfe", QStringLiteral("velmora.de/software"));
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora.de/software&rf=qvh"));
    // Bug-report link texts: letter "r".
    clickLink("bugreport_de", QStringLiteral("velmora.de/support"));
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora.de/support&rf=qvr"));
    clickLink("bugreport_en", QStringLiteral("velmora.com/individual"));
    QCOMPARE(urls.last(), QStringLiteral("http://www.velmora.com/individual&rf=qvr"));
    // An icon button of the software list: its hint by the caption rule.
    auto* icon = in<QAbstractButton>("hilfe", "icon1");
    QVERIFY(icon->toolTip().startsWith(QStringLiteral("velmora.de/")));
    QTest::mouseClick(icon, Qt::LeftButton);
    QCOMPARE(urls.last(),
             QStringLiteral("http://www.") + icon->toolTip() + QStringLiteral("&rf=qvh"));
}

void AcceptanceShellTest::bugReportOnce()
{
    AppFixture program;
    QWidget* de = topLevel("bugreport_de");
    QWidget* en = topLevel("bugreport_en");
    QCOMPARE(de->windowTitle(), QStringLiteral("Fehler oder Verbesserung melden"));
    QCOMPARE(en->windowTitle(), QStringLiteral("Report Bug or Improvement"));
    QCOMPARE(de->size(), QSize(330, 368));
    QCOMPARE(en->size(), QSize(312, 346));
    QVERIFY(de->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(in<QLabel>("bugreport_de", "Label16")->text(),
             QStringLiteral("Sehr geehrter Anwender,"));
    QCOMPARE(in<QLabel>("bugreport_en", "Label16")->text(), QStringLiteral("Dear User,"));
    auto visibleReports = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName().startsWith(QLatin1String("bugreport")) && w->isVisible())
                ++n;
        return n;
    };
    ui<QAction>("m_bugreport")->trigger();
    ui<QAction>("FehleroderVerbesserungmelden1")->trigger();
    QCOMPARE(visibleReports(), 1);
    QVERIFY(de->isVisible());
    QTest::mouseClick(in<QPushButton>("bugreport_de", "Button1"), Qt::LeftButton);
    QVERIFY(!de->isVisible());
    ui<QAction>("Englisch1")->trigger();
    ui<QAction>("m_bugreport")->trigger();
    ui<QAction>("ReportBugorImprovement1")->trigger();
    QCOMPARE(visibleReports(), 1);
    QVERIFY(en->isVisible());
    QCOMPARE(in<QPushButton>("bugreport_en", "Button1")->text(), QStringLiteral("OK"));
}

void AcceptanceShellTest::rotationAndHold()
{
    QTemporaryDir dir;
    makeFile(dir.filePath("a.txt"), "x");
    makeFile(dir.filePath("b.txt"), "x");
    AppFixture program;
    QTimer* rotation = ui<QTimer>("Timer1");
    QTimer* hold = ui<QTimer>("timerstopper");
    const QString support =
        QStringLiteral("velmora.de/support - Haben Sie Verbesserungsvorschläge?");
    const QString donate = QStringLiteral("velmora.de/spenden - Falls Ihnen die Software gefällt");
    const QString page = QStringLiteral("velmora.de/quorvel - Hilfe und Informationen");
    const QStringList cycle{support, donate, page, donate, support, page};
    for (int i = 0; i < 12; ++i) {
        tick(rotation);
        QCOMPARE(caption("laspenden"), cycle.at(i % 6));
    }
    // A status text starts the hold timer; its tick stops the running rotation.
    drop({dir.filePath("a.txt")});
    QCOMPARE(caption("laspenden"), QStringLiteral("1 Dateien/Ordner geladen"));
    QVERIFY(hold->isActive());
    QVERIFY(rotation->isActive());
    tick(hold);
    QVERIFY(!hold->isActive());
    QVERIFY(!rotation->isActive());
    QCOMPARE(caption("laspenden"), QStringLiteral("1 Dateien/Ordner geladen"));
    // The next burst's hold tick starts it again.
    drop({dir.filePath("b.txt")});
    QVERIFY(hold->isActive());
    tick(hold);
    QVERIFY(rotation->isActive());
    QVERIFY(!hold->isActive());
    // English rotation and the language switch restoring the thank-you caption.
    ui<QAction>("Englisch1")->trigger();
    QCOMPARE(caption("laspenden"), tyEn);
    tick(rotation);
    QVERIFY(caption("laspenden").startsWith(QStringLiteral("velmora.com/")));
    ui<QAction>("Englisch1")->trigger();
    QCOMPARE(caption("laspenden"), tyEn);
}

void AcceptanceShellTest::statusDoesNotRestartHold()
{
    QTemporaryDir dir;
    makeFile(dir.filePath("a.txt"), "x");
    makeFile(dir.filePath("b.txt"), "x");
    AppFixture program;
    QTimer* hold = ui<QTimer>("timerstopper");
    drop({dir.filePath("a.txt")});
    QVERIFY(hold->isActive());
    QTest::qWait(300);
    const int before = hold->remainingTime();
    QVERIFY(before < 9800);
    drop({dir.filePath("b.txt")});
    QVERIFY(hold->isActive());
    QVERIFY2(hold->remainingTime() <= before, qPrintable(QString::number(hold->remainingTime())));
    // While the rotation runs, its next tick replaces the status text.
    // A drop writes the number of dropped items handled so far.
    QCOMPARE(caption("laspenden"), QStringLiteral("1 Dateien/Ordner geladen"));
    tick(ui<QTimer>("Timer1"));
    QCOMPARE(caption("laspenden"),
             QStringLiteral("velmora.de/support - Haben Sie Verbesserungsvorschläge?"));
}

QTEST_MAIN(AcceptanceShellTest)
#include "tst_acceptance_shell.moc"
